#include "gestures/GestureRouter.h"

#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace glidra {
namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

float below(float value) { return std::nextafter(value, 0.0f); }

// The followed contact of one frame.
struct Touch {
    float x = 0;
    float y = 0;
    qint32 id = 1;
    bool present = true;
};

constexpr Touch noContact{0, 0, 1, false};

struct Pad {
    float edgeWidth = 0.1f;
    float sensitivity = 1;
    float activation = 0.025f;
};

std::string describe(const std::optional<GestureRouter::Step>& step) {
    if (!step) return "-";
    return std::string(enumRow(step->trigger).raw) + " " + test::significant(step->magnitude, 4);
}

// What every frame reports, joined by " | ".
std::string run(GestureRouter& router, const std::vector<Touch>& touches, Pad setup = {}) {
    std::string seen;
    for (const Touch& t : touches) {
        const auto step =
            router.update(t.id, t.present, t.x, t.y, setup.edgeWidth, setup.sensitivity, setup.activation);
        seen += (seen.empty() ? "" : " | ") + describe(step);
    }
    return seen;
}

std::string run(const std::vector<Touch>& touches, Pad setup = {}) {
    GestureRouter router;
    return run(router, touches, setup);
}

TEST(GestureRouterTest, SlidesAlongTheEdgesReportTheirSteps) {
    // Values chosen so the float differences are what they read (0.34 - 0.30
    // comes out as 0.0400000215, shown as 0.04).
    struct Case {
        const char* name;
        Pad setup;
        std::vector<Touch> touches;
        const char* expected;
    };
    const float ew = 0.1f;
    const float tolerance = 0.01f;  // min(ew x 0.15, 0.01)
    const Case cases[] = {
        {"left band up, then steps of 0.008 or more from the last reported y",
         {},
         {{0.05f, 0.30f}, {0.05f, 0.34f}, {0.05f, 0.345f}, {0.05f, 0.35f}, {0.05f, 0.355f}, {0.05f, 0.34f}},
         "- | leftUp 0.04 | - | leftUp 0.01 | - | leftDown 0.01"},
        {"right band down, scaled by the sensitivity",
         {.sensitivity = 2},
         {{0.95f, 0.60f}, {0.95f, 0.55f}, {0.95f, 0.58f}},
         "- | rightDown 0.1 | rightUp 0.06"},
        {"x = 1 and y = 0 are on the pad", {}, {{1, 0}, {1, 0.04f}}, "- | rightUp 0.04"},
        {"top band, both ways",
         {},
         {{0.30f, 0.95f}, {0.34f, 0.95f}, {0.30f, 0.95f}},
         "- | topRight 0.04 | topLeft 0.04"},
        {"bottom band", {.sensitivity = 1.5f}, {{0.50f, 0.05f}, {0.45f, 0.05f}}, "- | bottomLeft 0.075"},
        {"slow horizontal movement adds up to 0.008",
         {},
         {{0.30f, 0.95f}, {0.34f, 0.95f}, {0.345f, 0.95f}, {0.35f, 0.95f}},
         "- | topRight 0.04 | - | topRight 0.01"},
        {"a slide in the upper half of overlapping bands is a top slide",
         {.edgeWidth = 0.6f},
         {{0.45f, 0.55f}, {0.50f, 0.55f}},
         "- | topRight 0.05"},
        {"and one in the lower half a bottom slide",
         {.edgeWidth = 0.6f},
         {{0.45f, 0.45f}, {0.50f, 0.45f}},
         "- | bottomRight 0.05"},
        {"a left-band slide may wobble out to ew + t",
         {},
         {{0.05f, 0.30f}, {0.05f, 0.34f}, {ew + tolerance, 0.36f}, {0.05f, 0.38f}},
         "- | leftUp 0.04 | leftUp 0.02 | leftUp 0.02"},
        {"beyond ew + t the side is given up for good",
         {},
         {{0.05f, 0.30f}, {0.05f, 0.34f}, {ew + tolerance + 0.001f, 0.36f}, {0.05f, 0.38f}, {0.05f, 0.40f}},
         "- | leftUp 0.04 | - | - | -"},
        {"a right-band slide may wobble in to 1 - ew - t",
         {},
         {{0.95f, 0.30f},
          {0.95f, 0.34f},
          {1 - ew - tolerance, 0.36f},
          {1 - ew - tolerance - 0.001f, 0.38f},
          {0.95f, 0.40f}},
         "- | rightUp 0.04 | rightUp 0.02 | - | -"},
        {"drifting 0.08 from the start x gives up the side",
         {.edgeWidth = 0.3f},
         {{0.10f, 0.30f}, {0.10f, 0.34f}, {0.17f, 0.36f}, {0.19f, 0.38f}, {0.10f, 0.40f}},
         "- | leftUp 0.04 | leftUp 0.02 | - | -"},
        {"a diagonal path never locks an axis",
         {},
         {{0.05f, 0.30f}, {0.10f, 0.35f}, {0.15f, 0.40f}, {0.20f, 0.45f}},
         "- | - | - | -"},
        // Binary fractions keep the travel exact: 1.5 x 0.03125 = 0.046875.
        {"a vertical travel of exactly 1.5 times the sideways one does not lock yet",
         {},
         {{0, 0}, {0.03125f, 0.046875f}, {0.03125f, 0.09375f}},
         "- | - | leftUp 0.09375"},
        {"nor does a horizontal one",
         {},
         {{0.5f, 0}, {0.546875f, 0.03125f}, {0.59375f, 0.03125f}},
         "- | - | bottomRight 0.09375"},
        {"a slide in the middle of the pad locks vertical but has no side",
         {},
         {{0.50f, 0.30f}, {0.50f, 0.34f}, {0.50f, 0.40f}},
         "- | - | -"},
        {"a horizontal slide outside the top and bottom bands is rejected",
         {},
         {{0.30f, 0.50f}, {0.34f, 0.50f}, {0.40f, 0.50f}},
         "- | - | -"},
        {"a horizontal slide leaving the top band is rejected",
         {.edgeWidth = 0.125f},
         {{0.25f, 0.90f}, {0.30f, 0.90f}, {0.35f, 0.87f}, {0.40f, 0.90f}},
         "- | topRight 0.05 | - | -"},
        {"drifting by min(ew / 2, 0.08) rejects a horizontal slide",
         {.edgeWidth = 0.125f},
         {{0.25f, 1}, {0.30f, 1}, {0.35f, 0.9375f}, {0.40f, 1}},
         "- | topRight 0.05 | - | -"},
        {"a drift just under the limit does not",
         {.edgeWidth = 0.125f},
         {{0.25f, 1}, {0.30f, 1}, {0.35f, std::nextafter(0.9375f, 1.0f)}, {0.40f, 1}},
         "- | topRight 0.05 | topRight 0.05 | topRight 0.05"},
        {"a drift of 0.05 in a 0.1 band",
         {},
         {{0.30f, 0.95f}, {0.34f, 0.95f}, {0.40f, 0.90f}},
         "- | topRight 0.04 | -"},
        {"a jump of 0.15 on one axis rejects the contact",
         {},
         {{0.05f, 0}, {0.05f, 0.15f}, {0.05f, 0.17f}},
         "- | - | -"},
        {"just under 0.15 is a step", {.activation = 0.015f}, {{0.05f, 0}, {0.05f, below(0.15f)}}, "- | leftUp 0.15"},
        {"the jump test is per axis: (0.07, 0.14) is no jump though 0.157 apart",
         {},
         {{0.02f, 0}, {0.09f, 0.14f}},
         "- | leftUp 0.14"},
        {"a jump after the axis locked rejects it too",
         {},
         {{0.30f, 0.95f}, {0.34f, 0.95f}, {0.50f, 0.95f}, {0.52f, 0.95f}},
         "- | topRight 0.04 | - | -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(run(c.touches, c.setup), c.expected);
    }
}

TEST(GestureRouterTest, TheAxisLocksAtTheActivationDistanceOfEachLevel) {
    // Starting at 0 keeps the travel exact, so the threshold is met to the bit.
    struct Case {
        const char* level;
        float activation;
    };
    const Case cases[] = {{"relaxed", 0.015f}, {"standard", 0.025f}, {"deliberate", 0.04f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const Pad setup{.activation = c.activation};
        const std::string travel = describe(GestureRouter::Step{GestureTrigger::leftUp, c.activation});
        EXPECT_EQ(run({{0.05f, 0}, {0.05f, below(c.activation)}, {0.05f, c.activation}}, setup), "- | - | " + travel);
        const std::string right = describe(GestureRouter::Step{GestureTrigger::bottomRight, c.activation});
        EXPECT_EQ(run({{0, 0.05f}, {below(c.activation), 0.05f}, {c.activation, 0.05f}}, setup), "- | - | " + right);
    }
}

TEST(GestureRouterTest, UnusableFramesResetAndANewContactStartsOver) {
    const Touch unusable[] = {noContact, {nan, 0.5f}, {0.05f, inf}, {1.0001f, 0.5f}, {0.05f, -0.0001f}};
    for (const Touch& bad : unusable) {
        SCOPED_TRACE(std::to_string(bad.x) + ", " + std::to_string(bad.y));
        GestureRouter router;
        EXPECT_EQ(run(router, {{0.05f, 0.30f}, {0.05f, 0.34f}, bad}), "- | leftUp 0.04 | -");
        EXPECT_EQ(router, GestureRouter{});
        // The next frame is a fresh start, not a step from 0.34.
        EXPECT_EQ(run(router, {{0.05f, 0.40f}, {0.05f, 0.44f}}), "- | leftUp 0.04");
    }

    // A rejected contact stays silent until another contact is followed.
    GestureRouter router;
    EXPECT_EQ(run(router, {{0.05f, 0.30f}, {0.30f, 0.34f}, {0.05f, 0.38f}}), "- | - | -");
    EXPECT_EQ(router.axis, GestureRouter::Axis::rejected);
    EXPECT_EQ(run(router, {{0.05f, 0.38f, 2}, {0.05f, 0.42f, 2}}), "- | leftUp 0.04");
    EXPECT_EQ(router.identifier, 2);
    EXPECT_EQ(router.vertical.identifier, 2);
}

TEST(GestureRouterTest, OnAPadOfKnownSizeASlidesStraightnessIsJudgedInMillimetres) {
    // On a 100 x 60 mm pad, five frames from the start. Up the right band
    // 3.6 mm while 3 mm inwards is too slanted for a vertical slide, though
    // as fractions (0.03 across, 0.06 up) it would be one; along the top band
    // 5 mm while 2.4 mm down is straight enough for a horizontal one, which
    // as fractions (0.05, 0.04) it would not be.
    const TouchSurface pad = TouchSurface::of(SurfaceDimensions{100, 60});
    struct Case {
        const char* what;
        Touch from;
        Touch to;
        bool stepsOnTheMillimetres;
        bool stepsOnTheFractions;
    };
    const Case cases[] = {
        {"up the right band", {0.95f, 0.3f}, {0.92f, 0.36f}, false, true},
        {"along the top band", {0.3f, 0.95f}, {0.35f, 0.91f}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool known : {true, false}) {
            GestureRouter router;
            int steps = 0;
            for (int i = 0; i <= 5; ++i) {
                const float u = float(i) / 5;
                const float x = c.from.x + (c.to.x - c.from.x) * u;
                const float y = c.from.y + (c.to.y - c.from.y) * u;
                if (router.update(1, true, x, y, 0.1f, 1, 0.025f, known ? pad : TouchSurface{})) ++steps;
            }
            EXPECT_EQ(steps > 0, known ? c.stepsOnTheMillimetres : c.stepsOnTheFractions)
                << (known ? "known" : "unknown");
        }
    }
}

}  // namespace
}  // namespace glidra
