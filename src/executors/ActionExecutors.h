#pragma once

#include "dispatch/AdjustmentHUD.h"
#include "dispatch/DispatcherServices.h"
#include "executors/AccessibilityKeyboardToggle.h"
#include "executors/ActionTargetOpener.h"
#include "executors/ApplicationSwitcher.h"
#include "executors/ClipboardActionExecutor.h"
#include "executors/DesktopIconsController.h"
#include "executors/DesktopViewLauncher.h"
#include "executors/ForceQuitMenuExecutor.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardBacklightStepper.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "executors/MouseDragController.h"
#include "executors/ShortcutActionService.h"
#include "executors/SyntheticInput.h"
#include "executors/SystemActionExecutor.h"
#include "executors/SystemApplicationSwitcher.h"
#include "executors/SystemPanelExecutor.h"
#include "executors/SystemPowerAction.h"
#include "executors/SystemVolume.h"
#include "executors/TranslationActionExecutor.h"
#include "executors/WindowAction.h"
#include "executors/WindowFrameHistory.h"
#include "executors/WindowLayoutExecutor.h"
#include "executors/WindowScreenshotService.h"
#include "trackpad/ControllerServices.h"

#include <QPointer>

#include <memory>

namespace glidra {

class Accessibility;
class AccessibilityKeyboardSettings;
class AccessibilityTrust;
class AudioDevices;
class BrowserPageSource;
class Clock;
class ControlSettings;
class DesktopPreferences;
class DesktopViews;
class EventPoster;
class EventTap;
class FileBookmarks;
class FrontmostApplication;
class InteractiveScreenshot;
class KeyboardBacklight;
class KeyboardState;
class Pasteboard;
class PowerAssertions;
class ProcessRunner;
class Scheduler;
class ScreenCovers;
class Screens;
class SystemEvents;
class SystemPower;
class TextSelectionAccess;
class TrackpadController;
class TranslationPresenter;
class WindowControl;
class Workspace;

// The one owner of the process's shared action executors, built by the
// composition root from the ports they need, and what the trackpad controller
// asks of them. The dispatcher reaches each executor through it.
class ActionExecutors final : public ExecutorServices,
                              public InputActionExecutors,
                              public SystemActionService,
                              public ApplicationActionExecutors,
                              public ContentActionExecutors {
public:
    struct Ports {
        EventPoster& poster;
        EventTap& taps;
        const KeyboardState& keyboard;
        const FrontmostApplication& frontmostApplication;
        const AccessibilityTrust& accessibilityTrust;
        DesktopViews& desktopViews;
        const Clock& clock;
        Scheduler& scheduler;
        SystemEvents& systemEvents;
        AudioDevices& audio;
        PowerAssertions& power;
        KeyboardBacklight& keyboardBacklight;
        DesktopPreferences& desktopPreferences;
        ScreenCovers& screenCovers;
        Pasteboard& pasteboard;
        InteractiveScreenshot& screenshots;
        BrowserPageSource& browserPages;
        TextSelectionAccess& textSelection;
        TranslationPresenter& translation;
        // The drag's own HUD reads the hint switch and position from it.
        ControlSettings& settings;
        AdjustmentHUDFactory makeHUD;
        Workspace& workspace;
        Accessibility& accessibility;
        AccessibilityKeyboardSettings& keyboardSettings;
        WindowControl& windows;
        const Screens& screens;
        SystemPower& systemPower;
        FileBookmarks& bookmarks;
        // Runs the Shortcuts tool for the shortcut service.
        ProcessRunner& processes;
        // The program's own application, which the application history leaves
        // out.
        std::optional<QString> ownBundleIdentifier;
    };

    // Builds every executor; starts nothing but the application history,
    // which follows activations from the start so that it covers the run.
    explicit ActionExecutors(Ports ports);
    ~ActionExecutors() override;

    // Gives the switcher and the window screenshot the controller's flags and
    // notices. The controller is built after the executors, which it holds;
    // it may also go first.
    void attachController(TrackpadController& controller);

    SystemApplicationSwitcher& systemApplicationSwitcher() { return *systemApplicationSwitcher_; }
    MouseDragController& mouseDrag() { return *mouseDrag_; }
    SyntheticInput& syntheticInput() { return syntheticInput_; }
    DesktopViewLauncher& desktopViewLauncher() { return desktopViewLauncher_; }
    KeyboardLockController& keyboardLock() { return *keyboardLock_; }
    KeepAwakeController& keepAwake() { return *keepAwake_; }
    MicrophoneMuteController& microphone() { return *microphone_; }
    DesktopIconsController& desktopIcons() { return *desktopIcons_; }
    SystemVolume& volume() { return volume_; }
    KeyboardBacklightStepper& keyboardBacklightStepper() { return keyboardBacklightStepper_; }
    // The previous-application switch and its history.
    ApplicationSwitcher& applicationSwitcher() { return *applicationSwitcher_; }
    ActionTargetOpener& actionTargetOpener() { return actionTargetOpener_; }
    ShortcutActionService& shortcuts() { return *shortcuts_; }
    SystemPowerAction& systemPowerAction() { return systemPowerAction_; }
    SystemPanelExecutor& systemPanel() { return systemPanel_; }
    WindowFrameHistory& windowFrameHistory() { return windowFrameHistory_; }
    WindowLayoutExecutor& windowLayout() { return windowLayout_; }
    WindowAction& windowAction() { return windowAction_; }
    ForceQuitMenuExecutor& forceQuitMenu() { return *forceQuitMenu_; }
    AccessibilityKeyboardToggle& accessibilityKeyboard() { return *accessibilityKeyboard_; }
    SystemActionExecutor& systemActions() { return systemActions_; }
    ClipboardActionExecutor& clipboard() { return *clipboard_; }
    WindowScreenshotService& windowScreenshot() { return *windowScreenshot_; }
    TranslationActionExecutor& translation() { return translation_; }

    // --- ExecutorServices ----------------------------------------------------

    bool isKeyboardLocked() const override { return keyboardLock_->isLocked(); }
    bool isKeyboardCleaning() const override { return keyboardLock_->isCleaning(); }
    void stopKeyboardLock() override { keyboardLock_->stop(); }

    bool isMouseDragHeld() const override { return mouseDrag_->state().isHeld; }
    void releaseMouseDrag() override { mouseDrag_->release(false); }
    void resetMouseClickSequence() override { syntheticInput_.resetClickSequence(); }

    void resetKeyboardBacklightStepper() override { keyboardBacklightStepper_.reset(); }
    std::optional<float> adjustOutputVolume(float step) override { return volume_.adjustOutput(step); }
    std::optional<HUDNotice> adjustKeyboardBacklight(float change) override {
        return keyboardBacklightStepper_.adjust(change);
    }
    void cancelWindowScreenshot() override { windowScreenshot_->cancel(); }

    bool isApplicationSwitcherOpen() const override { return systemApplicationSwitcher_->isOpen(); }
    void endApplicationSwitcher(bool cancel) override { systemApplicationSwitcher_->end(cancel); }

    // --- InputActionExecutors ------------------------------------------------

    HUDNotice beginApplicationSwitcher() override { return systemApplicationSwitcher_->begin(); }
    HUDNotice performMouseAction(GestureAction action) override { return syntheticInput_.performMouseAction(action); }
    HUDNotice performMouseDrag(GestureAction action) override { return mouseDrag_->perform(action); }
    HUDNotice postMediaKey(std::uint64_t modifiers, const QString& label,
                           std::optional<ShortcutMediaKey> mediaKey) override {
        return syntheticInput_.postMediaKey(modifiers, label, mediaKey);
    }

    // --- SystemActionService -------------------------------------------------

    QCoro::Task<std::optional<HUDNotice>> perform(GestureAction action) override {
        return systemActions_.perform(action);
    }

    // --- ApplicationActionExecutors ------------------------------------------

    QCoro::Task<std::optional<HUDNotice>> openActionTarget(GestureBinding binding) override {
        return actionTargetOpener_.openActionTarget(std::move(binding));
    }
    QCoro::Task<bool> openApplication(QString path) override;
    // A run always goes to its end, whatever resets the gesture meanwhile.
    QCoro::Task<bool> toggleAccessibilityKeyboard(CancellationToken) override {
        return accessibilityKeyboard_->toggleAccessibilityKeyboard();
    }
    // The desktop's own keys for its panels where it has them.
    QCoro::Task<HUDNotice> openSystemPanel(GestureAction action) override;
    // Linux desktops end hung applications in their system monitor.
    QCoro::Task<HUDNotice> openForceQuitWindow(CancellationToken token) override;
    QCoro::Task<HUDNotice> closeFrontWindow() override { return windowAction_.closeFrontWindow(); }
    QCoro::Task<std::optional<HUDNotice>> minimizeFrontWindow() override { return windowAction_.minimizeFrontWindow(); }
    QCoro::Task<HUDNotice> performWindowLayout(GestureAction action) override { return windowLayout_.perform(action); }
    HUDNotice switchToPreviousApplication() override { return applicationSwitcher_->switchToPrevious(); }

    // --- ContentActionExecutors ----------------------------------------------

    QCoro::Task<std::optional<HUDNotice>> performClipboardAction(GestureAction action,
                                                                 CancellationToken token) override {
        return clipboard_->execute(action, std::move(token));
    }
    QCoro::Task<HUDNotice> startWindowScreenshot() override { return windowScreenshot_->start(); }
    HUDNotice translateSelection() override { return translation_.execute(); }

private:
    Workspace& workspace_;
    EventPoster& poster_;
    std::unique_ptr<SystemApplicationSwitcher> systemApplicationSwitcher_;
    std::unique_ptr<MouseDragController> mouseDrag_;
    SyntheticInput syntheticInput_;
    DesktopViewLauncher desktopViewLauncher_;
    std::unique_ptr<KeyboardLockController> keyboardLock_;
    std::unique_ptr<KeepAwakeController> keepAwake_;
    std::unique_ptr<MicrophoneMuteController> microphone_;
    std::unique_ptr<DesktopIconsController> desktopIcons_;
    SystemVolume volume_;
    KeyboardBacklightStepper keyboardBacklightStepper_;
    std::unique_ptr<ApplicationSwitcher> applicationSwitcher_;
    std::unique_ptr<ShortcutActionService> shortcuts_;
    ActionTargetOpener actionTargetOpener_;
    SystemPowerAction systemPowerAction_;
    SystemPanelExecutor systemPanel_;
    WindowFrameHistory windowFrameHistory_;
    WindowLayoutExecutor windowLayout_;
    WindowAction windowAction_;
    std::unique_ptr<ForceQuitMenuExecutor> forceQuitMenu_;
    std::unique_ptr<AccessibilityKeyboardToggle> accessibilityKeyboard_;
    SystemActionExecutor systemActions_;
    std::unique_ptr<ClipboardActionExecutor> clipboard_;
    std::unique_ptr<WindowScreenshotService> windowScreenshot_;
    TranslationActionExecutor translation_;
    QPointer<TrackpadController> controller_;
};

}  // namespace glidra
