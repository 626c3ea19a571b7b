#pragma once

#include "dispatch/AdjustmentHUD.h"
#include "executors/DesktopViewLauncher.h"
#include "executors/MouseDragController.h"
#include "executors/SyntheticInput.h"
#include "executors/SystemApplicationSwitcher.h"
#include "trackpad/ControllerServices.h"

#include <memory>

namespace glidra {

class AccessibilityTrust;
class Clock;
class ControlSettings;
class DesktopViews;
class EventPoster;
class EventTap;
class FrontmostApplication;
class KeyboardState;
class Scheduler;
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

    // --- ExecutorServices ----------------------------------------------------

    // The keyboard lock comes with its own executor; until then nothing is
    // ever locked.
    bool isKeyboardLocked() const override { return false; }
    void stopKeyboardLock() override {}

    bool isMouseDragHeld() const override { return mouseDrag_->state().isHeld; }
    void releaseMouseDrag() override { mouseDrag_->release(false); }
    void resetMouseClickSequence() override { syntheticInput_.resetClickSequence(); }

    // The backlight stepper comes with its own executor; nothing to forget yet.
    void resetKeyboardBacklightStepper() override {}
    // The window screenshot comes with its own executor; nothing runs yet.
    void cancelWindowScreenshot() override {}

    void endApplicationSwitcher(bool cancel) override { applicationSwitcher_->end(cancel); }

private:
    std::unique_ptr<SystemApplicationSwitcher> applicationSwitcher_;
    std::unique_ptr<MouseDragController> mouseDrag_;
    SyntheticInput syntheticInput_;
    DesktopViewLauncher desktopViewLauncher_;
};

}  // namespace glidra
