#include "gestures/ContinuousGestureTracker.h"

#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace glidra {
namespace {

using Frame = std::vector<TouchPoint>;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();

float below(float value) { return std::nextafter(value, 0.0f); }

TouchPoint at(qint32 id, float x, float y) { return TouchPoint{id, x, y, 0}; }

// Two fingers side by side vertically, both at x: the centroid's x is x
// exactly.
Frame pair(float x) { return {at(1, x, 0.4f), at(2, x, 0.6f)}; }

std::string describe(const std::optional<ContinuousGestureTracker::Step>& step) {
    if (!step) return "-";
    const GestureDescriptor& g = step->gesture;
    if (g.kind != GestureDescriptor::Kind::swipe || g.tapCount != 1) return "not a swipe";
    return std::string(enumRow(g.direction).raw) + " " + std::to_string(g.fingers) + " " +
           test::significant(step->length, 4);
}

std::string run(ContinuousGestureTracker& tracker, const std::vector<Frame>& frames, float activation = 0.025f) {
    std::string seen;
    for (const Frame& frame : frames) seen += (seen.empty() ? "" : " | ") + describe(tracker.update(frame, activation));
    return seen;
}

TEST(ContinuousGestureTrackerTest, ReportsCentroidStepsOnceActivated) {
    struct Case {
        const char* name;
        std::vector<Frame> frames;
        const char* expected;
        bool cancelled;
    };
    const Case cases[] = {
        {"the third 0.01 activates and reports the whole 0.03 from the start",
         {pair(0.50f), pair(0.51f), pair(0.52f), pair(0.53f)},
         "- | - | - | right 2 0.03",
         false},
        {"slow movement adds up to 0.002 from the last step",
         {pair(0.50f), pair(0.53f), pair(0.533f), pair(0.534f), pair(0.5355f), pair(0.5325f)},
         "- | right 2 0.03 | right 2 0.003 | - | right 2 0.0025 | left 2 0.003",
         false},
        {"the direction follows the 8-way rule",
         {{at(1, 0.5f, 0.5f)},
          {at(1, 0.53f, 0.5f)},
          {at(1, 0.533f, 0.499f)},
          {at(1, 0.536f, 0.497f)},
          {at(1, 0.536f, 0.492f)}},
         "- | right 1 0.03 | right 1 0.003 | downRight 1 0.003 | down 1 0.005",
         false},
        {"the jump test is per axis: (0.14, 0.14) is a step",
         {{at(1, 0.2f, 0.2f)}, {at(1, 0.34f, 0.34f)}},
         "- | upRight 1 0.14",
         false},
        {"a jump of 0.15 cancels, also on the activating frame",
         {pair(0), pair(0.15f), pair(0.16f), pair(0.17f)},
         "- | - | - | -",
         true},
        {"just under 0.15 is a step", {pair(0), pair(below(0.15f))}, "- | right 2 0.15", false},
        {"a jump after activation cancels",
         {pair(0.2f), pair(0.25f), pair(0.45f), pair(0.46f)},
         "- | right 2 0.05 | - | -",
         true},
        {"fingers added to a resting hand restart the gesture with them",
         {pair(0.5f),
          {at(1, 0.505f, 0.4f), at(2, 0.5f, 0.595f), at(3, 0.5f, 0.8f)},
          {at(1, 0.535f, 0.4f), at(2, 0.53f, 0.595f), at(3, 0.53f, 0.8f)}},
         "- | - | right 3 0.03",
         false},
        {"a resting finger may have moved just under 0.01",
         {pair(0),
          {at(1, 0, 0.4f), at(2, below(0.01f), 0.6f), at(3, 0.3f, 0.5f)},
          {at(1, 0.03f, 0.4f), at(2, 0.04f, 0.6f), at(3, 0.33f, 0.5f)}},
         "- | - | right 3 0.03",
         false},
        {"a first finger moved 0.01 cancels the join",
         {pair(0),
          {at(1, 0, 0.4f), at(2, 0.01f, 0.6f), at(3, 0.3f, 0.5f)},
          {at(1, 0.03f, 0.4f), at(2, 0.04f, 0.6f), at(3, 0.33f, 0.5f)}},
         "- | - | -",
         true},
        {"a first finger moved 0.02 in y cancels the join",
         {pair(0.5f), {at(1, 0.5f, 0.42f), at(2, 0.5f, 0.6f), at(3, 0.7f, 0.5f)}},
         "- | -",
         true},
        {"a finger joining after activation cancels",
         {pair(0.5f),
          pair(0.53f),
          {at(1, 0.53f, 0.4f), at(2, 0.53f, 0.6f), at(3, 0.7f, 0.5f)},
          {at(1, 0.56f, 0.4f), at(2, 0.56f, 0.6f), at(3, 0.73f, 0.5f)}},
         "- | right 2 0.03 | - | -",
         true},
        {"a finger lifting mid-slide cancels",
         {pair(0.5f), pair(0.53f), {at(1, 0.56f, 0.4f)}, {at(1, 0.6f, 0.4f)}},
         "- | right 2 0.03 | - | -",
         true},
        {"other fingers in the same number cancel",
         {pair(0.5f), {at(3, 0.5f, 0.4f), at(4, 0.5f, 0.6f)}, {at(3, 0.55f, 0.4f), at(4, 0.55f, 0.6f)}},
         "- | - | -",
         true},
        {"five contacts cancel",
         {pair(0.5f),
          {at(1, 0.5f, 0.1f), at(2, 0.5f, 0.3f), at(3, 0.5f, 0.5f), at(4, 0.5f, 0.7f), at(5, 0.5f, 0.9f)},
          pair(0.55f)},
         "- | - | -",
         true},
        {"a non-finite coordinate cancels",
         {pair(0.5f), {at(1, 0.53f, 0.4f), at(2, nan, 0.6f)}, pair(0.56f)},
         "- | - | -",
         true},
        {"a coordinate off the pad cancels",
         {pair(0.5f), {at(1, 0.53f, -0.001f), at(2, 0.53f, 0.6f)}, pair(0.56f)},
         "- | - | -",
         true},
        {"x = 1 and y = 0 are on the pad", {{at(1, 0.96f, 0)}, {at(1, 1, 0)}}, "- | right 1 0.04", false},
        {"contacts are matched by identifier, not frame order",
         {{at(2, 0.5f, 0.6f), at(1, 0.5f, 0.4f)}, {at(1, 0.53f, 0.4f), at(2, 0.53f, 0.6f)}},
         "- | right 2 0.03",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContinuousGestureTracker tracker;
        EXPECT_EQ(run(tracker, c.frames), c.expected);
        EXPECT_EQ(tracker.cancelled, c.cancelled);
    }
}

TEST(ContinuousGestureTrackerTest, ActivatesAtEachLevelsDistance) {
    struct Case {
        const char* level;
        float activation;
    };
    for (const Case c : {Case{"relaxed", 0.015f}, Case{"standard", 0.025f}, Case{"deliberate", 0.04f}}) {
        SCOPED_TRACE(c.level);
        ContinuousGestureTracker tracker;
        const ContinuousGestureTracker::Step expected{
            GestureDescriptor{GestureDescriptor::Kind::swipe, 2, GestureDescriptor::Direction::right, 1}, c.activation};
        EXPECT_EQ(run(tracker, {pair(0), pair(below(c.activation)), pair(c.activation)}, c.activation),
                  "- | - | " + describe(expected));
        EXPECT_TRUE(tracker.activated);
    }
}

TEST(ContinuousGestureTrackerTest, AFingerJoiningAnActivatedGestureCancelsEvenIfTheOthersRested) {
    // A small activation distance lets the gesture activate while the first
    // fingers stay within 0.01 of where they landed.
    ContinuousGestureTracker tracker;
    const Frame joined{at(1, 0.508f, 0.4f), at(2, 0.508f, 0.6f), at(3, 0.7f, 0.5f)};
    EXPECT_EQ(run(tracker, {pair(0.5f), pair(0.508f), joined}, 0.005f), "- | right 2 0.008 | -");
    EXPECT_TRUE(tracker.cancelled);
}

TEST(ContinuousGestureTrackerTest, OnlyAFrameWithoutContactsEndsACancelledGesture) {
    ContinuousGestureTracker tracker;
    EXPECT_EQ(run(tracker, {pair(0.5f), pair(0.8f), pair(0.5f), pair(0.53f)}), "- | - | - | -");
    EXPECT_TRUE(tracker.cancelled);

    EXPECT_EQ(run(tracker, {{}}), "-");
    EXPECT_EQ(tracker, ContinuousGestureTracker{});
    EXPECT_EQ(run(tracker, {pair(0.5f), pair(0.53f)}), "- | right 2 0.03");
}

TEST(ContinuousGestureTrackerTest, OnAPadOfKnownSizeAStepGoesWhereTheHandWent) {
    // Two fingers move 2 mm left and 0.7 mm up a frame on a 100 x 60 mm pad:
    // 19 degrees off the horizontal, which as fractions would be a diagonal.
    std::vector<Frame> frames;
    for (int i = 0; i <= 4; ++i) {
        const float dx = -0.02f * float(i);
        const float dy = 0.7f / 60.0f * float(i);
        frames.push_back({at(1, 0.5f + dx, 0.4f + dy), at(2, 0.5f + dx, 0.6f + dy)});
    }
    for (const bool known : {true, false}) {
        ContinuousGestureTracker tracker;
        const TouchSurface surface = known ? TouchSurface::of(SurfaceDimensions{100, 60}) : TouchSurface{};
        std::optional<ContinuousGestureTracker::Step> first;
        for (const Frame& frame : frames) {
            const auto step = tracker.update(frame, 0.025f, surface);
            if (!first) first = step;
        }
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->gesture.direction,
                  known ? GestureDescriptor::Direction::left : GestureDescriptor::Direction::upLeft);
    }
}

}  // namespace
}  // namespace glidra
