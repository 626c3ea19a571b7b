#include "gestures/VideoScrubTracker.h"

#include "support/FrameBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace glidra {
namespace {

using test::Frame;
using test::FrameBuilder;
using test::frames;
using Direction = GestureDescriptor::Direction;

std::vector<VideoScrubTracker::Step> run(VideoScrubTracker& tracker, const std::vector<Frame>& sequence) {
    std::vector<VideoScrubTracker::Step> steps;
    for (const Frame& frame : sequence) {
        if (const auto step = tracker.update(frame.points)) steps.push_back(*step);
    }
    return steps;
}

double total(const std::vector<VideoScrubTracker::Step>& steps) {
    double sum = 0;
    for (const auto& step : steps) sum += step.movement;
    return sum;
}

// Two fingers at x, 0.1 apart vertically.
FrameBuilder pairAt(float x, float y = 0.5f) { return frames().touch(1, x, y - 0.05f).touch(2, x, y + 0.05f).at(0); }

FrameBuilder& slideTo(FrameBuilder& f, float x, float y, double until, int steps) {
    return f.moveTo(1, x, y - 0.05f).moveTo(2, x, y + 0.05f).over(until, steps);
}

TEST(VideoScrubTrackerTest, ActivatesOnceTheSlideIsClearlySideways) {
    struct Case {
        float dx;
        float dy;
        bool activates;
    };
    const Case cases[] = {
        {0.02f, 0.0f, false},    // below the activation distance
        {0.03f, 0.01f, true},    // far enough, drift well below
        {-0.03f, 0.0f, true},    // to the left as well
        {0.03f, 0.025f, false},  // 1.5 x drift is not below the travel
    };
    for (const Case& c : cases) {
        VideoScrubTracker tracker;
        auto f = pairAt(0.5f);
        slideTo(f, 0.5f + c.dx, 0.5f + c.dy, 0.1, 1);
        const auto steps = run(tracker, f);
        EXPECT_EQ(tracker.activated, c.activates) << c.dx << "," << c.dy;
        EXPECT_EQ(steps.empty(), !c.activates) << c.dx << "," << c.dy;
        if (!steps.empty()) {
            EXPECT_EQ(steps[0].gesture, (GestureDescriptor{GestureDescriptor::Kind::swipe, 2,
                                                           c.dx < 0 ? Direction::left : Direction::right, 1}));
            EXPECT_NEAR(steps[0].movement, c.dx, 1e-6);
        }
    }
}

TEST(VideoScrubTrackerTest, MovingBackReportsNegativeStepsInTheSlidesDirection) {
    VideoScrubTracker tracker;
    auto f = pairAt(0.3f);
    slideTo(f, 0.5f, 0.5f, 0.2, 10);
    slideTo(f, 0.4f, 0.5f, 0.3, 5);
    const auto steps = run(tracker, f);
    ASSERT_GE(steps.size(), 12u);
    EXPECT_NEAR(total(steps), 0.1, 1e-5);
    EXPECT_LT(steps.back().movement, 0);
    for (const auto& step : steps) EXPECT_EQ(step.gesture.direction, Direction::right);
}

TEST(VideoScrubTrackerTest, SmallMovementsAccumulateUntilTheyReachTheResolution) {
    VideoScrubTracker tracker;
    auto f = pairAt(0.5f);
    slideTo(f, 0.53f, 0.5f, 0.1, 1);    // activates
    slideTo(f, 0.531f, 0.5f, 0.2, 1);   // 0.001: held back
    slideTo(f, 0.5325f, 0.5f, 0.3, 1);  // 0.0025 since the last step
    const auto steps = run(tracker, f);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_NEAR(steps[1].movement, 0.0025, 1e-6);
}

TEST(VideoScrubTrackerTest, ARejectedSlideStaysRejectedUntilEveryFingerLifts) {
    struct Case {
        const char* name;
        FrameBuilder frames;
    };
    auto drift = pairAt(0.5f);
    slideTo(drift, 0.51f, 0.585f, 0.1, 1);
    auto jump = pairAt(0.3f);
    slideTo(jump, 0.35f, 0.5f, 0.1, 2);
    slideTo(jump, 0.5f, 0.5f, 0.2, 1);  // 0.15 in one frame
    auto lifted = pairAt(0.3f);
    slideTo(lifted, 0.4f, 0.5f, 0.1, 4);
    lifted.lift(2).at(0.15);
    auto fifth = pairAt(0.3f);
    fifth.touch(3, 0.2f, 0.2f).touch(4, 0.1f, 0.1f).touch(5, 0.9f, 0.9f).at(0.05);
    auto glitch = pairAt(0.3f);
    glitch.moveTo(1, std::numeric_limits<float>::infinity(), 0.45f).at(0.05);
    const Case cases[] = {
        {"vertical drift above 0.08", drift}, {"jump of 0.15", jump},
        {"a finger lifted", lifted},          {"five fingers", fifth},
        {"a non-finite position", glitch},
    };
    for (const Case& c : cases) {
        VideoScrubTracker tracker;
        run(tracker, c.frames);
        EXPECT_TRUE(tracker.cancelled) << c.name;
        // Whatever the fingers still on the pad do, nothing more is reported.
        auto sideways = frames().touch(1, 0.6f, 0.45f).touch(2, 0.6f, 0.55f).at(1.0);
        sideways.moveTo(1, 0.8f, 0.45f).moveTo(2, 0.8f, 0.55f).over(1.5, 20);
        EXPECT_TRUE(run(tracker, sideways).empty()) << c.name;
        // Lifting every finger starts afresh.
        tracker.update({});
        EXPECT_EQ(tracker, VideoScrubTracker{}) << c.name;
    }
}

TEST(VideoScrubTrackerTest, AFingerLandingBeforeActivationRestartsTheSlide) {
    VideoScrubTracker tracker;
    auto f = frames().touch(1, 0.3f, 0.5f).at(0);
    f.moveTo(1, 0.32f, 0.5f).at(0.05);  // not yet activated
    f.touch(2, 0.5f, 0.5f).at(0.1);     // a second finger restarts
    f.moveTo(1, 0.34f, 0.5f).moveTo(2, 0.54f, 0.5f).at(0.15);
    const auto steps = run(tracker, f);
    ASSERT_EQ(tracker.origin.size(), 2u);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].gesture.fingers, 2);
    EXPECT_NEAR(steps[0].movement, 0.03, 1e-6);
}

TEST(VideoScrubTrackerTest, OnAPadOfKnownSizeSidewaysIsJudgedInMillimetres) {
    // Two fingers slide 5 mm right and 2.4 mm down on a 100 x 60 mm pad:
    // clearly sideways, though as fractions (0.05, 0.04) not clearly enough.
    FrameBuilder f = pairAt(0.5f);
    const std::vector<Frame> sequence = slideTo(f, 0.55f, 0.46f, 0.2, 8);
    for (const bool known : {true, false}) {
        VideoScrubTracker tracker;
        const TouchSurface surface = known ? TouchSurface::of(SurfaceDimensions{100, 60}) : TouchSurface{};
        std::size_t steps = 0;
        for (const Frame& frame : sequence) {
            if (const auto step = tracker.update(frame.points, surface)) {
                EXPECT_EQ(step->gesture.direction, Direction::right);
                ++steps;
            }
        }
        EXPECT_EQ(steps > 0, known) << (known ? "known" : "unknown");
    }
}

}  // namespace
}  // namespace glidra
