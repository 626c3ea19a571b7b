#include "gestures/TouchSurface.h"

#include <algorithm>

namespace glidra {

TouchSurface TouchSurface::of(std::optional<SurfaceDimensions> dimensions) {
    const auto plausible = [](float side) {
        return std::isfinite(side) && side >= smallestSide && side <= largestSide;
    };
    TouchSurface surface;
    if (!dimensions || !plausible(dimensions->width) || !plausible(dimensions->height)) return surface;
    surface.dimensions_ = dimensions;
    surface.directionX_ = dimensions->width;
    surface.directionY_ = dimensions->height;
    surface.stillnessX_ = std::min(1.0f, dimensions->width / referenceWidth);
    surface.stillnessY_ = std::min(1.0f, dimensions->height / referenceHeight);
    return surface;
}

}  // namespace glidra
