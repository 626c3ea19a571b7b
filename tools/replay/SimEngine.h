#pragma once

// The trackpad controller on the sim platform, with the action executors and
// the dispatcher acting on a simulated system: what the replay tool and the
// frame-path benchmark run the real engine on. Nothing reaches the machine.

#include "dispatch/ActionDispatcher.h"
#include "executors/ActionExecutors.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimActionSystem.h"
#include "platform/sim/SimFrontmostApplication.h"
#include "platform/sim/SimKeyEventMonitor.h"
#include "platform/sim/SimKeyboardState.h"
#include "platform/sim/SimMouseButtonMonitor.h"
#include "platform/sim/SimPointerControl.h"
#include "platform/sim/SimScheduler.h"
#include "platform/sim/SimUserDefaults.h"
#include "replay/InertServices.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"

namespace glidra::replay {

// The ports the engine reads of the system around it, beyond the simulated
// system the actions act on.
struct EnginePorts {
    ControlSettings& settings;
    const Clock& clock;
    Scheduler& scheduler;
    KeyboardState& keyboard;
    FrontmostApplication& frontmost;
    KeyEventMonitor& keyEvents;
    MouseButtonMonitor& mouseButtons;
    const AccessibilityTrust& trust;
};

// The executors' ports: the engine's, and the simulated system for the rest
// (its poster and taps unless others are given).
inline ActionExecutors::Ports simExecutorPorts(const EnginePorts& ports, sim::SimActionSystem& system,
                                               EventPoster* poster = nullptr, EventTap* taps = nullptr) {
    return ActionExecutors::Ports{
        poster ? *poster : system.poster,
        taps ? *taps : system.taps,
        ports.keyboard,
        ports.frontmost,
        ports.trust,
        system.desktopViews,
        ports.clock,
        ports.scheduler,
        system.systemEvents,
        system.audio,
        system.power,
        system.keyboardBacklight,
        system.desktopPreferences,
        system.screenCovers,
        system.pasteboard,
        system.screenshots,
        system.browserPages,
        system.textSelection,
        system.translation,
        ports.settings,
        [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
        system.workspace,
        system.accessibility,
        system.keyboardSettings,
        system.windows,
        system.screens,
        system.systemPower,
        system.bookmarks,
        system.processes,
        std::nullopt,
    };
}

// The controller's environment: the engine's ports and pieces, with what has
// no role in a replay inert.
inline TrackpadController::Environment simControllerEnvironment(const EnginePorts& ports, ActionExecutors& executors,
                                                                ActionDispatchService& dispatcher,
                                                                PointerControl& pointer) {
    return TrackpadController::Environment{
        ports.settings,
        ports.clock,
        ports.scheduler,
        ports.keyboard,
        ports.frontmost,
        executors,
        dispatcher,
        [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
        pointer,
        std::make_unique<InertVideoScrubber>(),
        std::make_unique<InertConnector>(),
        [](TrackpadController&) { return std::make_unique<InertRecovery>(); },
        ports.keyEvents,
        ports.mouseButtons,
        ports.trust,
    };
}

struct SimEngine {
    // `dispatcher`, when given, carries out the bound actions instead of the
    // engine's own; it must outlive the engine.
    explicit SimEngine(ActionDispatchService* dispatcher = nullptr, double startTime = 0.0)
        : clock(startTime),
          executors(simExecutorPorts(ports(), system)),
          actions(ActionDispatcher::Ports{system.poster, keyboard, frontmost, trust, system.workspace},
                  ActionDispatcher::Executors{executors, executors, executors, executors}),
          controller(simControllerEnvironment(ports(), executors, dispatcher ? *dispatcher : actions, pointer)) {
        executors.attachController(controller);
    }

    EnginePorts ports() { return {settings, clock, scheduler, keyboard, frontmost, keyEvents, mouseButtons, trust}; }

    sim::ManualClock clock;
    sim::SimScheduler scheduler{clock};
    sim::SimUserDefaults defaults;
    ControlSettings settings{defaults};
    sim::SimKeyboardState keyboard;
    sim::SimFrontmostApplication frontmost;
    sim::SimKeyEventMonitor keyEvents;
    sim::SimMouseButtonMonitor mouseButtons;
    sim::SimAccessibilityTrust trust;
    sim::SimPointerControl pointer;
    sim::SimActionSystem system;
    ActionExecutors executors;
    ActionDispatcher actions;
    TrackpadController controller;
};

}  // namespace glidra::replay
