#include "gestures/ForcePressRecognizer.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

bool isValidContact(const TouchPoint& p) { return p.isOnPad() && std::isfinite(p.pressure) && p.pressure >= 0; }

}  // namespace

void ForcePressRecognizer::reset() {
    // By copy, so the origins keep their storage for the next touch.
    static const ForcePressRecognizer fresh;
    *this = fresh;
}

std::optional<GestureDescriptor> ForcePressRecognizer::update(std::span<const TouchPoint> points, double timestamp,
                                                              float threshold) {
    if (points.empty()) {
        reset();
        return std::nullopt;
    }
    if (hasTriggered || cancelled) return std::nullopt;

    // A threshold of 0 or less would fire on any touch: callers pass none
    // when force presses are not wanted, so a bad one just ends the session.
    const bool valid = std::isfinite(timestamp) && std::isfinite(threshold) && threshold > 0 && points.size() <= 4 &&
                       std::all_of(points.begin(), points.end(), isValidContact);
    if (!valid) {
        cancelled = true;
        return std::nullopt;
    }
    if (!startTime) startTime = timestamp;

    const int count = int(points.size());
    if (count > peakCount) {
        if (timestamp - *startTime > joinWindow) {
            cancelled = true;
            return std::nullopt;
        }
        peakCount = count;
        aboveThresholdSince.reset();
    } else if (count < peakCount) {
        cancelled = true;
        return std::nullopt;
    }

    for (const TouchPoint& p : points) {
        auto origin = std::find_if(origins.begin(), origins.end(), [&p](const TouchPoint& o) { return o.id == p.id; });
        if (origin == origins.end()) {
            if (timestamp - *startTime > joinWindow) {
                cancelled = true;
                return std::nullopt;
            }
            origins.push_back(p);
            origin = origins.end() - 1;
        }
        if (std::hypot(p.x - origin->x, p.y - origin->y) >= maxDrift) {
            cancelled = true;
            return std::nullopt;
        }
    }

    // Every origin must still be down: a finger that was replaced by another
    // one is a different hand position.
    const bool sameFingers = std::all_of(origins.begin(), origins.end(), [points](const auto& entry) {
        return std::any_of(points.begin(), points.end(), [&entry](const TouchPoint& p) { return p.id == entry.id; });
    });
    if (!sameFingers) {
        cancelled = true;
        return std::nullopt;
    }

    float firmest = points.front().pressure;
    for (const TouchPoint& p : points) firmest = std::max(firmest, p.pressure);
    if (firmest < threshold) {
        aboveThresholdSince.reset();
        return std::nullopt;
    }
    if (!aboveThresholdSince) aboveThresholdSince = timestamp;
    if (timestamp - *aboveThresholdSince >= dwell) {
        hasTriggered = true;
        return GestureDescriptor{GestureDescriptor::Kind::forcePress, count, GestureDescriptor::Direction::right, 1};
    }
    return std::nullopt;
}

}  // namespace glidra
