#include "gestures/TrackpadClickRecognizer.h"

#include <algorithm>
#include <cmath>

namespace glidra {

void TrackpadClickRecognizer::update(std::span<const TouchPoint> contacts, double time,
                                     const TouchSurface& padSurface) {
    if (points.empty() && !contacts.empty() && !downTime) {
        // By copy, so the point lists keep their storage for the next touch.
        static const TrackpadClickRecognizer fresh;
        *this = fresh;
    }

    surface = padSurface;
    if (downTime && !contacts.empty()) {
        for (const TouchPoint& p : contacts) {
            const auto origin =
                std::find_if(origins.begin(), origins.end(), [&p](const TouchPoint& o) { return o.id == p.id; });
            if (origin == origins.end() || !std::isfinite(p.x) || !std::isfinite(p.y)) {
                dragged = true;
            } else if (!released) {
                strayed = std::max(strayed, surface.stillnessDistance(*origin, p));
            }
        }
        if (!released) pressedMotion.record(time, contacts, strayed);
    }

    points.assign(contacts.begin(), contacts.end());
    lastFrameTime = time;
}

void TrackpadClickRecognizer::press(double time) {
    downTime = time;
    origins = points;
    dragged = false;
    released = false;
    strayed = 0;
    pressedMotion.clear();
    pressedMotion.record(time, origins, strayed);
}

std::optional<GestureDescriptor> TrackpadClickRecognizer::resolve(double releaseTime) {
    if (!downTime) return std::nullopt;
    const double pressedAt = *downTime;
    downTime.reset();
    released = false;
    // Judged at the button's release: a finger that rolls as the button
    // comes up still clicked.
    const bool slid = pressedMotion.judgedStillness(releaseTime, surface) >= dragDistance;

    if (!std::isfinite(releaseTime) || releaseTime < pressedAt || forcePressed || dragged || slid) {
        return std::nullopt;
    }
    const auto kind = releaseTime - pressedAt >= longPressDuration ? GestureDescriptor::Kind::longPress
                                                                   : GestureDescriptor::Kind::click;
    return GestureDescriptor{kind, qint64(origins.size()), GestureDescriptor::Direction::right, 1};
}

}  // namespace glidra
