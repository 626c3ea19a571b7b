#pragma once

// The trackpad controller on the sim platform, with the engine's inert pieces:
// what the replay tool and the frame-path benchmark run the real engine on.

#include "platform/sim/ManualClock.h"
#include "platform/sim/SimAccessibilityTrust.h"
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
    // `dispatcher` carries out bound actions and `routing` the edge and
    // continuous paths; both must outlive the engine.
    SimEngine(ActionDispatchService& dispatcher, GestureRoutingService& routing, double startTime = 0.0)
        : clock(startTime),
          controller(TrackpadController::Environment{
              settings,
              clock,
              scheduler,
              keyboard,
              frontmost,
              executors,
              dispatcher,
              routing,
              [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
              std::make_unique<InertPointerLock>(),
              std::make_unique<InertVideoScrubber>(),
              std::make_unique<InertConnector>(),
              [](TrackpadController&) { return std::make_unique<InertRecovery>(); },
              keyEvents,
              mouseButtons,
              trust,
          }) {}

    sim::ManualClock clock;
    sim::SimScheduler scheduler{clock};
    sim::SimUserDefaults defaults;
    ControlSettings settings{defaults};
    sim::SimKeyboardState keyboard;
    sim::SimFrontmostApplication frontmost;
    sim::SimKeyEventMonitor keyEvents;
    sim::SimMouseButtonMonitor mouseButtons;
    sim::SimAccessibilityTrust trust;
    InertExecutors executors;
    TrackpadController controller;
};

}  // namespace glidra::replay
