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
#include "platform/sim/SimScheduler.h"
#include "platform/sim/SimUserDefaults.h"
#include "replay/InertServices.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"

namespace glidra::replay {

struct SimEngine {
    // `routing` carries the edge and continuous paths; `dispatcher`, when
    // given, carries out the bound actions instead of the engine's own. Both
    // must outlive the engine.
    explicit SimEngine(GestureRoutingService& routing, ActionDispatchService* dispatcher = nullptr,
                       double startTime = 0.0)
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
              system.workspace,
              system.accessibility,
              system.keyboardSettings,
              system.windows,
              system.screens,
              system.systemPower,
              system.bookmarks,
              system.processes,
              std::nullopt,
          }),
          actions(ActionDispatcher::Ports{system.poster, keyboard, frontmost, trust, system.workspace},
                  ActionDispatcher::Executors{executors, executors, executors, executors}),
          controller(TrackpadController::Environment{
              settings,
              clock,
              scheduler,
              keyboard,
              frontmost,
              executors,
              dispatcher ? *dispatcher : actions,
              routing,
              [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
              std::make_unique<InertPointerLock>(),
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
    sim::SimActionSystem system;
    ActionExecutors executors;
    ActionDispatcher actions;
    TrackpadController controller;
};

}  // namespace glidra::replay
