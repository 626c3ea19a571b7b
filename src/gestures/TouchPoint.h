#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace glidra {

// One contact of a contact frame, in the driver's 16-byte layout: positions
// are normalised 0...1 with x growing to the right and y growing upward (the
// top edge is 1); pressure is in the driver's raw units.
struct TouchPoint {
    qint32 id = 0;
    float x = 0;
    float y = 0;
    float pressure = 0;

    friend bool operator==(const TouchPoint&, const TouchPoint&) = default;

    // Finite and inside the pad, edges included; anything else is a glitch
    // that cancels the gesture it lands in.
    bool isOnPad() const {
        const auto inside = [](float v) { return std::isfinite(v) && v >= 0 && v <= 1; };
        return inside(x) && inside(y);
    }

    static float distance(const TouchPoint& a, const TouchPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

    // The same fingers, in the same order (both lists sorted by identifier).
    static bool sameIdentifiers(std::span<const TouchPoint> a, std::span<const TouchPoint> b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](const TouchPoint& p, const TouchPoint& q) { return p.id == q.id; });
    }

    // Frames list contacts in the driver's order; comparing two frames needs
    // a fixed order. Stable, so duplicate identifiers keep their frame order.
    static void sortByIdentifier(std::vector<TouchPoint>& points) {
        std::stable_sort(points.begin(), points.end(),
                         [](const TouchPoint& a, const TouchPoint& b) { return a.id < b.id; });
    }
};

static_assert(sizeof(TouchPoint) == 16, "the bridge hands frames over as 16-byte records");

}  // namespace glidra
