#include "gestures/ContinuousGestureTracker.h"

#include "gestures/GestureSessionContext.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

// Every original finger is still down and has not moved: the new fingers
// were added to a resting hand.
bool fingersWereAdded(std::span<const TouchPoint> origin, std::span<const TouchPoint> current, float tolerance) {
    return std::all_of(origin.begin(), origin.end(), [&](const TouchPoint& o) {
        return std::any_of(current.begin(), current.end(), [&](const TouchPoint& c) {
            return c.id == o.id && std::fabs(c.x - o.x) < tolerance && std::fabs(c.y - o.y) < tolerance;
        });
    });
}

}  // namespace

std::optional<ContinuousGestureTracker::Step> ContinuousGestureTracker::update(std::span<const TouchPoint> points,
                                                                               float activationTravel,
                                                                               const TouchSurface& surface) {
    if (points.empty()) {
        // By copy, so the point lists keep their storage for the next touch.
        static const ContinuousGestureTracker fresh;
        *this = fresh;
        return std::nullopt;
    }
    if (cancelled || points.size() >= 5 ||
        !std::all_of(points.begin(), points.end(), [](const TouchPoint& p) { return p.isOnPad(); })) {
        cancelled = true;
        return std::nullopt;
    }

    const SortedTouches sorted(points);
    const TouchPoint center = *centroid(sorted);

    if (origin.empty()) {
        origin.assign(sorted.begin(), sorted.end());
        last = {center.x, center.y};
        return std::nullopt;
    }

    if (!TouchPoint::sameIdentifiers(sorted, origin)) {
        if (!activated && origin.size() < sorted.size() && fingersWereAdded(origin, sorted, restingTolerance)) {
            origin.assign(sorted.begin(), sorted.end());
            last = {center.x, center.y};
        } else {
            cancelled = true;
        }
        return std::nullopt;
    }
    if (!last) {
        cancelled = true;
        return std::nullopt;
    }

    if (!activated) {
        const TouchPoint start = *centroid(origin);
        if (std::max(std::fabs(center.x - start.x), std::fabs(center.y - start.y)) < activationTravel) {
            return std::nullopt;
        }
        activated = true;
    }

    const float dx = center.x - last->first;
    const float dy = center.y - last->second;
    const float step = std::max(std::fabs(dx), std::fabs(dy));
    if (step >= jumpLimit) {
        cancelled = true;
        return std::nullopt;
    }
    // Slow movement adds up from the last step until it is worth reporting.
    if (step < minimumStep) return std::nullopt;

    last = {center.x, center.y};
    GestureDescriptor gesture;
    gesture.kind = GestureDescriptor::Kind::swipe;
    gesture.fingers = qint64(sorted.size());
    gesture.direction = surface.direction(dx, dy);
    gesture.tapCount = 1;
    return Step{gesture, step};
}

}  // namespace glidra
