#include "executors/ActionExecutors.h"

#include "actions/ShortcutKeyOption.h"
#include "common/Localized.h"
#include "executors/BrowserPageInfoReader.h"
#include "platform/EventPoster.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"

namespace glidra {

namespace {

AdjustmentHUDSettings hudSettings(ControlSettings& settings) {
    ControlSettings* store = &settings;
    return AdjustmentHUDSettings{
        [store] { return store->showOperationHints(); },
        [store] { return store->operationHintPosition(); },
    };
}

}  // namespace

ActionExecutors::ActionExecutors(Ports ports)
    : workspace_(ports.workspace),
      poster_(ports.poster),
      systemApplicationSwitcher_(std::make_unique<SystemApplicationSwitcher>(SystemApplicationSwitcher::Ports{
          ports.poster, ports.taps, ports.accessibilityTrust, ports.scheduler, ports.systemEvents})),
      mouseDrag_(std::make_unique<MouseDragController>(
          MouseDragController::Ports{ports.poster, ports.taps, ports.keyboard, ports.clock, ports.scheduler,
                                     ports.systemEvents},
          ports.makeHUD(hudSettings(ports.settings)))),
      syntheticInput_(SyntheticInput::Ports{ports.poster, ports.keyboard, ports.frontmostApplication, ports.clock},
                      [switcher = systemApplicationSwitcher_.get()] { return switcher->isOpen(); }),
      desktopViewLauncher_(ports.desktopViews),
      keyboardLock_(std::make_unique<KeyboardLockController>(KeyboardLockController::Environment{
          ports.taps, ports.scheduler, ports.systemEvents, ports.screenCovers, ports.keyboardBacklight})),
      keepAwake_(std::make_unique<KeepAwakeController>(ports.power)),
      microphone_(std::make_unique<MicrophoneMuteController>(ports.audio, ports.scheduler)),
      desktopIcons_(std::make_unique<DesktopIconsController>(ports.desktopPreferences)),
      volume_(ports.audio),
      keyboardBacklightStepper_(
          ports.accessibilityTrust, ports.clock,
          [this](ShortcutMediaKey key, const QString& label) { return syntheticInput_.postMediaKey(0, label, key); }),
      applicationSwitcher_(std::make_unique<ApplicationSwitcher>(ports.workspace, ports.ownBundleIdentifier)),
      shortcuts_(std::make_unique<ShortcutActionService>(ports.processes, ports.scheduler, ports.makeHUD,
                                                         hudSettings(ports.settings))),
      actionTargetOpener_(
          ports.workspace, ports.bookmarks,
          [shortcuts = shortcuts_.get()](ShortcutTarget target) { return shortcuts->start(std::move(target)); }),
      systemPowerAction_(ports.systemPower),
      systemPanel_(ports.workspace, ports.accessibility),
      windowLayout_(ports.windows, ports.screens, windowFrameHistory_),
      windowAction_(ports.windows),
      forceQuitMenu_(std::make_unique<ForceQuitMenuExecutor>(ports.workspace, ports.accessibility, ports.scheduler)),
      accessibilityKeyboard_(
          std::make_unique<AccessibilityKeyboardToggle>(ports.workspace, ports.keyboardSettings, ports.scheduler)),
      systemActions_(SystemActionExecutor::Executors{desktopViewLauncher_, *keyboardLock_, *desktopIcons_, *keepAwake_,
                                                     volume_, *microphone_, *applicationSwitcher_, systemPowerAction_,
                                                     ports.workspace}),
      clipboard_(std::make_unique<ClipboardActionExecutor>(
          std::make_unique<BrowserPageInfoReader>(ports.browserPages),
          ClipboardActionExecutor::platform(ports.frontmostApplication, ports.pasteboard))),
      translation_(ports.textSelection, ports.translation) {
    // The selection's flag and reports are the controller's, once attached.
    WindowScreenshotService::Platform screenshot{
        [this](bool selecting) {
            if (controller_) controller_->setSelectingScreenshot(selecting);
        },
        [this](const HUDNotice& notice) {
            if (controller_) controller_->presentNotice(notice);
        },
        {},
        {},
    };
    WindowScreenshotService::readClipboardFrom(screenshot, ports.pasteboard);
    windowScreenshot_ = std::make_unique<WindowScreenshotService>(ports.screenshots, std::move(screenshot));
}

ActionExecutors::~ActionExecutors() = default;

QCoro::Task<bool> ActionExecutors::openApplication(QString path) { co_return workspace_.openApplication(path); }

QCoro::Task<HUDNotice> ActionExecutors::openForceQuitWindow(CancellationToken) {
    co_return systemActions_.openSystemMonitor();
}

QCoro::Task<HUDNotice> ActionExecutors::openSystemPanel(GestureAction action) {
    const auto keys = SystemPanelExecutor::desktopPanelKeys(action, qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    if (!keys) co_return co_await systemPanel_.openPanel(action);
    const auto events = ShortcutKeyOption::postKeyEvents(poster_, keys->keyCode, keys->flags, 0);
    if (!events) {
        co_return HUDNotice{localized(GLIDRA_TEXT("未能打开系统面板，请重试")), symbolName(action),
                            HUDNotice::Kind::error};
    }
    poster_.post(events->first);
    poster_.post(events->second);
    co_return HUDNotice{title(action), symbolName(action), HUDNotice::Kind::success};
}

void ActionExecutors::attachController(TrackpadController& controller) {
    controller_ = &controller;
    QPointer<TrackpadController> target(&controller);
    systemApplicationSwitcher_->setHost(SystemApplicationSwitcher::Host{
        [target](bool showing) {
            if (target) target->setShowingApplicationSwitcher(showing);
        },
        [target](const HUDNotice& notice) {
            if (target) target->presentNotice(notice);
        },
    });
}

}  // namespace glidra
