// The one-line summary of what the controller is doing, the HUD position
// preview and the application's version.

#include "trackpad/TrackpadController.h"

#include "common/Localized.h"
#include "settings/ControlSettings.h"

#include <QCoreApplication>

namespace glidra {

QString TrackpadController::menuStatusText() const {
    // The first condition that holds names the state; control off hides
    // every other flag.
    if (!isEnabled_) return localized(GLIDRA_TEXT("已暂停"));
    if (!isListening_) return localized(GLIDRA_TEXT("等待触控板连接"));
    if (isTransferringConfiguration_) return localized(GLIDRA_TEXT("配置操作中 · 控制暂停"));
    if (isShowingApplicationSwitcher_) return localized(GLIDRA_TEXT("选择应用中"));
    if (isSelectingScreenshot_) return localized(GLIDRA_TEXT("选择截图窗口中"));
    if (isControlSuspended()) return localized(GLIDRA_TEXT("设置中 · 控制暂停"));
    if (isLearningGesture_) return localized(GLIDRA_TEXT("正在录入手势"));
    if (practiceMode_) return localized(GLIDRA_TEXT("练习中"));
    return localized(GLIDRA_TEXT("运行中"));
}

void TrackpadController::previewHintPosition() {
    if (!settings_.showOperationHints()) return;
    // Hidden first, so the notice gate lets the preview through at once and
    // it appears at the position just chosen.
    hud_->hide();
    hud_->show(HUDNotice{localized(GLIDRA_TEXT("提示位置")), QStringLiteral("rectangle.inset.filled"),
                         HUDNotice::Kind::success});
}

QString TrackpadController::bundleBuildVersion() {
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("unknown") : version;
}

}  // namespace glidra
