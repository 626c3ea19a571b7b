#include "gestures/TrackpadClickRecognizer.h"

#include <algorithm>
#include <cmath>

namespace glidra {

void TrackpadClickRecognizer::update(std::span<const TouchPoint> contacts, double time, const TouchSurface& surface) {
    if (points.empty() && !contacts.empty() && !downTime) {
        // By copy, so the point lists keep their storage for the next touch.
        static const TrackpadClickRecognizer fresh;
        *this = fresh;
    }

    if (downTime && !contacts.empty()) {
        const bool stayed = std::all_of(contacts.begin(), contacts.end(), [this, &surface](const TouchPoint& p) {
            const auto origin =
                std::find_if(origins.begin(), origins.end(), [&p](const TouchPoint& o) { return o.id == p.id; });
            return origin != origins.end() && std::isfinite(p.x) && std::isfinite(p.y) &&
                   (released || surface.stillnessDistance(*origin, p) < dragDistance);
        });
        if (!stayed) dragged = true;
    }

    points.assign(contacts.begin(), contacts.end());
    lastFrameTime = time;
}

std::optional<GestureDescriptor> TrackpadClickRecognizer::resolve(double releaseTime) {
    if (!downTime) return std::nullopt;
    const double pressedAt = *downTime;
    downTime.reset();
    released = false;

    if (!std::isfinite(releaseTime) || releaseTime < pressedAt || forcePressed || dragged) return std::nullopt;
    const auto kind = releaseTime - pressedAt >= longPressDuration ? GestureDescriptor::Kind::longPress
                                                                   : GestureDescriptor::Kind::click;
    return GestureDescriptor{kind, qint64(origins.size()), GestureDescriptor::Direction::right, 1};
}

}  // namespace glidra
