#include "app/UpdateSettingsView.h"

#include "app/UpdateController.h"
#include "platform/BundleInfo.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/GroupBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SwitchRow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace glidra {

UpdateSettingsView::UpdateSettingsView(UpdateController& updater, const BundleInfo& bundle, QWidget* parent)
    : QWidget(parent),
      updater_(updater),
      group_(new kit::GroupBox(tr("软件更新"))),
      version_(new kit::StyledLabel(versionText(bundle))),
      check_(new QPushButton),
      automaticChecks_(new kit::SwitchRow(tr("自动检查更新"))),
      status_(new kit::CaptionLine) {
    setObjectName(QStringLiteral("updateSettings"));
    version_->setObjectName(QStringLiteral("version"));
    check_->setObjectName(QStringLiteral("checkForUpdates"));
    automaticChecks_->setObjectName(QStringLiteral("automaticallyChecksForUpdates"));
    status_->setObjectName(QStringLiteral("updateStatus"));

    auto* versionRow = new QHBoxLayout;
    versionRow->setContentsMargins(0, 0, 0, 0);
    versionRow->addWidget(version_, 0, Qt::AlignVCenter);
    versionRow->addStretch(1);
    versionRow->addWidget(check_, 0, Qt::AlignVCenter);
    group_->contentLayout()->addLayout(versionRow);
    group_->addWidget(automaticChecks_);
    group_->addWidget(status_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);

    sync();
    connect(&updater_, &UpdateController::isReadyChanged, this, &UpdateSettingsView::sync);
    connect(&updater_, &UpdateController::canCheckForUpdatesChanged, this, &UpdateSettingsView::sync);
    connect(&updater_, &UpdateController::statusChanged, this, &UpdateSettingsView::sync);
    connect(&updater_, &UpdateController::automaticallyChecksForUpdatesChanged, this, &UpdateSettingsView::sync);
    connect(&updater_.reminder(), &UpdateReminderDelegate::hasUpdateChanged, this, &UpdateSettingsView::sync);
    connect(check_, &QPushButton::clicked, &updater_, &UpdateController::checkForUpdates);
    connect(automaticChecks_, &kit::SwitchRow::clicked, &updater_, &UpdateController::setAutomaticallyChecksForUpdates);
}

QString UpdateSettingsView::versionText(const BundleInfo& bundle) {
    return QStringLiteral("Glidra ") + bundle.shortVersion.value_or(QString()) + QStringLiteral("（") +
           bundle.version.value_or(QString()) + QStringLiteral("）");
}

void UpdateSettingsView::sync() {
    // Shown only inside a page; a parentless view stays hidden, not a window.
    if (parentWidget() || !updater_.isReady()) setVisible(updater_.isReady());
    check_->setText(updater_.checkButtonTitle());
    check_->setEnabled(updater_.canCheckForUpdates());
    automaticChecks_->setChecked(updater_.automaticallyChecksForUpdates());
    status_->setText(updater_.status());
}

}  // namespace glidra
