#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace glidra {

// Follows the fingers of a continuous rule (volume, brightness, keyboard
// backlight) while they move: once they have travelled far enough from where
// they landed, every further centroid movement of at least minimumStep is
// reported as a small swipe step. A plain value, one per device.
struct ContinuousGestureTracker {
    // One reported movement: a swipe with the contact count and the 8-way
    // direction of the move, and its length (the larger axis of the move).
    struct Step {
        GestureDescriptor gesture;
        float length = 0;

        friend bool operator==(const Step&, const Step&) = default;
    };

    // The contacts at the start of the gesture, sorted by identifier; empty
    // when idle.
    std::vector<TouchPoint> origin;
    // The centroid at the last reported step; absent when idle.
    std::optional<std::pair<float, float>> last;
    bool activated = false;
    // Given up; nothing more is reported until every finger lifts.
    bool cancelled = false;

    friend bool operator==(const ContinuousGestureTracker&, const ContinuousGestureTracker&) = default;

    // Feeds one frame (contacts in any order). activationTravel is how far
    // the centroid must move from its start, along x or y, before steps are
    // reported; a step's direction is judged on `surface`.
    std::optional<Step> update(std::span<const TouchPoint> points, float activationTravel,
                               const TouchSurface& surface = {});

    static constexpr float minimumStep = 0.002f;
    static constexpr float jumpLimit = 0.15f;
    // How still the first fingers must be for added fingers to restart the
    // gesture instead of cancelling it.
    static constexpr float restingTolerance = 0.01f;
};

}  // namespace glidra
