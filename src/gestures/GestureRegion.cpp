#include "gestures/GestureRegion.h"

#include <QHashFunctions>
#include <QLatin1StringView>

#include <algorithm>
#include <cmath>

namespace glidra {

QString title(GestureRegion region) { return enumTitle(region); }

NormalizedRegionRect rect(GestureRegion region, float edgeWidth) {
    const float w = std::isnan(edgeWidth) ? 0.02f : std::clamp(edgeWidth, 0.02f, 0.3f);
    switch (region) {
        case GestureRegion::anywhere:
        case GestureRegion::custom:
            return {0, 0, 1, 1};
        case GestureRegion::center:
            return {w, w, 1 - w, 1 - w};
        case GestureRegion::left:
            return {0, w, w, 1 - w};
        case GestureRegion::right:
            return {1 - w, w, 1, 1 - w};
        case GestureRegion::top:
            return {w, 1 - w, 1 - w, 1};
        case GestureRegion::bottom:
            return {w, 0, 1 - w, w};
        case GestureRegion::topLeft:
            return {0, 1 - w, w, 1};
        case GestureRegion::topRight:
            return {1 - w, 1 - w, 1, 1};
        case GestureRegion::bottomLeft:
            return {0, 0, w, w};
        case GestureRegion::bottomRight:
            return {1 - w, 0, 1, w};
    }
    return {0, 0, 1, 1};
}

size_t qHash(GestureRegion region, size_t seed) noexcept { return qHash(QLatin1StringView(enumRow(region).raw), seed); }

}  // namespace glidra
