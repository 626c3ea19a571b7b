#include "gestures/TouchSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace glidra {
namespace {

using Direction = GestureDescriptor::Direction;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TouchSurface pad(float width, float height) { return TouchSurface::of(SurfaceDimensions{width, height}); }

TEST(TouchSurfaceTest, StillnessToleranceCoversTheReferencePadsMillimetresAndNeverLess) {
    // A tolerance t of today's fractions reaches max(t, t x 160 / W) across
    // and max(t, t x 100 / H) up and down.
    struct Case {
        float width;
        float height;
        float acrossFactor;
        float upFactor;
    };
    const Case cases[] = {
        {73.0f, 48.0f, 160.0f / 73.0f, 100.0f / 48.0f},  // a 2012 clickpad
        {100.0f, 60.0f, 1.6f, 100.0f / 60.0f},
        {160.0f, 100.0f, 1.0f, 1.0f},  // the reference pad itself
        {240.0f, 150.0f, 1.0f, 1.0f},  // larger: the fractions stay
        {100.0f, 120.0f, 1.6f, 1.0f},  // narrow but tall
    };
    constexpr float t = 0.025f;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const TouchSurface surface = pad(c.width, c.height);
        for (const float sign : {1.0f, -1.0f}) {
            EXPECT_LT(surface.stillnessDistance(sign * t * c.acrossFactor * 0.999f, 0), t);
            EXPECT_GT(surface.stillnessDistance(sign * t * c.acrossFactor * 1.001f, 0), t);
            EXPECT_LT(surface.stillnessDistance(0, sign * t * c.upFactor * 0.999f), t);
            EXPECT_GT(surface.stillnessDistance(0, sign * t * c.upFactor * 1.001f), t);
        }
    }
}

TEST(TouchSurfaceTest, APadOfUnknownOrImplausibleSizeKeepsTheFractions) {
    const std::optional<SurfaceDimensions> sizes[] = {
        std::nullopt,
        SurfaceDimensions{0, 0},
        SurfaceDimensions{nan, 60},
        SurfaceDimensions{100, inf},
        SurfaceDimensions{-100, 60},
        SurfaceDimensions{10, 8},
        SurfaceDimensions{2000, 60},
    };
    for (const auto& size : sizes) {
        const TouchSurface surface = TouchSurface::of(size);
        EXPECT_EQ(surface, TouchSurface{});
        EXPECT_EQ(surface.dimensions(), std::nullopt);
        // Exactly the fractions: a pad without a size behaves as before.
        EXPECT_EQ(surface.stillnessDistance(0.3f, 0.4f), std::hypot(0.3f, 0.4f));
        EXPECT_EQ(surface.judgedX(0.2f), 0.2f);
        EXPECT_EQ(surface.judgedY(-0.117f), -0.117f);
    }
    EXPECT_EQ(pad(73, 48).dimensions(), (SurfaceDimensions{73, 48}));
}

TEST(TouchSurfaceTest, DirectionIsTheAngleTheHandMade) {
    struct Case {
        float dx;
        float dy;
        Direction onTheMillimetres;
        Direction onTheFractions;
    };
    // On a 100 x 60 mm pad.
    const Case cases[] = {
        // 20 mm left, 7 mm up: 19 degrees off the horizontal.
        {-0.2f, 7.0f / 60.0f, Direction::left, Direction::upLeft},
        // 20 mm right, 16.8 mm down: 40 degrees, a diagonal either way.
        {0.2f, -16.8f / 60.0f, Direction::downRight, Direction::downRight},
        // 5 mm right, 7.2 mm up: 55 degrees, a diagonal that the fractions
        // read as up.
        {0.05f, 0.12f, Direction::upRight, Direction::up},
    };
    const TouchSurface surface = pad(100, 60);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        EXPECT_EQ(surface.direction(c.dx, c.dy), c.onTheMillimetres);
        EXPECT_EQ(TouchSurface{}.direction(c.dx, c.dy), c.onTheFractions);
    }
}

}  // namespace
}  // namespace glidra
