#include "views/actions/ActionParameterEditor.h"

#include "views/ViewContext.h"
#include "views/actions/ResourceTargetPicker.h"
#include "views/actions/ShortcutTargetPicker.h"
#include "views/kit/Ground.h"
#include "views/kit/StyledLabel.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace glidra {

ActionParameterEditor::ActionParameterEditor(const ViewContext& context, GestureAction action, QWidget* parent)
    : QWidget(parent), action_(action) {
    setObjectName(QStringLiteral("parameterEditor"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    switch (action) {
        case GestureAction::openFile:
        case GestureAction::openFolder:
            resource_ = new ResourceTargetPicker(context.fileDialogs, action == GestureAction::openFolder);
            column->addWidget(resource_);
            connect(resource_, &ResourceTargetPicker::selectionChanged, this,
                    [this](const std::optional<ResourceTarget>& resource) {
                        ActionParameters next = parameters_;
                        next.resource = resource;
                        edit(next);
                    });
            break;
        case GestureAction::openURL:
            website_ = new QLineEdit;
            website_->setObjectName(QStringLiteral("websiteField"));
            website_->setPlaceholderText(tr("网址，例如 example.com"));
            kit::keepPlaceholderLegible(website_);
            website_->setAccessibleName(tr("要打开的网址"));
            column->addWidget(website_);
            websiteCaption_ = new kit::StyledLabel({}, kit::TextStyle::caption);
            websiteCaption_->setObjectName(QStringLiteral("websiteCaption"));
            websiteCaption_->setWordWrap(true);
            column->addWidget(websiteCaption_);
            // Stored exactly as typed: an emptied field is the empty text.
            connect(website_, &QLineEdit::textEdited, this, [this](const QString& text) {
                ActionParameters next = parameters_;
                next.website = text;
                edit(next);
            });
            break;
        case GestureAction::runShortcut:
            shortcut_ = new ShortcutTargetPicker(context.shortcuts, context.workspace);
            column->addWidget(shortcut_);
            connect(shortcut_, &ShortcutTargetPicker::selectionChanged, this,
                    [this](const std::optional<ShortcutTarget>& shortcut) {
                        ActionParameters next = parameters_;
                        next.shortcut = shortcut;
                        edit(next);
                    });
            break;
        default:
            break;
    }
    setParameters({});
}

bool ActionParameterEditor::hasContent() const { return resource_ || website_ || shortcut_; }

void ActionParameterEditor::setParameters(const ActionParameters& parameters) {
    parameters_ = parameters;
    if (resource_) resource_->setSelection(parameters_.resource);
    if (shortcut_) shortcut_->setSelection(parameters_.shortcut);
    if (website_) {
        const QString text = parameters_.website.value_or(QString());
        if (website_->text() != text) {
            const QSignalBlocker blocker(website_);
            website_->setText(text);
        }
        refreshWebsiteCaption();
    }
}

bool ActionParameterEditor::websiteCaptionIsError() const {
    return parameters_.website && !parameters_.website->isEmpty() && parameters_.validationMessage(action_);
}

QString ActionParameterEditor::websiteCaption() const {
    if (websiteCaptionIsError()) return *parameters_.validationMessage(action_);
    return tr("使用默认浏览器打开，无需填写 https://。");
}

void ActionParameterEditor::edit(ActionParameters parameters) {
    parameters_ = std::move(parameters);
    if (website_) refreshWebsiteCaption();
    Q_EMIT parametersChanged(parameters_);
}

void ActionParameterEditor::refreshWebsiteCaption() {
    websiteCaption_->setText(websiteCaption());
    websiteCaption_->setColour(websiteCaptionIsError() ? kit::KitColour::red : kit::KitColour::secondary);
}

}  // namespace glidra
