#pragma once

#include <QtGlobal>

#include <algorithm>
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

    // Frames list contacts in the driver's order; comparing two frames needs
    // a fixed order. Stable, so duplicate identifiers keep their frame order.
    static void sortByIdentifier(std::vector<TouchPoint>& points) {
        std::stable_sort(points.begin(), points.end(),
                         [](const TouchPoint& a, const TouchPoint& b) { return a.id < b.id; });
    }
};

static_assert(sizeof(TouchPoint) == 16, "the bridge hands frames over as 16-byte records");

}  // namespace glidra
