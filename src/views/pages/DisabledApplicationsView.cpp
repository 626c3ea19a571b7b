#include "views/pages/DisabledApplicationsView.h"

#include "actions/ApplicationTarget.h"
#include "views/ViewContext.h"
#include "platform/Workspace.h"
#include "settings/ControlSettings.h"
#include "views/actions/ApplicationChooser.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

// One entry: its name over its identifier, both shown as they are, and a
// button that removes it by identifier.
QWidget* applicationRow(const DisabledApplication& application, QPushButton*& remove) {
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("disabledApplication:") + application.bundleIdentifier);
    auto* name = new kit::StyledLabel(application.name);
    name->setObjectName(QStringLiteral("applicationName"));
    name->setWordWrap(true);
    auto* identifier =
        new kit::StyledLabel(application.bundleIdentifier, kit::TextStyle::caption, kit::KitColour::secondary);
    identifier->setObjectName(QStringLiteral("applicationIdentifier"));
    identifier->setWordWrap(true);
    auto* names = new QVBoxLayout;
    names->setContentsMargins(0, 0, 0, 0);
    names->setSpacing(2);
    names->addWidget(name);
    names->addWidget(identifier);

    remove = new QPushButton(DisabledApplicationsView::tr("移除"));
    remove->setObjectName(QStringLiteral("removeApplication"));
    remove->setAccessibleName(DisabledApplicationsView::tr("移除禁用应用：") + application.name);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(names, 1);
    layout->addWidget(remove, 0, Qt::AlignVCenter);
    return row;
}

}  // namespace

DisabledApplicationsView::DisabledApplicationsView(ViewContext& context, QWidget* parent)
    : kit::GroupBox({}, parent),
      context_(context),
      empty_(new kit::StyledLabel(tr("尚未禁用任何应用。"), kit::TextStyle::body, kit::KitColour::secondary)),
      rows_(new QVBoxLayout),
      error_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::red)) {
    setObjectName(QStringLiteral("disabledApplications"));
    contentLayout()->setContentsMargins(8, 8, 8, 8);
    contentLayout()->setSpacing(10);

    auto* heading = new kit::SymbolLabel(QStringLiteral("app.badge.checkmark"), tr("单应用禁用"));
    heading->setTextStyle(kit::TextStyle::headline);
    auto* add = new QPushButton(tr("添加应用…"));
    add->setObjectName(QStringLiteral("addApplication"));
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(heading, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(add, 0, Qt::AlignVCenter);

    empty_->setObjectName(QStringLiteral("noDisabledApplications"));
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(10);
    error_->setObjectName(QStringLiteral("addApplicationError"));
    error_->setWordWrap(true);

    contentLayout()->addLayout(header);
    addWidget(new kit::CaptionLine(
        tr("这些应用位于前台时，暂停所有自定义手势（含边缘控制），优先于通用和应用专属规则。切换应用后立即生效。")));
    addWidget(new kit::CaptionLine(tr("练习仍可识别触点和手势，但不会执行动作。")));
    addWidget(empty_);
    contentLayout()->addLayout(rows_);
    addWidget(error_);

    syncRows();
    setErrorMessage({});
    connect(&context_.settings, &ControlSettings::disabledApplicationsChanged, this,
            &DisabledApplicationsView::syncRows);
    connect(add, &QPushButton::clicked, this, &DisabledApplicationsView::addApplication);
}

QString DisabledApplicationsView::displayName(const QString& name) {
    static const QLatin1StringView desktop(".desktop");
    if (name.endsWith(desktop, Qt::CaseInsensitive)) return name.chopped(desktop.size());
    return withoutAppExtension(name);
}

void DisabledApplicationsView::addApplication() {
    auto* chooser = ApplicationChooser::choose(context_.workspace, context_.fileDialogs, window());
    connect(chooser, &ApplicationChooser::chosen, this, &DisabledApplicationsView::addEntry);
}

void DisabledApplicationsView::addEntry(const QString& path) {
    const auto bundle = context_.workspace.loadApplicationBundle(path);
    if (!bundle || !bundle->bundleIdentifier || bundle->bundleIdentifier->isEmpty()) {
        setErrorMessage(tr("无法读取应用标识，请重新选择。"));
        return;
    }
    setErrorMessage({});
    const QString& identifier = *bundle->bundleIdentifier;
    auto applications = context_.settings.disabledApplications();
    if (contains(applications, identifier)) return;

    // An entry without a name of its own goes by its file's name.
    const QString name = bundle->displayName.isEmpty() ? QFileInfo(path).fileName() : bundle->displayName;
    applications.push_back(DisabledApplication{identifier, displayName(name)});
    context_.settings.setDisabledApplications(std::move(applications));
}

void DisabledApplicationsView::removeApplication(const QString& bundleIdentifier) {
    auto applications = context_.settings.disabledApplications();
    std::erase_if(applications, [&bundleIdentifier](const DisabledApplication& application) {
        return application.bundleIdentifier == bundleIdentifier;
    });
    context_.settings.setDisabledApplications(std::move(applications));
}

void DisabledApplicationsView::syncRows() {
    // Rows are rebuilt from the list; a row's own button may be what led
    // here, so the old rows go later.
    while (auto* item = rows_->takeAt(0)) {
        if (auto* row = item->widget()) {
            row->hide();
            row->deleteLater();
        }
        delete item;
    }
    const auto& applications = context_.settings.disabledApplications();
    for (const DisabledApplication& application : applications) {
        QPushButton* remove = nullptr;
        rows_->addWidget(applicationRow(application, remove));
        connect(remove, &QPushButton::clicked, this,
                [this, identifier = application.bundleIdentifier] { removeApplication(identifier); });
    }
    empty_->setVisible(applications.empty());
}

void DisabledApplicationsView::setErrorMessage(const QString& message) {
    errorMessage_ = message;
    error_->setText(message);
    error_->setVisible(!message.isEmpty());
}

}  // namespace glidra
