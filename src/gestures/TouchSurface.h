#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/TouchPoint.h"
#include "platform/MultitouchFramework.h"

#include <cmath>
#include <optional>

namespace glidra {

// What a trackpad's fractions (0 to 1 on each axis) mean in millimetres, for
// the rules that must judge the hand rather than the pad: a direction is the
// angle the hand made, and the stillness tolerances of taps and clicks cover
// the same way for a finger on every pad. The stillness tolerances were chosen
// as fractions of a reference pad of 160 x 100 mm; on a smaller pad they grow
// per axis to the same millimetres, and on a larger one they stay fractions.
// A pad whose size is unknown keeps the fractions for everything. Distances
// that start slides and swipes stay fractions of the pad in any case.
class TouchSurface {
public:
    static constexpr float referenceWidth = 160.0f;
    static constexpr float referenceHeight = 100.0f;
    // Sizes outside these bounds are no touchpad a hand works on (a driver's
    // bogus resolution): such a pad counts as one of unknown size.
    static constexpr float smallestSide = 20.0f;
    static constexpr float largestSide = 1000.0f;

    // A pad of unknown size.
    TouchSurface() = default;
    // The pad the driver describes; of unknown size when it says nothing or
    // something implausible.
    static TouchSurface of(std::optional<SurfaceDimensions> dimensions);

    std::optional<SurfaceDimensions> dimensions() const { return dimensions_; }

    // The displacement (dx to the right, dy upward, in fractions) in the units
    // a direction is judged in: millimetres, or fractions on a pad of unknown
    // size.
    float judgedX(float dx) const { return dx * directionX_; }
    float judgedY(float dy) const { return dy * directionY_; }
    GestureDescriptor::Direction direction(float dx, float dy) const {
        return GestureDescriptor::directionOf(judgedX(dx), judgedY(dy));
    }

    // A displacement's length as the stillness tolerances of taps and clicks
    // judge it: in fractions of the reference pad on each axis, never longer
    // than in fractions of this pad. Below a tolerance t means within
    // max(t, t x 160 / W) across and max(t, t x 100 / H) up and down.
    float stillnessDistance(float dx, float dy) const { return std::hypot(dx * stillnessX_, dy * stillnessY_); }
    float stillnessDistance(const TouchPoint& from, const TouchPoint& to) const {
        return stillnessDistance(to.x - from.x, to.y - from.y);
    }

    // A displacement's length in millimetres; on a pad of unknown size, in
    // those of the reference pad, which its fractions stand for.
    float millimetres(float dx, float dy) const {
        const SurfaceDimensions size = dimensions_.value_or(SurfaceDimensions{referenceWidth, referenceHeight});
        return std::hypot(dx * size.width, dy * size.height);
    }

    friend bool operator==(const TouchSurface&, const TouchSurface&) = default;

private:
    std::optional<SurfaceDimensions> dimensions_;
    float directionX_ = 1;
    float directionY_ = 1;
    float stillnessX_ = 1;
    float stillnessY_ = 1;
};

}  // namespace glidra
