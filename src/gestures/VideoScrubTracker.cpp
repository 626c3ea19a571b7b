#include "gestures/VideoScrubTracker.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

struct Centroid {
    float x = 0;
    float y = 0;
};

Centroid centroid(std::span<const TouchPoint> points) {
    Centroid sum;
    for (const TouchPoint& p : points) {
        sum.x += p.x;
        sum.y += p.y;
    }
    const auto count = float(points.size());
    return {sum.x / count, sum.y / count};
}

}  // namespace

std::optional<VideoScrubTracker::Step> VideoScrubTracker::update(std::span<const TouchPoint> points,
                                                                 const TouchSurface& surface) {
    if (points.empty()) {
        // By copy, so the point lists keep their storage for the next touch.
        static const VideoScrubTracker fresh;
        *this = fresh;
        return std::nullopt;
    }
    if (points.size() >= 5 || !std::all_of(points.begin(), points.end(), [](const TouchPoint& p) {
            return std::isfinite(p.x) && std::isfinite(p.y);
        })) {
        cancelled = true;
        return std::nullopt;
    }

    const SortedTouches sorted(points);

    // A finger that lands before the slide is recognised starts it afresh.
    if (origin.empty() || (!activated && sorted.size() > origin.size())) {
        origin.assign(sorted.begin(), sorted.end());
        lastX = centroid(origin).x;
        return std::nullopt;
    }
    if (cancelled) return std::nullopt;
    if (!TouchPoint::sameIdentifiers(sorted, origin)) {
        cancelled = true;
        return std::nullopt;
    }

    const Centroid now = centroid(sorted);
    const Centroid start = centroid(origin);
    const float step = std::abs(now.x - lastX);
    const float drift = std::abs(now.y - start.y);
    if (step >= jumpLimit || drift >= driftLimit) {
        cancelled = true;
        return std::nullopt;
    }
    const float travel = now.x - start.x;
    if (!activated) {
        if (std::abs(travel) < activationDistance ||
            1.5f * std::abs(surface.judgedY(now.y - start.y)) >= std::abs(surface.judgedX(travel))) {
            return std::nullopt;
        }
        activated = true;
    }
    if (step < reportingResolution) return std::nullopt;

    // The direction is the whole slide's, not this step's.
    const auto direction = travel < 0 ? GestureDescriptor::Direction::left : GestureDescriptor::Direction::right;
    Step reported{GestureDescriptor{GestureDescriptor::Kind::swipe, qint64(sorted.size()), direction, 1},
                  double(now.x - lastX)};
    lastX = now.x;
    return reported;
}

}  // namespace glidra
