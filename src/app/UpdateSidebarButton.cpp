#include "app/UpdateSidebarButton.h"

#include "app/UpdateController.h"

namespace glidra {

UpdateSidebarButton::UpdateSidebarButton(UpdateController& updater, QWidget* parent)
    : kit::FlatSymbolButton(QStringLiteral("arrow.down.circle"), tr("有新版本"), kit::KitColour::accentText, parent),
      updater_(updater) {
    setObjectName(QStringLiteral("updateSidebarButton"));
    setToolTip(tr("查看新版本并更新 Glidra"));
    sync();
    connect(&updater_.reminder(), &UpdateReminderDelegate::hasUpdateChanged, this, &UpdateSidebarButton::sync);
    connect(&updater_, &UpdateController::canCheckForUpdatesChanged, this, &UpdateSidebarButton::sync);
    connect(this, &UpdateSidebarButton::clicked, &updater_, &UpdateController::checkForUpdates);
}

void UpdateSidebarButton::sync() {
    const bool shown = updater_.reminder().hasUpdate();
    if (parentWidget() || !shown) setVisible(shown);
    setEnabled(updater_.canCheckForUpdates());
}

}  // namespace glidra
