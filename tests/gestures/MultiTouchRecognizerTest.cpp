#include "gestures/MultiTouchRecognizer.h"

#include "gestures/RecognizerRuns.h"
#include "support/FrameBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace glidra {
namespace {

using test::describe;
using test::Frame;
using test::FrameBuilder;
using test::frames;
using test::gist;
using test::recognise;
using test::run;
using Level = GestureRecognitionLevel;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();

// One tap of `fingers` fingers centred on (x, y), stacked vertically 0.1 apart.
FrameBuilder& tap(FrameBuilder& f, double start, int fingers, float x, float y = 0.5f, double length = 0.1) {
    for (int i = 0; i < fingers; ++i) f.touch(i + 1, x, y + 0.1f * (float(i) - float(fingers - 1) / 2));
    return f.at(start).hold(start + length, 0.02).up(start + length);
}

// A finger moved `travel` to the right from the pad's left edge in 0.2 s and
// lifted 50 ms later, so that a tap is judged on all of the motion: the edge
// start keeps the float distances exact, so the table hits its thresholds to
// the last bit.
std::vector<Frame> slideFromEdge(float travel) {
    return frames().touch(1, 0, 0.5f).at(0).moveTo(1, travel, 0.5f).over(0.2, 4).up(0.25);
}

float below(float value) { return std::nextafter(value, 0.0f); }

TEST(MultiTouchRecognizerTest, SwipeAndTapThresholdsFollowTheLevel) {
    struct Case {
        Level level;
        float travel;
        const char* expected;
    };
    const Case cases[] = {
        // A swipe needs at least the swipe distance...
        {Level::relaxed, 0.11f, "swipe 1 right 1"},
        {Level::relaxed, below(0.11f), "none"},
        {Level::standard, 0.14f, "swipe 1 right 1"},
        {Level::standard, below(0.14f), "none"},
        {Level::deliberate, 0.2f, "swipe 1 right 1"},
        {Level::deliberate, 0.15f, "none"},
        // ...and a tap must stay strictly within the travel threshold.
        {Level::relaxed, 0.035f, "none"},
        {Level::relaxed, below(0.035f), "tap 1 right 1"},
        {Level::standard, 0.025f, "none"},
        {Level::standard, below(0.025f), "tap 1 right 1"},
        {Level::deliberate, 0.015f, "none"},
        {Level::deliberate, below(0.015f), "tap 1 right 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << enumRow(c.level).raw << " travel " << c.travel);
        EXPECT_EQ(recognise(slideFromEdge(c.travel), c.level), c.expected);
    }
}

TEST(MultiTouchRecognizerTest, StillTouchIsTapOrLongPressByDuration) {
    struct Case {
        double duration;
        const char* expected;
    };
    const Case cases[] = {
        {0.02, "none"},  // too short to be deliberate
        {0.025, "tap 1 downLeft 1"},
        {0.3, "tap 1 downLeft 1"},
        {0.45, "none"},  // neither a tap nor a long press
        {0.6, "longPress 1 downLeft 1"},
        {7.9, "longPress 1 downLeft 1"},
        {8.0, "none"},  // a resting hand, not a gesture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "duration " << c.duration);
        EXPECT_EQ(recognise(frames().touch(1, 0.5f, 0.5f).at(0).hold(c.duration).up(c.duration)), c.expected);
    }
}

TEST(MultiTouchRecognizerTest, CountsTapsAcrossSessions) {
    // Each entry: lift time of a 0.1 s one-finger tap, its x, and the count it
    // must get. Counts run 1, 2, 3, 1 ...; a tap too far away or too late
    // starts over.
    struct Tap {
        double lift;
        float x;
        int count;
    };
    const Tap taps[] = {
        {0.1, 0.5f, 1}, {0.4, 0.5f, 2}, {0.7, 0.52f, 3}, {1.0, 0.5f, 1},  // wraps after three
        {1.3, 0.8f, 1},                                                   // far from the last tap
        {1.6, 0.8f, 2},                                                   // near the new one
        {2.2, 0.8f, 1},                                                   // too late
    };
    MultiTouchRecognizer recognizer;
    for (const Tap& t : taps) {
        FrameBuilder f;
        EXPECT_EQ(run(recognizer, tap(f, t.lift - 0.1, 1, t.x)), "tap 1 downLeft " + std::to_string(t.count))
            << "tap lifting at " << t.lift;
    }
}

TEST(MultiTouchRecognizerTest, AnyOtherLiftClearsTheTapMemory) {
    // A tap lifting at 0.1, a session in between, then a tap at the same
    // place lifting at 0.4: without the session in between it is a double tap.
    struct Case {
        const char* what;
        std::vector<Frame> between;
        const char* result;
    };
    const Case cases[] = {
        {"nothing", {}, "none"},
        {"a touch too short to be a tap", frames().touch(1, 0.5f, 0.5f).at(0.15).up(0.16), "none"},
        {"a swipe", frames().touch(1, 0.5f, 0.5f).at(0.15).moveTo(1, 0.7f, 0.5f).over(0.2, 4).up(0.2),
         "tapSwipe 1 right 1"},
        {"a cancelled touch",
         frames()
             .touch(1, 0.5f, 0.5f)
             .at(0.15)
             .touch(2, 0.1f, 0.1f)
             .touch(3, 0.2f, 0.1f)
             .touch(4, 0.3f, 0.1f)
             .touch(5, 0.4f, 0.1f)
             .at(0.16)
             .up(0.2),
         "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MultiTouchRecognizer recognizer;
        FrameBuilder first;
        EXPECT_EQ(run(recognizer, tap(first, 0, 1, 0.5f)), "tap 1 downLeft 1");
        EXPECT_EQ(run(recognizer, c.between), c.result);
        FrameBuilder second;
        EXPECT_EQ(run(recognizer, tap(second, 0.3, 1, 0.5f)),
                  c.between.empty() ? "tap 1 downLeft 2" : "tap 1 downLeft 1");
    }
}

TEST(MultiTouchRecognizerTest, SecondTapCountsOnlyWithinTimeDistanceAndFingers) {
    struct Case {
        const char* what;
        double gap;  // lift to lift
        float x;     // of the second tap; the first is at the left edge
        int fingers;
        int count;
    };
    const Case cases[] = {
        {"close and quick", 0.3, 0.05f, 1, 2},   {"0.35 s later", 0.35, 0.0f, 1, 1},
        {"0.08 away", 0.3, 0.08f, 1, 1},         {"just under 0.08 away", 0.3, below(0.08f), 1, 2},
        {"other finger count", 0.3, 0.0f, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MultiTouchRecognizer recognizer;
        FrameBuilder first;
        EXPECT_EQ(run(recognizer, tap(first, 0, 1, 0.0f)), "tap 1 downLeft 1");
        FrameBuilder second;
        const std::string seen = run(recognizer, tap(second, 0.1 + c.gap - 0.1, c.fingers, c.x));
        EXPECT_EQ(seen.substr(0, 4), "tap ");
        EXPECT_EQ(seen.back(), char('0' + c.count)) << seen;
    }
}

TEST(MultiTouchRecognizerTest, ClassifiesShapes) {
    const float pi = std::numbers::pi_v<float>;
    // Two fingers 0.2 apart around the pad's centre, the line from the first
    // to the second at angle `from`, turned by `turn` radians over 0.4 s.
    auto rotation = [](double turn, double from = 0) {
        auto place = [=](qint32 id, double u) {
            const double angle = (id == 1 ? std::numbers::pi : 0) + from + turn * u;
            return std::pair{float(0.5 + 0.1 * std::cos(angle)), float(0.5 + 0.1 * std::sin(angle))};
        };
        return frames()
            .touch(1, place(1, 0).first, place(1, 0).second)
            .touch(2, place(2, 0).first, place(2, 0).second)
            .at(0)
            .along(0.4, 10, place)
            .up(0.45);
    };
    // Fingers of a regular polygon of radius r0 around (0.5, 0.5) that grows
    // or shrinks to radius r1 over 0.3 s.
    auto spread = [pi](int fingers, float r0, float r1) {
        FrameBuilder f;
        auto corner = [&](int i, float r) {
            const float angle = pi / 2 + 2 * pi * float(i) / float(fingers);
            return std::pair{0.5f + r * std::cos(angle), 0.5f + r * std::sin(angle)};
        };
        for (int i = 0; i < fingers; ++i) f.touch(i + 1, corner(i, r0).first, corner(i, r0).second);
        f.at(0);
        for (int i = 0; i < fingers; ++i) f.moveTo(i + 1, corner(i, r1).first, corner(i, r1).second);
        return f.over(0.3, 6).up(0.32);
    };

    // One finger `turns` times around a circle of the given radius centred on
    // (0.5, 0.5), starting on its right, in `steps` frames over 0.8 s.
    auto circle = [](int steps, double radius = 0.1, double turns = 1) {
        return frames()
            .touch(1, float(0.5 + radius), 0.5f)
            .at(0)
            .along(0.8, steps,
                   [=](qint32, double u) {
                       const double angle = 2 * std::numbers::pi * turns * u;
                       return std::pair{float(0.5 + radius * std::cos(angle)), float(0.5 + radius * std::sin(angle))};
                   })
            .up(0.81);
    };

    struct Case {
        const char* what;
        Level level;
        std::vector<Frame> sequence;
        const char* expected;
    };
    const Case cases[] = {
        {"one-finger swipe", Level::standard,
         frames().touch(1, 0.3f, 0.5f).at(0).moveTo(1, 0.45f, 0.5f).over(0.2, 5).up(0.2), "swipe 1 right"},
        {"the same swipe is too short when deliberate", Level::deliberate,
         frames().touch(1, 0.3f, 0.5f).at(0).moveTo(1, 0.45f, 0.5f).over(0.2, 5).up(0.2), "none"},
        {"two-finger swipe up-left", Level::standard,
         frames()
             .touch(1, 0.5f, 0.3f)
             .touch(2, 0.6f, 0.3f)
             .at(0)
             .moveBy(1, -0.15f, 0.15f)
             .moveBy(2, -0.15f, 0.15f)
             .over(0.25, 6)
             .up(0.26),
         "swipe 2 upLeft"},
        {"resting 0.45 s before moving", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .hold(0.44)
             .moveTo(1, 0.33f, 0.5f)
             .at(0.45)
             .moveTo(1, 0.48f, 0.5f)
             .over(0.6, 5)
             .up(0.6),
         "holdSwipe 1 right"},
        {"resting just under 0.45 s", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .hold(0.44)
             .moveTo(1, 0.33f, 0.5f)
             .at(std::nextafter(0.45, 0.0))
             .moveTo(1, 0.48f, 0.5f)
             .over(0.6, 5)
             .up(0.6),
         "swipe 1 right"},
        {"one finger holds, the other slides up", Level::standard,
         frames().touch(1, 0.3f, 0.3f).touch(2, 0.6f, 0.3f).at(0).moveTo(2, 0.6f, 0.55f).over(0.3, 6).up(0.31),
         "anchorSwipe 2 up"},
        {"first finger slides, second holds", Level::standard,
         frames().touch(1, 0.6f, 0.6f).touch(2, 0.3f, 0.3f).at(0).moveTo(1, 0.4f, 0.6f).over(0.3, 6).up(0.31),
         "anchorSwipe 2 left"},
        {"two-finger pinch in", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .touch(2, 0.7f, 0.5f)
             .at(0)
             .moveTo(1, 0.4f, 0.5f)
             .moveTo(2, 0.6f, 0.5f)
             .over(0.3, 6)
             .up(0.31),
         "pinchIn 2"},
        {"two-finger pinch out", Level::standard,
         frames()
             .touch(1, 0.4f, 0.5f)
             .touch(2, 0.6f, 0.5f)
             .at(0)
             .moveTo(1, 0.3f, 0.5f)
             .moveTo(2, 0.7f, 0.5f)
             .over(0.3, 6)
             .up(0.31),
         "pinchOut 2"},
        {"a slight spread is still a tap", Level::standard,
         frames()
             .touch(1, 0.45f, 0.5f)
             .touch(2, 0.55f, 0.5f)
             .at(0)
             .moveTo(1, 0.435f, 0.5f)
             .moveTo(2, 0.565f, 0.5f)
             .over(0.1, 4)
             .up(0.2),
         "tap 2"},
        {"turn counterclockwise", Level::standard, rotation(0.6), "rotateCounterclockwise 2"},
        {"turn clockwise", Level::standard, rotation(-0.6), "rotateClockwise 2"},
        // The finger line passes from just under a half turn to just over it:
        // the angles jump by 2 pi, the turn does not.
        {"turn counterclockwise across the half turn", Level::standard, rotation(0.6, std::numbers::pi - 0.3),
         "rotateCounterclockwise 2"},
        {"turn clockwise across the half turn", Level::standard, rotation(-0.6, 0.3 - std::numbers::pi),
         "rotateClockwise 2"},
        {"turn too small when deliberate", Level::deliberate, rotation(0.5), "none"},
        {"turning while spreading far is a pinch", Level::standard,
         frames()
             .touch(1, 0.45f, 0.5f)
             .touch(2, 0.55f, 0.5f)
             .at(0)
             .moveTo(1, 0.2f, 0.3f)
             .moveTo(2, 0.8f, 0.7f)
             .over(0.3, 8)
             .up(0.31),
         "pinchOut 2"},
        {"fingers too close together to judge a pinch", Level::standard,
         frames()
             .touch(1, 0.47f, 0.5f)
             .touch(2, 0.53f, 0.5f)
             .at(0)
             .moveTo(1, 0.3f, 0.5f)
             .moveTo(2, 0.7f, 0.5f)
             .over(0.3, 8)
             .up(0.31),
         "none"},
        {"three-finger pinch in", Level::standard, spread(3, 0.25f, 0.12f), "pinchIn 3"},
        {"four-finger pinch out", Level::standard, spread(4, 0.12f, 0.25f), "pinchOut 4"},
        {"small three-finger pinch", Level::standard, spread(3, 0.06f, 0.025f), "pinchIn 3"},
        {"small three-finger pinch is settling when deliberate", Level::deliberate, spread(3, 0.06f, 0.025f), "none"},
        {"circle", Level::standard, circle(40), "circle 1"},
        {"circle of ten samples", Level::standard, circle(9), "circle 1"},
        {"circle of nine samples is too coarse", Level::standard, circle(8), "backAndForth 1"},
        {"circle too small", Level::standard, circle(40, 0.069), "none"},
        {"most of a circle", Level::standard, circle(40, 0.1, 0.85), "none"},
        {"far back and forth", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .moveTo(1, 0.55f, 0.5f)
             .over(0.2, 8)
             .moveTo(1, 0.3f, 0.5f)
             .over(0.4, 8)
             .up(0.41),
         "backAndForth 1"},
        {"back and forth", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .moveTo(1, 0.5f, 0.5f)
             .over(0.2, 8)
             .moveTo(1, 0.3f, 0.5f)
             .over(0.4, 8)
             .up(0.41),
         "backAndForth 1"},
        {"short back and forth", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .moveTo(1, 0.445f, 0.5f)
             .over(0.2, 8)
             .moveTo(1, 0.3f, 0.5f)
             .over(0.4, 8)
             .up(0.41),
         "none"},
        {"out and only part of the way back", Level::standard,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .moveTo(1, 0.5f, 0.5f)
             .over(0.2, 8)
             .moveTo(1, 0.38f, 0.5f)
             .over(0.4, 8)
             .up(0.41),
         "none"},
        {"back and forth too narrow when deliberate", Level::deliberate,
         frames()
             .touch(1, 0.3f, 0.5f)
             .at(0)
             .moveTo(1, 0.5f, 0.5f)
             .over(0.2, 8)
             .moveTo(1, 0.3f, 0.5f)
             .over(0.4, 8)
             .up(0.41),
         "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(gist(recognise(c.sequence, c.level)), c.expected);
    }
}

TEST(MultiTouchRecognizerTest, SwipeSoonAfterTapNearItIsTapSwipe) {
    struct Case {
        const char* what;
        double swipeStart;  // the tap lifts at 0.1
        float swipeX;
        int swipeFingers;
        double swipeLength;
        const char* expected;
    };
    const Case cases[] = {
        {"soon and near", 0.3, 0.5f, 1, 0.2, "tapSwipe 1 right 1"},
        {"0.41 s after the tap", 0.51, 0.5f, 1, 0.2, "swipe 1 right 1"},
        {"0.09 away", 0.3, 0.59f, 1, 0.2, "tapSwipe 1 right 1"},
        {"0.11 away", 0.3, 0.61f, 1, 0.2, "swipe 1 right 1"},
        {"more fingers", 0.3, 0.5f, 2, 0.2, "swipe 2 right 1"},
        {"slow", 0.3, 0.5f, 1, 0.8, "swipe 1 right 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MultiTouchRecognizer recognizer;
        FrameBuilder first;
        EXPECT_EQ(run(recognizer, tap(first, 0, 1, 0.5f)), "tap 1 downLeft 1");
        FrameBuilder swipe;
        for (int i = 0; i < c.swipeFingers; ++i) swipe.touch(i + 1, c.swipeX, 0.5f + 0.1f * float(i));
        swipe.at(c.swipeStart);
        for (int i = 0; i < c.swipeFingers; ++i) swipe.moveBy(i + 1, 0.2f, 0);
        swipe.over(c.swipeStart + c.swipeLength, 8).up(c.swipeStart + c.swipeLength);
        EXPECT_EQ(run(recognizer, swipe), c.expected);
    }
}

TEST(MultiTouchRecognizerTest, FingersJoinOnlyEarlyAndBeforeMoving) {
    EXPECT_EQ(recognise(frames().touch(1, 0.4f, 0.5f).at(0).hold(0.1).touch(2, 0.6f, 0.5f).at(0.1).hold(0.25).up(0.25)),
              "tap 2 downLeft 1");
    EXPECT_EQ(recognise(frames().touch(1, 0.4f, 0.5f).at(0).hold(0.2).touch(2, 0.6f, 0.5f).at(0.2).hold(0.25).up(0.25)),
              "none");
    // Durations run from the first finger, not from the join: 0.65 s in all
    // is a long press, 0.5 s from the join would be nothing.
    EXPECT_EQ(
        recognise(frames().touch(1, 0.4f, 0.5f).at(0).hold(0.15).touch(2, 0.6f, 0.5f).at(0.15).hold(0.65).up(0.65)),
        "longPress 2 downLeft 1");
    // The path starts afresh at the join: the centroid step of 0.15 that the
    // landing finger causes is no part of the short back and forth that
    // follows, which alone is too narrow to count.
    EXPECT_EQ(recognise(frames()
                            .touch(1, 0.3f, 0.3f)
                            .at(0)
                            .touch(2, 0.3f, 0.6f)
                            .at(0.05)
                            .moveBy(1, 0.12f, 0)
                            .moveBy(2, 0.12f, 0)
                            .over(0.25, 8)
                            .moveBy(1, -0.12f, 0)
                            .moveBy(2, -0.12f, 0)
                            .over(0.45, 8)
                            .up(0.46)),
              "none");
    // The first finger already travelled past the threshold.
    EXPECT_EQ(recognise(frames()
                            .touch(1, 0.4f, 0.5f)
                            .at(0)
                            .moveTo(1, 0.43f, 0.5f)
                            .over(0.05, 2)
                            .touch(2, 0.6f, 0.5f)
                            .at(0.06)
                            .moveBy(1, 0.2f, 0)
                            .moveBy(2, 0.2f, 0)
                            .over(0.2, 5)
                            .up(0.2)),
              "none");
}

TEST(MultiTouchRecognizerTest, FingersLiftingOneByOneAreJudgedOnTheLastFullFrame) {
    EXPECT_EQ(recognise(frames().touch(1, 0.4f, 0.5f).touch(2, 0.6f, 0.5f).at(0).hold(0.1).lift(1).at(0.12).up(0.14)),
              "tap 2 downLeft 1");
    // The remaining finger wanders off after its partner lifted; that does
    // not turn the two-finger swipe into anything else.
    EXPECT_EQ(recognise(frames()
                            .touch(1, 0.2f, 0.5f)
                            .touch(2, 0.2f, 0.6f)
                            .at(0)
                            .moveBy(1, 0.2f, 0)
                            .moveBy(2, 0.2f, 0)
                            .over(0.2, 5)
                            .lift(1)
                            .at(0.22)
                            .moveTo(2, 0.4f, 0.2f)
                            .at(0.24)
                            .up(0.26)),
              "swipe 2 right 1");
}

TEST(MultiTouchRecognizerTest, BadInputCancelsTheSession) {
    // Each of these would be a one-finger or two-finger swipe or tap without
    // the fault in it; each ends in nothing at the lift.
    auto swipeWith = [](auto&& fault) {
        FrameBuilder f;
        f.touch(1, 0.3f, 0.5f).touch(2, 0.3f, 0.6f).at(0).moveBy(1, 0.05f, 0).moveBy(2, 0.05f, 0).over(0.05, 2);
        fault(f);
        return f.moveTo(1, 0.5f, 0.5f).moveTo(2, 0.5f, 0.6f).over(0.2, 4).up(0.21);
    };
    struct Case {
        const char* what;
        std::vector<Frame> sequence;
    };
    const Case cases[] = {
        {"five fingers, then back to two", swipeWith([](FrameBuilder& f) {
             f.touch(3, 0.1f, 0.1f).touch(4, 0.2f, 0.1f).touch(5, 0.3f, 0.1f).at(0.06).lift(3).lift(4).lift(5);
         })},
        {"a contact beyond the edge", swipeWith([](FrameBuilder& f) { f.moveTo(2, 1.01f, 0.6f).at(0.06); })},
        {"a non-finite coordinate", swipeWith([](FrameBuilder& f) { f.moveTo(2, nan, 0.6f).at(0.06); })},
        {"a non-finite timestamp",
         swipeWith([](FrameBuilder& f) { f.at(std::numeric_limits<double>::infinity()).at(0.06); })},
        {"a finger swapped for another", swipeWith([](FrameBuilder& f) { f.lift(2).touch(7, 0.35f, 0.6f).at(0.06); })},
        {"a jump of the hand",
         frames().touch(1, 0.2f, 0.5f).at(0).at(0.05).moveTo(1, 0.41f, 0.5f).at(0.1).hold(0.2).up(0.2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(recognise(c.sequence), "none");
    }
    EXPECT_EQ(recognise(swipeWith([](FrameBuilder&) {})), "swipe 2 right 1");
    EXPECT_EQ(recognise(frames().touch(1, 0.2f, 0.5f).at(0).at(0.05).moveTo(1, 0.39f, 0.5f).at(0.1).hold(0.2).up(0.2)),
              "swipe 1 right 1");
}

TEST(MultiTouchRecognizerTest, PathLongerThanItsCapCancels) {
    // A finger jittering in place for five seconds is a long press, as long as
    // its path fits the 512 samples.
    auto jitter = [](int moves) {
        FrameBuilder f;
        f.touch(1, 0.5f, 0.5f).at(0);
        for (int i = 1; i <= moves; ++i) f.moveTo(1, i % 2 ? 0.51f : 0.5f, 0.5f).at(5.0 * i / moves);
        return f.up(5.0);
    };
    EXPECT_EQ(recognise(jitter(511)), "longPress 1 right 1");
    EXPECT_EQ(recognise(jitter(512)), "none");
}

TEST(MultiTouchRecognizerTest, TouchThatNeverStartedDoesNotSwallowTheNextGesture) {
    struct Case {
        const char* what;
        std::vector<Frame> touch;
    };
    const Case cases[] = {
        {"five fingers landing and lifting together", frames()
                                                          .touch(1, 0.1f, 0.5f)
                                                          .touch(2, 0.3f, 0.5f)
                                                          .touch(3, 0.5f, 0.5f)
                                                          .touch(4, 0.7f, 0.5f)
                                                          .touch(5, 0.9f, 0.6f)
                                                          .at(0)
                                                          .hold(0.1)
                                                          .up(0.1)},
        {"a contact off the pad", frames().touch(1, -0.1f, 0.5f).at(0).hold(0.1).up(0.1)},
        {"a frame without a valid time", frames().touch(1, 0.5f, 0.5f).at(nan).up(0.05)},
        {"an empty frame without a valid time while idle", {Frame{nan, {}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MultiTouchRecognizer recognizer;
        EXPECT_EQ(run(recognizer, c.touch), "none");
        FrameBuilder next;
        EXPECT_EQ(run(recognizer, tap(next, 1.0, 1, 0.5f)), "tap 1 downLeft 1");
    }
}

TEST(MultiTouchRecognizerTest, ForcePressIsReportedWhileDownAndOwnsTheSession) {
    MultiTouchRecognizer recognizer;
    FrameBuilder first;
    EXPECT_EQ(run(recognizer, tap(first, 0, 1, 0.5f)), "tap 1 downLeft 1");

    const std::vector<Frame> press =
        frames().touch(1, 0.5f, 0.5f, 100).at(0.2).pressAll(400).at(0.25).at(0.3).at(0.35).build();
    EXPECT_EQ(run(recognizer, press, 350.0f), "forcePress 1 right 1");
    EXPECT_TRUE(recognizer.forcePress.hasTriggered);
    EXPECT_EQ(recognizer.lastTapTime, -std::numeric_limits<double>::infinity());

    // The fingers slide away and lift, with or without a threshold: nothing.
    EXPECT_EQ(run(recognizer, frames().touch(1, 0.5f, 0.5f).at(0.4).moveTo(1, 0.8f, 0.5f).over(0.5, 5).build()),
              "none");
    EXPECT_EQ(run(recognizer, frames().touch(1, 0.8f, 0.5f).at(0.55).up(0.6)), "none");
    EXPECT_FALSE(recognizer.forcePress.hasTriggered);

    // The next session is ordinary again.
    FrameBuilder next;
    EXPECT_EQ(run(recognizer, tap(next, 1.0, 1, 0.5f)), "tap 1 downLeft 1");
}

TEST(MultiTouchRecognizerTest, WithoutThresholdForcePressProgressIsDropped) {
    MultiTouchRecognizer recognizer;
    FrameBuilder f;
    f.touch(1, 0.5f, 0.5f, 400).at(0.0);
    run(recognizer, f, 350.0f);
    ASSERT_TRUE(recognizer.forcePress.aboveThresholdSince.has_value());
    // A frame on which force presses are not wanted resets the detector, so
    // the dwell begins again when they are.
    f.at(0.02);
    recognizer.update(f.build().back().points, std::nullopt, 0.02);
    EXPECT_FALSE(recognizer.forcePress.startTime.has_value());
    EXPECT_EQ(recognizer.update(f.build().back().points, 350.0f, 0.05), std::nullopt);
    EXPECT_EQ(describe(recognizer.update(f.build().back().points, 350.0f, 0.1)), "forcePress 1 right 1");
}

TEST(MultiTouchRecognizerTest, MultiFingerPinchNeedsMostFingersToMove) {
    auto hand = [](std::initializer_list<TouchPoint> points) { return std::vector<TouchPoint>(points); };
    const auto triangle = hand({{1, 0.3f, 0.3f, 0}, {2, 0.7f, 0.3f, 0}, {3, 0.5f, 0.7f, 0}});
    struct Case {
        const char* what;
        std::vector<TouchPoint> from;
        std::vector<TouchPoint> to;
        std::optional<GestureDescriptor::Kind> expected;
    };
    const Case cases[] = {
        {"all fingers close in", triangle, hand({{1, 0.4f, 0.4f, 0}, {2, 0.6f, 0.4f, 0}, {3, 0.5f, 0.6f, 0}}),
         GestureDescriptor::Kind::pinchIn},
        {"one anchors, two spread", triangle, hand({{1, 0.3f, 0.3f, 0}, {2, 0.9f, 0.2f, 0}, {3, 0.5f, 0.95f, 0}}),
         GestureDescriptor::Kind::pinchOut},
        {"only one finger moves", triangle, hand({{1, 0.3f, 0.3f, 0}, {2, 0.7f, 0.3f, 0}, {3, 0.5f, 0.4f, 0}}),
         std::nullopt},
        {"other fingers", triangle, hand({{1, 0.4f, 0.4f, 0}, {2, 0.6f, 0.4f, 0}, {4, 0.5f, 0.6f, 0}}), std::nullopt},
        {"two fingers", hand({{1, 0.3f, 0.3f, 0}, {2, 0.7f, 0.3f, 0}}), hand({{1, 0.4f, 0.3f, 0}, {2, 0.6f, 0.3f, 0}}),
         std::nullopt},
        {"hand too small to start with", hand({{1, 0.5f, 0.5f, 0}, {2, 0.56f, 0.5f, 0}, {3, 0.53f, 0.55f, 0}}),
         hand({{1, 0.4f, 0.4f, 0}, {2, 0.66f, 0.4f, 0}, {3, 0.53f, 0.7f, 0}}), std::nullopt},
        // A wide hand spreads by 0.065, but that is only a tenth of its size.
        {"too small a share of the hand", hand({{1, 0.2f, 0.2f, 0}, {2, 0.8f, 0.2f, 0}, {3, 0.5f, 0.8f, 0}}),
         hand({{1, 0.17f, 0.18f, 0}, {2, 0.83f, 0.18f, 0}, {3, 0.5f, 0.84f, 0}}), std::nullopt},
        // A small hand closes by 30 %, but only by 0.029 in all.
        {"too little in all", hand({{1, 0.5f, 0.5f, 0}, {2, 0.6f, 0.5f, 0}, {3, 0.55f, 0.58f, 0}}),
         hand({{1, 0.555f, 0.508f, 0}, {2, 0.625f, 0.508f, 0}, {3, 0.59f, 0.564f, 0}}), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MultiTouchRecognizer::multiFingerPinch(c.from, c.to), c.expected);
    }
}

// A hand moved as one: every finger is carried by a turn of `turn` radians
// and a scaling by `scale` about `pivot`, while the pivot itself travels by
// (dx, dy). About the centroid the hand turns or pinches symmetrically; about
// a finger that finger stays anchored. The motion takes 0.5 s in 25 frames,
// and every position jitters by up to 0.003, as real pads do.
struct HandMotion {
    std::vector<std::pair<float, float>> fingers;
    std::pair<float, float> pivot;
    float dx = 0;
    float dy = 0;
    float scale = 1;
    float turn = 0;

    std::vector<Frame> frames() const {
        const int steps = 25;
        // A fixed pseudo-random sequence, so each run sees the same noise.
        std::uint32_t seed = 12345;
        auto jitter = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (float(seed >> 8) / float(1u << 24) * 2 - 1) * 0.003f;
        };
        auto at = [&](int finger, double u) {
            const auto [fx, fy] = fingers[std::size_t(finger)];
            const float k = 1 + (scale - 1) * float(u);
            const float a = turn * float(u);
            const float rx = (fx - pivot.first) * k;
            const float ry = (fy - pivot.second) * k;
            return std::pair{pivot.first + dx * float(u) + rx * std::cos(a) - ry * std::sin(a) + jitter(),
                             pivot.second + dy * float(u) + rx * std::sin(a) + ry * std::cos(a) + jitter()};
        };
        FrameBuilder f;
        for (int step = 0; step <= steps; ++step) {
            for (int i = 0; i < int(fingers.size()); ++i) {
                const auto [x, y] = at(i, double(step) / steps);
                f.touch(i + 1, x, y);
            }
            f.at(0.5 * step / steps);
        }
        return f.up(0.52);
    }
};

// `fingers` fingers on a regular polygon of radius r around
// (x, y), the first at angle `from`.
std::vector<std::pair<float, float>> polygon(int fingers, float x, float y, float r, float from) {
    std::vector<std::pair<float, float>> out;
    for (int i = 0; i < fingers; ++i) {
        const float a = from + 2 * std::numbers::pi_v<float> * float(i) / float(fingers);
        out.emplace_back(x + r * std::cos(a), y + r * std::sin(a));
    }
    return out;
}

TEST(MultiTouchRecognizerTest, ALongSlideIsNoPinchOrTurnButAPinchOrTurnInPlaceStaysOne) {
    const float pi = std::numbers::pi_v<float>;
    const float deg = pi / 180;
    // Two fingers 0.18 apart, one above the other, and the same pair side by side.
    const auto stacked = polygon(2, 0.15f, 0.5f, 0.09f, pi / 2);
    const auto sideBySide = polygon(2, 0.5f, 0.15f, 0.09f, 0);
    struct Case {
        const char* what;
        HandMotion motion;
        const char* expected;
    };
    const Case cases[] = {
        // Scrolls across most of the pad, the fingers drifting closer or apart
        // by 20 to 30 % or their line turning by 15 to 25 degrees.
        {"two fingers 0.7 right, 25 % closer", {stacked, {0.15f, 0.5f}, 0.7f, 0, 0.75f, 0}, "swipe 2 right"},
        {"two fingers 0.7 up, 30 % apart", {sideBySide, {0.5f, 0.15f}, 0, 0.7f, 1.3f, 0}, "swipe 2 up"},
        {"two fingers 0.7 right, turning 25 degrees", {stacked, {0.15f, 0.5f}, 0.7f, 0, 1, 25 * deg}, "swipe 2 right"},
        {"two fingers 0.6 up, turning -25 degrees and 25 % closer",
         {sideBySide, {0.5f, 0.15f}, 0, 0.6f, 0.75f, -25 * deg},
         "swipe 2 up"},
        {"three fingers 0.6 left, 25 % closer",
         {polygon(3, 0.8f, 0.5f, 0.1f, pi / 2), {0.8f, 0.5f}, -0.6f, 0, 0.75f, 0},
         "swipe 3 left"},
        {"four fingers 0.6 down, 25 % apart and turning 15 degrees",
         {polygon(4, 0.5f, 0.8f, 0.1f, pi / 4), {0.5f, 0.8f}, 0, -0.6f, 1.25f, 15 * deg},
         "swipe 4 down"},
        // Pinches and turns in place, symmetric or about an anchored finger.
        {"symmetric pinch in", {polygon(2, 0.5f, 0.5f, 0.2f, 0), {0.5f, 0.5f}, 0, 0, 0.5f, 0}, "pinchIn 2"},
        {"pinch in to an anchored finger", {{{0.3f, 0.5f}, {0.6f, 0.5f}}, {0.3f, 0.5f}, 0, 0, 0.6f, 0}, "pinchIn 2"},
        {"pinch out from an anchored finger",
         {{{0.3f, 0.5f}, {0.4f, 0.55f}}, {0.3f, 0.5f}, 0, 0, 2.2f, 0},
         "pinchOut 2"},
        {"symmetric turn", {polygon(2, 0.5f, 0.5f, 0.1f, 0), {0.5f, 0.5f}, 0, 0, 1, 0.6f}, "rotateCounterclockwise 2"},
        {"turn about an anchored finger",
         {{{0.4f, 0.5f}, {0.6f, 0.5f}}, {0.4f, 0.5f}, 0, 0, 1, -0.6f},
         "rotateClockwise 2"},
        {"wide turn about an anchored finger",
         {{{0.4f, 0.4f}, {0.52f, 0.4f}}, {0.4f, 0.4f}, 0, 0, 1, 1.2f},
         "rotateCounterclockwise 2"},
        {"three fingers pinch in to an anchored thumb",
         {{{0.5f, 0.3f}, {0.4f, 0.7f}, {0.6f, 0.7f}}, {0.5f, 0.3f}, 0, 0, 0.4f, 0},
         "pinchIn 3"},
        {"four fingers pinch out in place", {polygon(4, 0.5f, 0.5f, 0.1f, 0), {0.5f, 0.5f}, 0, 0, 2, 0}, "pinchOut 4"},
        // A pinch of 0.12 that also slides: 1.4 times that much is still a
        // pinch, 1.6 times is a slide.
        {"pinch sliding 0.168", {polygon(2, 0.3f, 0.5f, 0.15f, 0), {0.3f, 0.5f}, 0.168f, 0, 0.6f, 0}, "pinchIn 2"},
        {"pinch sliding 0.192", {polygon(2, 0.3f, 0.5f, 0.15f, 0), {0.3f, 0.5f}, 0.192f, 0, 0.6f, 0}, "swipe 2 right"},
        // Nothing but the pad's noise.
        {"two fingers resting", {polygon(2, 0.5f, 0.5f, 0.1f, 0), {0.5f, 0.5f}, 0, 0, 1, 0}, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(gist(recognise(c.motion.frames())), c.expected);
    }
}

}  // namespace
}  // namespace glidra
