#pragma once

#include "dispatch/AdjustmentHUD.h"
#include "executors/DesktopIconsController.h"
#include "executors/DesktopViewLauncher.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardBacklightStepper.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "executors/MouseDragController.h"
#include "executors/SyntheticInput.h"
#include "executors/SystemApplicationSwitcher.h"
#include "executors/SystemVolume.h"
#include "trackpad/ControllerServices.h"

#include <memory>

namespace glidra {

class AccessibilityTrust;
class AudioDevices;
class Clock;
class ControlSettings;
class DesktopPreferences;
class DesktopViews;
class EventPoster;
class EventTap;
class FrontmostApplication;
class KeyboardBacklight;
class KeyboardState;
class PowerAssertions;
class Scheduler;
class ScreenCovers;
class SystemEvents;
class TrackpadController;

// The one owner of the process's shared action executors, built by the
// composition root from the ports they need, and what the trackpad controller
// asks of them. The dispatcher reaches each executor through it.
class ActionExecutors final : public ExecutorServices {
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
        // The drag's own HUD reads the hint switch and position from it.
        ControlSettings& settings;
        AdjustmentHUDFactory makeHUD;
    };

    // Builds every executor; starts nothing.
    explicit ActionExecutors(Ports ports);
    ~ActionExecutors() override;

    // Gives the switcher the controller's flag and notices. The controller is
    // built after the executors, which it holds; it may also go first.
    void attachController(TrackpadController& controller);

    SystemApplicationSwitcher& applicationSwitcher() { return *applicationSwitcher_; }
    MouseDragController& mouseDrag() { return *mouseDrag_; }
    SyntheticInput& syntheticInput() { return syntheticInput_; }
    DesktopViewLauncher& desktopViewLauncher() { return desktopViewLauncher_; }
    KeyboardLockController& keyboardLock() { return *keyboardLock_; }
    KeepAwakeController& keepAwake() { return *keepAwake_; }
    MicrophoneMuteController& microphone() { return *microphone_; }
    DesktopIconsController& desktopIcons() { return *desktopIcons_; }
    SystemVolume& volume() { return volume_; }
    KeyboardBacklightStepper& keyboardBacklightStepper() { return keyboardBacklightStepper_; }

    // --- ExecutorServices ----------------------------------------------------

    bool isKeyboardLocked() const override { return keyboardLock_->isLocked(); }
    void stopKeyboardLock() override { keyboardLock_->stop(); }

    bool isMouseDragHeld() const override { return mouseDrag_->state().isHeld; }
    void releaseMouseDrag() override { mouseDrag_->release(false); }
    void resetMouseClickSequence() override { syntheticInput_.resetClickSequence(); }

    void resetKeyboardBacklightStepper() override { keyboardBacklightStepper_.reset(); }
    // The window screenshot comes with its own executor; nothing runs yet.
    void cancelWindowScreenshot() override {}

    void endApplicationSwitcher(bool cancel) override { applicationSwitcher_->end(cancel); }

private:
    std::unique_ptr<SystemApplicationSwitcher> applicationSwitcher_;
    std::unique_ptr<MouseDragController> mouseDrag_;
    SyntheticInput syntheticInput_;
    DesktopViewLauncher desktopViewLauncher_;
    std::unique_ptr<KeyboardLockController> keyboardLock_;
    std::unique_ptr<KeepAwakeController> keepAwake_;
    std::unique_ptr<MicrophoneMuteController> microphone_;
    std::unique_ptr<DesktopIconsController> desktopIcons_;
    SystemVolume volume_;
    KeyboardBacklightStepper keyboardBacklightStepper_;
};

}  // namespace glidra
