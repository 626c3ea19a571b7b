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
    // `routing` carries gestures beyond recognition; it must outlive the engine.
    explicit SimEngine(GestureRoutingService& routing, double startTime = 0.0)
        : clock(startTime),
          controller(inertEnvironment({settings, clock, scheduler, keyboard, frontmost, keyEvents, mouseButtons, trust},
                                      executors, routing)) {}

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
