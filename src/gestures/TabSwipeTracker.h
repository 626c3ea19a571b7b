#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRecognitionLevel.h"
#include "gestures/GestureRule.h"
#include "gestures/GestureSessionContext.h"
#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"

#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Recognises a sideways swipe of two to four fingers early, while they are
// still down, so a swipe bound to switching browser tabs acts at once. It
// reports at most one left or right swipe per touch. A plain value, one per
// device.
struct TabSwipeTracker {
    // Where the gesture started, sorted by identifier; empty when idle.
    std::vector<TouchPoint> origin;
    // The sorted contacts of the previous frame.
    std::vector<TouchPoint> previous;
    // Frame time, in seconds, at which origin was taken.
    std::optional<double> beganAt;
    // Some finger has left its origin by more than the level's start
    // threshold.
    bool moving = false;
    // Reported or given up; nothing more until every finger lifts.
    bool finished = false;

    friend bool operator==(const TabSwipeTracker&, const TabSwipeTracker&) = default;

    // Feeds one frame (contacts in any order) with its time in seconds;
    // whether the fingers went sideways is judged on `surface`.
    std::optional<GestureDescriptor> update(std::span<const TouchPoint> points, GestureRecognitionLevel level,
                                            double timestamp, const TouchSurface& surface = {});

    // Whether the tab rule `rule` may take an early swipe of `fingers`
    // fingers: not when another enabled rule that would match this touch
    // waits for a gesture the early report would spoil (force press,
    // tap-swipe, circle, back-and-forth).
    static bool canClaim(qint64 fingers, const GestureRule& rule, std::span<const GestureRule> rules,
                         const GestureSessionContext& context);

    // Fingers that rest this long before moving are doing something else.
    static constexpr double latestStart = 0.45;
    // How far a resting finger may be from its origin when fingers are added.
    static constexpr float rebaselineRadius = 0.06f;
    static constexpr float jumpLimit = 0.15f;
    // The fingers must move together: their travels may differ this much at
    // most, in x and in y separately.
    static constexpr float largestSpread = 0.035f;

    // Per-level distances.
    struct Thresholds {
        // One finger's distance from its origin that starts the movement.
        float start;
        // Mean sideways travel of the fingers.
        float side;
        // Sideways travel every finger needs.
        float perFinger;
    };
    static Thresholds thresholds(GestureRecognitionLevel level);
};

}  // namespace glidra
