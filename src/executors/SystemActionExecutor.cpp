#include "executors/SystemActionExecutor.h"

#include "common/Localized.h"
#include "executors/ApplicationSwitcher.h"
#include "executors/DesktopIconsController.h"
#include "executors/DesktopViewLauncher.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "executors/SystemPowerAction.h"
#include "executors/SystemVolume.h"
#include "platform/Workspace.h"

#include <QDir>

namespace glidra {

namespace {

// One of the desktop's own applications, found at `location`: the notice
// says when it is missing, when it would not start, or `opened`.
HUDNotice openDesktopApplication(Workspace& workspace, const std::optional<QString>& location, const QString& symbol,
                                 const char* missing, const char* refused, const QString& opened) {
    if (!location) return {localized(missing), symbol, HUDNotice::Kind::error};
    if (!workspace.openApplication(*location)) return {localized(refused), symbol, HUDNotice::Kind::error};
    return {opened, symbol, HUDNotice::Kind::success};
}

}  // namespace

QCoro::Task<std::optional<HUDNotice>> SystemActionExecutor::perform(GestureAction action) {
    switch (action) {
        case GestureAction::missionControl:
            co_return co_await executors_.desktopViews.openMissionControl();
        case GestureAction::showDesktop:
            co_return executors_.desktopViews.showDesktop();
        case GestureAction::sleepComputer:
            co_return co_await executors_.power.sleep();
        case GestureAction::toggleKeyboardLock:
            co_return executors_.keyboardLock.toggleKeyboardLock();
        case GestureAction::startCleaningMode:
            co_return executors_.keyboardLock.startCleaningMode();
        case GestureAction::toggleDesktopIcons:
            co_return executors_.desktopIcons.toggle();
        case GestureAction::enableKeepAwake:
            co_return co_await executors_.keepAwake.setActive(true);
        case GestureAction::disableKeepAwake:
            co_return co_await executors_.keepAwake.setActive(false);
        case GestureAction::toggleKeepAwake:
            co_return co_await executors_.keepAwake.toggle();
        case GestureAction::openFinder:
            co_return openFileManager();
        case GestureAction::openSystemSettings:
            co_return openSystemSettings();
        case GestureAction::emojiPicker:
            co_return openEmojiPicker();
        case GestureAction::hideApplication:
            co_return hideFrontApplication();
        case GestureAction::hideOtherApplications:
            co_return hideOtherApplications();
        case GestureAction::toggleMute:
            co_return SystemVolume::muteNotice(executors_.volume.toggleOutputMute());
        case GestureAction::toggleMicrophoneMute:
            co_return executors_.microphone.toggle();
        case GestureAction::switchToPreviousApplication:
            co_return executors_.applicationSwitcher.switchToPrevious();
        default:
            co_return std::nullopt;
    }
}

HUDNotice SystemActionExecutor::openFileManager() {
    const QString symbol = QStringLiteral("folder");
    if (!executors_.workspace.openUrl(QUrl::fromLocalFile(QDir::homePath()))) {
        return {localized(GLIDRA_TEXT("无法打开文件管理器")), symbol, HUDNotice::Kind::error};
    }
    return {localized(GLIDRA_TEXT("文件管理器")), symbol, HUDNotice::Kind::success};
}

HUDNotice SystemActionExecutor::openSystemSettings() {
    return openDesktopApplication(executors_.workspace, executors_.workspace.systemSettingsLocation(),
                                  QStringLiteral("gearshape"), GLIDRA_TEXT("找不到系统设置"),
                                  GLIDRA_TEXT("无法打开系统设置"), localized(GLIDRA_TEXT("系统设置")));
}

HUDNotice SystemActionExecutor::openSystemMonitor() {
    return openDesktopApplication(executors_.workspace, executors_.workspace.systemMonitorLocation(),
                                  symbolName(GestureAction::forceQuitApplications), GLIDRA_TEXT("找不到系统监视器"),
                                  GLIDRA_TEXT("无法打开系统监视器"), localized(GLIDRA_TEXT("已打开系统监视器")));
}

HUDNotice SystemActionExecutor::openEmojiPicker() {
    return openDesktopApplication(executors_.workspace, executors_.workspace.emojiPickerLocation(),
                                  symbolName(GestureAction::emojiPicker), GLIDRA_TEXT("找不到表情选择器"),
                                  GLIDRA_TEXT("无法打开表情选择器"), title(GestureAction::emojiPicker));
}

// Minimises every window of the application, which is what hiding it comes
// to on a Linux desktop.
HUDNotice SystemActionExecutor::hideFrontApplication() {
    const QString symbol = symbolName(GestureAction::hideApplication);
    const FrontApplication front = executors_.workspace.frontmostApplication();
    if (!front.application) return {localized(GLIDRA_TEXT("无法获取当前应用")), symbol, HUDNotice::Kind::error};
    if (!executors_.workspace.hide(front.application->processIdentifier)) {
        return {localized(GLIDRA_TEXT("无法隐藏当前应用")), symbol, HUDNotice::Kind::error};
    }
    return {title(GestureAction::hideApplication), symbol, HUDNotice::Kind::success};
}

HUDNotice SystemActionExecutor::hideOtherApplications() {
    const QString symbol = QStringLiteral("eye.slash");
    const FrontApplication front = executors_.workspace.frontmostApplication();
    if (!front.application) return {localized(GLIDRA_TEXT("无法获取当前应用")), symbol, HUDNotice::Kind::error};
    for (const RunningApplication& application : executors_.workspace.runningApplications()) {
        if (application.processIdentifier == front.application->processIdentifier) continue;
        if (application.activationPolicy != ActivationPolicy::regular) continue;
        executors_.workspace.hide(application.processIdentifier);
    }
    return {localized(GLIDRA_TEXT("隐藏其他应用")), symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
