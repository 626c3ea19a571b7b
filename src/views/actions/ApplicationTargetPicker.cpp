#include "views/actions/ApplicationTargetPicker.h"

#include "views/ViewContext.h"
#include "platform/Workspace.h"
#include "views/actions/ApplicationChooser.h"
#include "views/actions/TargetIcon.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace glidra {

ApplicationTargetPicker::ApplicationTargetPicker(const ViewContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      placeholder_(new kit::SymbolLabel(QStringLiteral("app"), tr("选择要打开的应用"))),
      icon_(new QLabel),
      name_(new kit::StyledLabel),
      testOpen_(new QPushButton(tr("试打开"))),
      choose_(new QPushButton),
      error_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::red)) {
    setObjectName(QStringLiteral("applicationPicker"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    placeholder_->setObjectName(QStringLiteral("applicationPlaceholder"));
    placeholder_->setColour(kit::KitColour::secondary);
    row->addWidget(placeholder_);
    icon_->setFixedSize(24, 24);
    row->addWidget(icon_);
    name_->setObjectName(QStringLiteral("applicationName"));
    row->addWidget(name_);
    row->addStretch(1);
    testOpen_->setObjectName(QStringLiteral("testOpen"));
    row->addWidget(testOpen_);
    choose_->setObjectName(QStringLiteral("chooseApplication"));
    row->addWidget(choose_);
    column->addLayout(row);
    error_->setObjectName(QStringLiteral("applicationError"));
    error_->setWordWrap(true);
    column->addWidget(error_);

    connect(choose_, &QPushButton::clicked, this, &ApplicationTargetPicker::chooseApplication);
    connect(testOpen_, &QPushButton::clicked, this, [this] { testOpen(); });
    refresh();
}

void ApplicationTargetPicker::setSelection(const std::optional<ApplicationTarget>& selection) {
    selection_ = selection;
    refresh();
}

void ApplicationTargetPicker::chooseApplication() {
    auto* chooser = ApplicationChooser::choose(context_.workspace, context_.fileDialogs, window());
    connect(chooser, &ApplicationChooser::chosen, this, &ApplicationTargetPicker::takeApplication);
}

void ApplicationTargetPicker::takeApplication(const QString& path) {
    auto target = ApplicationTarget::fromUrl(QUrl::fromLocalFile(path), context_.workspace);
    if (!target) {
        setErrorMessage(tr("无法读取此应用，请重新选择。"));
        return;
    }
    setErrorMessage({});
    selection_ = std::move(target);
    refresh();
    Q_EMIT selectionChanged(selection_);
}

QCoro::Task<> ApplicationTargetPicker::testOpen() {
    if (!selection_ || isOpening_) return []() -> QCoro::Task<> { co_return; }();
    isOpening_ = true;
    refresh();
    return open(QPointer(this), &context_, *selection_);
}

QCoro::Task<> ApplicationTargetPicker::open(QPointer<ApplicationTargetPicker> picker, const ViewContext* context,
                                            ApplicationTarget target) {
    GestureBinding binding;
    binding.trigger = GestureTrigger::leftUp;
    binding.action = GestureAction::openApplication;
    binding.applicationTarget = std::move(target);
    const PerformGestureAction perform = context->performGestureAction;
    const HUDNotice notice = co_await perform(std::move(binding));
    if (!picker) co_return;
    picker->isOpening_ = false;
    picker->setErrorMessage(notice.kind == HUDNotice::Kind::error ? notice.text : QString());
}

void ApplicationTargetPicker::setErrorMessage(const QString& message) {
    errorMessage_ = message;
    refresh();
}

void ApplicationTargetPicker::refresh() {
    placeholder_->setVisible(!selection_);
    icon_->setVisible(bool(selection_));
    name_->setVisible(bool(selection_));
    testOpen_->setVisible(bool(selection_));
    testOpen_->setEnabled(!isOpening_);
    if (selection_) {
        std::optional<QString> iconName;
        if (const auto bundle = context_.workspace.loadApplicationBundle(selection_->path)) iconName = bundle->iconName;
        icon_->setPixmap(targetIcon(selection_->path, iconName).pixmap(24, 24));
        name_->setText(name_->fontMetrics().elidedText(selection_->name, Qt::ElideRight, 360));
    }
    choose_->setText(selection_ ? tr("更换…") : tr("选择应用…"));
    error_->setVisible(!errorMessage_.isEmpty());
    error_->setText(errorMessage_);
}

}  // namespace glidra
