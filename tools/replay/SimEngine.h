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

struct SimEngine {
    // `dispatcher`, when given, carries out the bound actions instead of the
    // engine's own; it must outlive the engine.
    explicit SimEngine(ActionDispatchService* dispatcher = nullptr, double startTime = 0.0)
        : clock(startTime),
          executors(ActionExecutors::Ports{
              system.poster,
              system.taps,
              keyboard,
              frontmost,
              trust,
              system.desktopViews,
              clock,
              scheduler,
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
              settings,
              [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
          }),
          actions(ActionDispatcher::Ports{system.poster, keyboard, frontmost, trust, system.workspace},
                  ActionDispatcher::Executors{executors, unbuilt, unbuilt, executors}),
          controller(TrackpadController::Environment{
              settings,
              clock,
              scheduler,
              keyboard,
              frontmost,
              executors,
              dispatcher ? *dispatcher : actions,
              [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
              pointer,
              std::make_unique<InertVideoScrubber>(),
              std::make_unique<InertConnector>(),
              [](TrackpadController&) { return std::make_unique<InertRecovery>(); },
              keyEvents,
              mouseButtons,
              trust,
          }) {
        executors.attachController(controller);
    }

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
    UnbuiltExecutors unbuilt;
    ActionExecutors executors;
    ActionDispatcher actions;
    TrackpadController controller;
};

}  // namespace glidra::replay
