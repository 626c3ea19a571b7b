#pragma once

#include "gestures/GestureTrigger.h"

#include <optional>

namespace glidra {

// Adds up the steps of one edge trigger until the slide is long enough for a
// bound action that runs once. A step of another trigger starts over. It
// never clears itself after passing: its owner resets or replaces it.
struct ActionDistanceGate {
    std::optional<GestureTrigger> trigger;
    // Plain trackpad distance slid so far for that trigger.
    float distance = 0;

    friend bool operator==(const ActionDistanceGate&, const ActionDistanceGate&) = default;

    // Adds |delta| for `trigger` and tells whether the total has reached
    // `percent` of the trackpad's side. A non-finite delta is ignored.
    bool passes(GestureTrigger trigger, int percent, float delta);
};

}  // namespace glidra
