#include "gestures/TabSwipeTracker.h"

#include "gestures/MultiTouchRecognizer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace glidra {

namespace {

// Every original finger is still down near where it started: the new
// fingers joined a resting hand.
bool fingersWereAdded(std::span<const TouchPoint> origin, std::span<const TouchPoint> current, float radius) {
    return std::all_of(origin.begin(), origin.end(), [&](const TouchPoint& o) {
        return std::any_of(current.begin(), current.end(),
                           [&](const TouchPoint& c) { return c.id == o.id && TouchPoint::distance(c, o) <= radius; });
    });
}

bool isSpoiledByEarlySwipe(GestureDescriptor::Kind kind) {
    using K = GestureDescriptor::Kind;
    return kind == K::forcePress || kind == K::tapSwipe || kind == K::circle || kind == K::backAndForth;
}

}  // namespace

TabSwipeTracker::Thresholds TabSwipeTracker::thresholds(GestureRecognitionLevel level) {
    switch (level) {
        case GestureRecognitionLevel::relaxed:
            return {0.035f, 0.07f, 0.042f};
        case GestureRecognitionLevel::standard:
            break;
        case GestureRecognitionLevel::deliberate:
            return {0.015f, 0.13f, 0.078f};
    }
    return {0.025f, 0.09f, 0.054f};
}

std::optional<GestureDescriptor> TabSwipeTracker::update(std::span<const TouchPoint> points,
                                                         GestureRecognitionLevel level, double timestamp,
                                                         const TouchSurface& surface) {
    if (points.empty()) {
        // By copy, so the point lists keep their storage for the next touch.
        static const TabSwipeTracker fresh;
        *this = fresh;
        return std::nullopt;
    }
    if (finished || !std::isfinite(timestamp) || points.size() >= 5 ||
        !std::all_of(points.begin(), points.end(), [](const TouchPoint& p) { return p.isOnPad(); })) {
        finished = true;
        return std::nullopt;
    }

    const SortedTouches sorted(points);

    if (origin.empty()) {
        origin.assign(sorted.begin(), sorted.end());
        previous = origin;
        beganAt = timestamp;
        return std::nullopt;
    }
    if (!beganAt || *beganAt > timestamp) {
        finished = true;
        return std::nullopt;
    }

    if (origin.size() < sorted.size() && fingersWereAdded(origin, sorted, rebaselineRadius)) {
        origin.assign(sorted.begin(), sorted.end());
        previous = origin;
        beganAt = timestamp;
        moving = false;
        return std::nullopt;
    }
    if (!TouchPoint::sameIdentifiers(sorted, origin)) {
        finished = true;
        return std::nullopt;
    }

    const std::size_t count = sorted.size();
    for (std::size_t i = 0; i < std::min(count, previous.size()); ++i) {
        if (TouchPoint::distance(sorted[i], previous[i]) >= jumpLimit) {
            finished = true;
            return std::nullopt;
        }
    }
    previous.assign(sorted.begin(), sorted.end());

    std::array<float, SortedTouches::capacity> dxs{};
    std::array<float, SortedTouches::capacity> dys{};
    const std::span<float> dx(dxs.data(), count);
    const std::span<float> dy(dys.data(), count);
    for (std::size_t i = 0; i < count; ++i) {
        dx[i] = sorted[i].x - origin[i].x;
        dy[i] = sorted[i].y - origin[i].y;
    }

    const Thresholds limits = thresholds(level);
    if (!moving) {
        bool started = false;
        for (std::size_t i = 0; i < count; ++i) started = started || std::hypot(dx[i], dy[i]) > limits.start;
        if (started) {
            moving = true;
            if (timestamp - *beganAt >= latestStart) {
                finished = true;
                return std::nullopt;
            }
        }
    }

    if (count < 2 || count > 4) return std::nullopt;

    float sumDx = 0;
    float sumDy = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sumDx += dx[i];
        sumDy += dy[i];
    }
    const float meanDx = sumDx / float(count);
    const float meanDy = sumDy / float(count);
    if (!(std::fabs(meanDx) >= limits.side &&
          2 * std::fabs(surface.judgedY(meanDy)) < std::fabs(surface.judgedX(meanDx)))) {
        return std::nullopt;
    }

    for (std::size_t i = 0; i < count; ++i) {
        if (!(meanDx * dx[i] > 0 && std::fabs(dx[i]) >= limits.perFinger)) return std::nullopt;
    }
    const auto [minDx, maxDx] = std::minmax_element(dx.begin(), dx.end());
    const auto [minDy, maxDy] = std::minmax_element(dy.begin(), dy.end());
    if (*maxDx - *minDx > largestSpread || *maxDy - *minDy > largestSpread) return std::nullopt;

    // A hand that pinches while drifting sideways is not switching tabs.
    if (MultiTouchRecognizer::multiFingerPinch(origin, sorted)) return std::nullopt;

    finished = true;
    GestureDescriptor gesture;
    gesture.kind = GestureDescriptor::Kind::swipe;
    gesture.fingers = qint64(count);
    gesture.direction = meanDx > 0 ? GestureDescriptor::Direction::right : GestureDescriptor::Direction::left;
    gesture.tapCount = 1;
    return gesture;
}

bool TabSwipeTracker::canClaim(qint64 fingers, const GestureRule& rule, std::span<const GestureRule> rules,
                               const GestureSessionContext& context) {
    if (rule.gesture.kind != GestureDescriptor::Kind::swipe) return false;
    if (rule.action != GestureAction::previousTab && rule.action != GestureAction::nextTab) return false;

    const auto start = context.startCentroid();
    return std::none_of(rules.begin(), rules.end(), [&](const GestureRule& other) {
        return other.action != GestureAction::none && other.gesture.fingers == fingers &&
               isSpoiledByEarlySwipe(other.gesture.kind) && other.isEnabled &&
               other.requiredModifiers == context.modifiers &&
               (other.appBundleID.isEmpty() || (context.app && *context.app == other.appBundleID)) &&
               other.matchesRegion(start, context.regionWidth);
    });
}

}  // namespace glidra
