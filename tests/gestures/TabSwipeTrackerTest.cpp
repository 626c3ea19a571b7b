#include "gestures/TabSwipeTracker.h"

#include "gestures/MultiTouchRecognizer.h"
#include "support/FrameBuilder.h"
#include "support/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace glidra {
namespace {

using test::describe;
using test::Frame;
using test::FrameBuilder;
using test::frames;
using Level = GestureRecognitionLevel;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();

float below(float value) { return std::nextafter(value, 0.0f); }

// Every swipe reported, with the time of its frame, joined by "; "; "none"
// when nothing is reported.
std::string run(TabSwipeTracker& tracker, const std::vector<Frame>& sequence, Level level = Level::standard) {
    std::string seen;
    for (const Frame& frame : sequence) {
        if (const auto swipe = tracker.update(frame.points, level, frame.time)) {
            seen += (seen.empty() ? "" : "; ") + describe(swipe) + " at " + test::significant(frame.time, 3);
        }
    }
    return seen.empty() ? "none" : seen;
}

// Two fingers stacked vertically at x, landing at time 0.
FrameBuilder pairAt(float x) { return frames().touch(1, x, 0.4f).touch(2, x, 0.6f).at(0); }

// Slides the two fingers to x1 and x2 in `steps` frames up to `until`.
FrameBuilder slidePair(FrameBuilder f, float x1, float x2, double until, int steps = 4) {
    f.moveTo(1, x1, 0.4f).moveTo(2, x2, 0.6f).over(until, steps);
    return f;
}

TEST(TabSwipeTrackerTest, ReportsOneEarlySidewaysSwipe) {
    struct Case {
        const char* name;
        FrameBuilder frames;
        const char* expected;
    };
    const Case cases[] = {
        // Steps of 0.02 from 0.1 s: the mean reaches 0.09 in the frame at 0.2 s.
        {"two fingers to the right, reported once",
         slidePair(pairAt(0.2f).hold(0.1, 0.05), 0.4f, 0.4f, 0.3, 10).hold(0.4, 0.05), "swipe 2 right 1 at 0.2"},
        {"two fingers to the left", slidePair(pairAt(0.8f), 0.6f, 0.6f, 0.2), "swipe 2 left 1 at 0.1"},
        {"three fingers",
         frames()
             .touch(1, 0.2f, 0.3f)
             .touch(2, 0.2f, 0.5f)
             .touch(3, 0.2f, 0.7f)
             .at(0)
             .moveTo(1, 0.35f, 0.3f)
             .moveTo(2, 0.35f, 0.5f)
             .moveTo(3, 0.35f, 0.7f)
             .over(0.2, 3),
         "swipe 3 right 1 at 0.133"},
        {"starting to move just before 0.45 s is in time",
         slidePair(slidePair(pairAt(0.2f), 0.23f, 0.23f, 0.449, 1), 0.33f, 0.33f, 0.5, 1), "swipe 2 right 1 at 0.5"},
        {"resting 0.45 s before moving is too late",
         slidePair(slidePair(pairAt(0.2f), 0.23f, 0.23f, 0.45, 1), 0.33f, 0.33f, 0.5, 1), "none"},
        {"a finger's travel only counts beyond the start threshold",
         // 0.025 at 0.1 s does not start the movement; 0.03 at 0.5 s does, late.
         slidePair(pairAt(0).moveTo(1, 0.025f, 0.4f).at(0.1).moveTo(1, 0.03f, 0.4f).at(0.5), 0.2f, 0.2f, 0.7), "none"},
        {"travels that differ by more than 0.035 wait until they agree",
         slidePair(slidePair(pairAt(0.2f), 0.3f, 0.34f, 0.1, 1), 0.33f, 0.34f, 0.2, 1), "swipe 2 right 1 at 0.2"},
        {"a vertical spread of more than 0.035 does not count",
         pairAt(0.2f).moveTo(1, 0.32f, 0.4f).moveTo(2, 0.32f, 0.64f).at(0.1), "none"},
        {"fingers spreading apart", slidePair(pairAt(0.5f), 0.35f, 0.65f, 0.2), "none"},
        {"a mostly vertical slide", pairAt(0.2f).moveTo(1, 0.3f, 0.46f).moveTo(2, 0.3f, 0.66f).over(0.2, 4), "none"},
        {"one finger", frames().touch(1, 0.2f, 0.5f).at(0).moveTo(1, 0.5f, 0.5f).over(0.2, 4), "none"},
        {"a finger added to a resting hand restarts the clock",
         pairAt(0.2f)
             .hold(0.4, 0.1)
             .touch(3, 0.2f, 0.8f)
             .at(0.4)
             .moveTo(1, 0.33f, 0.4f)
             .moveTo(2, 0.33f, 0.6f)
             .moveTo(3, 0.33f, 0.8f)
             .over(0.7, 3),
         "swipe 3 right 1 at 0.7"},
        {"a finger added when a first one is 0.064 away finishes",
         pairAt(0.2f)
             .moveTo(1, 0.25f, 0.44f)
             .at(0.1)
             .touch(3, 0.2f, 0.8f)
             .at(0.15)
             .moveTo(1, 0.4f, 0.44f)
             .moveTo(2, 0.4f, 0.6f)
             .moveTo(3, 0.4f, 0.8f)
             .over(0.3, 3),
         "none"},
        {"a finger lifting mid-slide finishes",
         slidePair(frames()
                       .touch(1, 0.2f, 0.3f)
                       .touch(2, 0.2f, 0.5f)
                       .touch(3, 0.2f, 0.7f)
                       .at(0)
                       .moveTo(1, 0.25f, 0.3f)
                       .moveTo(2, 0.25f, 0.5f)
                       .moveTo(3, 0.25f, 0.7f)
                       .at(0.05)
                       .lift(3)
                       .at(0.1),
                   0.4f, 0.4f, 0.2),
         "none"},
        {"a jump of 0.15 between frames finishes, measured diagonally",
         pairAt(0.2f)
             .moveTo(1, 0.31f, 0.51f)
             .at(0.05)
             .moveTo(2, 0.31f, 0.6f)
             .at(0.1)
             .moveTo(1, 0.4f, 0.4f)
             .moveTo(2, 0.4f, 0.6f)
             .over(0.2, 2),
         "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TabSwipeTracker tracker;
        EXPECT_EQ(run(tracker, c.frames), c.expected);
    }
}

TEST(TabSwipeTrackerTest, SidewaysTravelThresholdsFollowTheLevel) {
    // From x = 0 the travels are exact, so each threshold is met to the bit.
    struct Case {
        Level level;
        float side;
    };
    for (const Case c : {Case{Level::relaxed, 0.07f}, Case{Level::standard, 0.09f}, Case{Level::deliberate, 0.13f}}) {
        SCOPED_TRACE(enumRow(c.level).raw);
        EXPECT_EQ(TabSwipeTracker::thresholds(c.level).side, c.side);
        FrameBuilder f = slidePair(pairAt(0), below(c.side), below(c.side), 0.2);
        f.moveTo(1, c.side, 0.4f).moveTo(2, c.side, 0.6f).at(0.25);
        TabSwipeTracker tracker;
        EXPECT_EQ(run(tracker, f, c.level), "swipe 2 right 1 at 0.25");
        EXPECT_TRUE(tracker.finished);
    }
    EXPECT_EQ(TabSwipeTracker::thresholds(Level::relaxed).start, 0.035f);
    EXPECT_EQ(TabSwipeTracker::thresholds(Level::deliberate).perFinger, 0.078f);
}

TEST(TabSwipeTrackerTest, APinchingHandIsNotASwipe) {
    // Four fingers on a square of side 0.1, squeezed by 0.017 per corner and
    // axis, then slid right together: the travels stay within 0.035 of each
    // other, but the hand pinched.
    const auto hand = [](float squeeze) {
        FrameBuilder f =
            frames().touch(1, 0.3f, 0.4f).touch(2, 0.4f, 0.4f).touch(3, 0.3f, 0.5f).touch(4, 0.4f, 0.5f).at(0);
        f.moveBy(1, squeeze, squeeze)
            .moveBy(2, -squeeze, squeeze)
            .moveBy(3, squeeze, -squeeze)
            .moveBy(4, -squeeze, -squeeze);
        f.over(0.1, 2);
        for (qint32 id = 1; id <= 4; ++id) f.moveBy(id, 0.14f, 0);
        return f.over(0.3, 4);
    };
    const FrameBuilder squeezed = hand(0.017f);
    ASSERT_EQ(MultiTouchRecognizer::multiFingerPinch(squeezed.build().front().points, squeezed.build().back().points),
              GestureDescriptor::Kind::pinchIn);

    TabSwipeTracker tracker;
    EXPECT_EQ(run(tracker, squeezed), "none");
    EXPECT_FALSE(tracker.finished);
    TabSwipeTracker rigid;
    EXPECT_EQ(run(rigid, hand(0)), "swipe 4 right 1 at 0.25");
}

TEST(TabSwipeTrackerTest, BadFramesFinishUntilEveryFingerLifts) {
    struct Case {
        const char* name;
        std::vector<Frame> frames;
    };
    const std::vector<TouchPoint> two{{1, 0.2f, 0.4f, 0}, {2, 0.2f, 0.6f, 0}};
    const Case cases[] = {
        {"five contacts",
         {{0, {{1, 0.2f, 0.1f, 0}, {2, 0.2f, 0.3f, 0}, {3, 0.2f, 0.5f, 0}, {4, 0.2f, 0.7f, 0}, {5, 0.2f, 0.9f, 0}}}}},
        {"a non-finite coordinate", {{0, two}, {0.05, {{1, 0.25f, 0.4f, 0}, {2, nan, 0.6f, 0}}}}},
        {"a coordinate off the pad", {{0, two}, {0.05, {{1, 0.25f, 0.4f, 0}, {2, 0.25f, 1.0001f, 0}}}}},
        {"a non-finite time", {{0, two}, {std::numeric_limits<double>::infinity(), two}}},
        {"time going backwards", {{1, two}, {0.99, two}}},
        {"other fingers", {{0, two}, {0.05, {{3, 0.2f, 0.4f, 0}, {4, 0.2f, 0.6f, 0}}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TabSwipeTracker tracker;
        std::vector<Frame> sequence = c.frames;
        // A clean swipe afterwards is ignored...
        const double t = std::isfinite(sequence.back().time) ? sequence.back().time : 0;
        for (int i = 1; i <= 4; ++i) {
            const float x = 0.2f + 0.05f * float(i);
            sequence.push_back({t + 0.05 * i, {{1, x, 0.4f, 0}, {2, x, 0.6f, 0}}});
        }
        EXPECT_EQ(run(tracker, sequence), "none");
        EXPECT_TRUE(tracker.finished);
        // ...until the fingers lift.
        EXPECT_EQ(run(tracker, {{t + 1, {}}}), "none");
        EXPECT_EQ(tracker, TabSwipeTracker{});
        EXPECT_EQ(run(tracker, slidePair(pairAt(0.2f), 0.4f, 0.4f, 0.2)), "swipe 2 right 1 at 0.1");
    }
}

// --- claiming ----------------------------------------------------------------

class TabSwipeClaimTest : public ::testing::Test {
protected:
    TabSwipeClaimTest() {
        tabRule.gesture = GestureDescriptor{GestureDescriptor::Kind::swipe, 3, GestureDescriptor::Direction::right, 1};
        tabRule.action = GestureAction::nextTab;
        competitor.gesture =
            GestureDescriptor{GestureDescriptor::Kind::tapSwipe, 3, GestureDescriptor::Direction::up, 1};
        competitor.action = GestureAction::copy;
        competitor.requiredModifiers = 0x100000;
        context.app = QStringLiteral("org.mozilla.firefox");
        context.modifiers = 0x100000;
        context.startPoints = {{1, 0.4f, 0.5f, 0}, {2, 0.5f, 0.5f, 0}, {3, 0.6f, 0.5f, 0}};
    }

    bool claims(const GestureRule& other) const {
        const std::vector<GestureRule> rules{tabRule, other};
        return TabSwipeTracker::canClaim(3, tabRule, rules, context);
    }

    GestureRule tabRule;
    GestureRule competitor;
    GestureSessionContext context;
};

TEST_F(TabSwipeClaimTest, RulesWaitingForASpoilableGestureBlockTheClaim) {
    using K = GestureDescriptor::Kind;
    for (const K kind : {K::tapSwipe, K::forcePress, K::circle, K::backAndForth}) {
        GestureRule rule = competitor;
        rule.gesture.kind = kind;
        EXPECT_FALSE(claims(rule)) << enumRow(kind).raw;
    }
    GestureRule sameApp = competitor;
    sameApp.appBundleID = *context.app;
    EXPECT_FALSE(claims(sameApp));
    GestureRule containing = competitor;
    containing.region = GestureRegion::center;
    EXPECT_FALSE(claims(containing));
}

TEST_F(TabSwipeClaimTest, OtherRulesDoNot) {
    struct Case {
        const char* name;
        void (*change)(GestureRule&);
    };
    const Case cases[] = {
        {"disabled", [](GestureRule& r) { r.isEnabled = false; }},
        {"no action", [](GestureRule& r) { r.action = GestureAction::none; }},
        {"other modifiers", [](GestureRule& r) { r.requiredModifiers = 0; }},
        {"another application", [](GestureRule& r) { r.appBundleID = QStringLiteral("org.gnome.Nautilus"); }},
        {"a region without the start", [](GestureRule& r) { r.region = GestureRegion::left; }},
        {"other fingers", [](GestureRule& r) { r.gesture.fingers = 2; }},
        {"a plain swipe", [](GestureRule& r) { r.gesture.kind = GestureDescriptor::Kind::swipe; }},
        {"a pinch", [](GestureRule& r) { r.gesture.kind = GestureDescriptor::Kind::pinchIn; }},
    };
    for (const Case& c : cases) {
        GestureRule rule = competitor;
        c.change(rule);
        EXPECT_TRUE(claims(rule)) << c.name;
    }

    // An application rule never matches while the front application is unknown.
    GestureRule appRule = competitor;
    appRule.appBundleID = *context.app;
    context.app.reset();
    EXPECT_TRUE(claims(appRule));
}

TEST_F(TabSwipeClaimTest, OnlyTabSwipeRulesClaim) {
    EXPECT_TRUE(TabSwipeTracker::canClaim(3, tabRule, {}, context));
    tabRule.action = GestureAction::previousTab;
    EXPECT_TRUE(TabSwipeTracker::canClaim(3, tabRule, {}, context));
    tabRule.action = GestureAction::copy;
    EXPECT_FALSE(TabSwipeTracker::canClaim(3, tabRule, {}, context));
    tabRule.action = GestureAction::nextTab;
    tabRule.gesture.kind = GestureDescriptor::Kind::holdSwipe;
    EXPECT_FALSE(TabSwipeTracker::canClaim(3, tabRule, {}, context));
}

TEST_F(TabSwipeClaimTest, WithoutStartPointsOnlyRulesForAnywhereCompete) {
    context.startPoints.clear();
    EXPECT_FALSE(claims(competitor));
    GestureRule centre = competitor;
    centre.region = GestureRegion::center;
    EXPECT_TRUE(claims(centre));
}

TEST(TabSwipeTrackerTest, OnAPadOfKnownSizeSidewaysIsJudgedInMillimetres) {
    // Three fingers move 10 mm left and 3.3 mm up on a 100 x 60 mm pad: a
    // sideways swipe, though as fractions (0.1, 0.055) it is too steep for
    // one.
    FrameBuilder f;
    f.touch(1, 0.4f, 0.3f).touch(2, 0.55f, 0.3f).touch(3, 0.7f, 0.3f).at(0);
    for (int i = 1; i <= 3; ++i) f.moveBy(i, -0.1f, 3.3f / 60.0f);
    const std::vector<Frame> sequence = f.over(0.2, 8);
    for (const bool known : {true, false}) {
        TabSwipeTracker tracker;
        const TouchSurface surface = known ? TouchSurface::of(SurfaceDimensions{100, 60}) : TouchSurface{};
        std::string seen = "none";
        for (const Frame& frame : sequence) {
            if (const auto swipe = tracker.update(frame.points, Level::standard, frame.time, surface)) {
                seen = describe(swipe);
            }
        }
        EXPECT_EQ(seen, known ? "swipe 3 left 1" : "none") << (known ? "known" : "unknown");
    }
}

}  // namespace
}  // namespace glidra
