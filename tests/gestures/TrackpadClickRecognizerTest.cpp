#include "gestures/TrackpadClickRecognizer.h"

#include "support/FrameBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace glidra {
namespace {

using test::describe;
using test::FrameBuilder;
using test::frames;

void feed(TrackpadClickRecognizer& recognizer, const std::vector<test::Frame>& sequence,
          const TouchSurface& surface = {}) {
    for (const test::Frame& frame : sequence) recognizer.update(frame.points, frame.time, surface);
}

// What the click monitor does at button-down.
void pressButton(TrackpadClickRecognizer& recognizer, double time) {
    recognizer.hasClaimedContactSession = true;
    recognizer.press(time);
}

TEST(TrackpadClickRecognizerTest, ResolvesThePressAtRelease) {
    // Two fingers rest from t = 0; the button goes down at t = 0 and comes up
    // `held` seconds later; `during` is what the fingers do meanwhile.
    struct Case {
        const char* what;
        double held;
        std::function<void(FrameBuilder&)> during;
        const char* expected;
    };
    const auto still = [](FrameBuilder&) {};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"a short press", 0.2, still, "click 2 right 1"},
        {"held just under 0.6 s", std::nextafter(0.6, 0.0), still, "click 2 right 1"},
        {"held 0.6 s", 0.6, still, "longPress 2 right 1"},
        {"held 0.7 s", 0.7, still, "longPress 2 right 1"},
        {"a finger rolls a little", 0.2, [](FrameBuilder& f) { f.moveTo(1, 0.039f, 0.5f).at(0.1); }, "click 2 right 1"},
        {"a finger slides 0.05", 0.2, [](FrameBuilder& f) { f.moveTo(1, 0.05f, 0.5f).at(0.1); }, "none"},
        {"a finger slides exactly 0.04", 0.2, [](FrameBuilder& f) { f.moveTo(1, 0.04f, 0.5f).at(0.1); }, "none"},
        {"a third finger lands", 0.2, [](FrameBuilder& f) { f.touch(3, 0.8f, 0.5f).at(0.1); }, "none"},
        {"a finger lifts", 0.2, [](FrameBuilder& f) { f.lift(2).at(0.1); }, "click 2 right 1"},
        {"a contact turns invalid", 0.2, [nan](FrameBuilder& f) { f.moveTo(2, float(nan), 0.5f).at(0.1); }, "none"},
        {"released before it was pressed", -0.1, still, "none"},
        {"released at a time that is not finite", nan, still, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrackpadClickRecognizer recognizer;
        FrameBuilder f;
        f.touch(1, 0.0f, 0.5f).touch(2, 0.6f, 0.5f).at(0);
        feed(recognizer, f);
        pressButton(recognizer, 0);
        FrameBuilder moves = f;
        c.during(moves);
        feed(recognizer, std::vector(moves.build().begin() + 1, moves.build().end()));
        EXPECT_EQ(describe(recognizer.resolve(0 + c.held)), c.expected);
        // The press is consumed whatever the outcome.
        EXPECT_FALSE(recognizer.downTime.has_value());
        EXPECT_EQ(recognizer.resolve(0 + c.held), std::nullopt);
    }
}

TEST(TrackpadClickRecognizerTest, ForceClickYieldsNothing) {
    TrackpadClickRecognizer recognizer;
    feed(recognizer, frames().touch(1, 0.5f, 0.5f).at(1.0));
    pressButton(recognizer, 1.0);
    recognizer.forcePressed = true;
    EXPECT_EQ(recognizer.resolve(1.2), std::nullopt);
    EXPECT_EQ(recognizer.resolve(1.3), std::nullopt);
}

TEST(TrackpadClickRecognizerTest, NewContactSessionClearsThePreviousPress) {
    TrackpadClickRecognizer recognizer;
    feed(recognizer, frames().touch(1, 0.5f, 0.5f).at(1.0));
    pressButton(recognizer, 1.0);
    recognizer.forcePressed = true;
    ASSERT_EQ(recognizer.resolve(1.2), std::nullopt);
    // Empty frames keep coming after the lift; only landing fingers start
    // the next contact session.
    feed(recognizer, frames().up(1.3).at(1.4));
    EXPECT_TRUE(recognizer.hasClaimedContactSession);

    feed(recognizer, frames().touch(4, 0.2f, 0.2f).at(2.0));
    EXPECT_FALSE(recognizer.hasClaimedContactSession);
    EXPECT_FALSE(recognizer.forcePressed);
    EXPECT_TRUE(recognizer.origins.empty());
    EXPECT_EQ(recognizer.lastFrameTime, 2.0);
    const std::vector<TouchPoint> landed = {{4, 0.2f, 0.2f, 0}};
    EXPECT_EQ(recognizer.points, landed);
}

TEST(TrackpadClickRecognizerTest, FingersLandingWhileThePressIsPendingDoNotReset) {
    // The button went down with no contact reported; the finger that then
    // lands belongs to the press, which it turns into a drag.
    TrackpadClickRecognizer recognizer;
    pressButton(recognizer, 1.0);
    feed(recognizer, frames().touch(1, 0.5f, 0.5f).at(1.1));
    EXPECT_TRUE(recognizer.hasClaimedContactSession);
    EXPECT_TRUE(recognizer.dragged);
    EXPECT_EQ(recognizer.resolve(1.2), std::nullopt);
}

TEST(TrackpadClickRecognizerTest, AfterTheReleaseOnlyMovingIsNoDrag) {
    // One finger drifts 0.02 while the button is held; once the button is up
    // it slides on as it rolls off the pad, or another finger lands.
    auto press = [](const std::function<void(FrameBuilder&)>& afterRelease) {
        TrackpadClickRecognizer recognizer;
        FrameBuilder f;
        f.touch(1, 0.5f, 0.5f).at(0);
        feed(recognizer, f);
        pressButton(recognizer, 0);
        feed(recognizer, frames().touch(1, 0.52f, 0.5f).at(0.1));
        recognizer.released = true;
        FrameBuilder after;
        after.touch(1, 0.52f, 0.5f);
        afterRelease(after);
        feed(recognizer, after);
        return describe(recognizer.resolve(0.15));
    };
    EXPECT_EQ(press([](FrameBuilder& f) { f.moveTo(1, 0.57f, 0.5f).at(0.12).moveTo(1, 0.6f, 0.5f).at(0.14); }),
              "click 1 right 1");
    EXPECT_EQ(press([](FrameBuilder& f) { f.touch(2, 0.7f, 0.5f).at(0.12); }), "none");
}

TEST(TrackpadClickRecognizerTest, OnAPadOfKnownSizeAPressedFingerMayMoveTheReferencePadsMillimetres) {
    // One finger rests, the button goes down, and the finger moves (dx, dy)
    // millimetres before the button comes up. Today's drag distance of 0.04
    // on a 160 x 100 mm pad is 6.4 mm across and 4 mm up and down.
    struct Case {
        std::optional<SurfaceDimensions> pad;
        float dx;
        float dy;
        const char* expected;
    };
    const SurfaceDimensions laptop{73, 48};
    const Case cases[] = {
        {laptop, 0, 3.0f, "click 1 right 1"},
        {laptop, -3.0f, 0, "click 1 right 1"},
        {laptop, 2.5f, 2.5f, "click 1 right 1"},
        {laptop, 0, -4.1f, "none"},
        {laptop, 6.5f, 0, "none"},
        // As fractions of a pad that does not say its size, 3 mm up is 0.0625.
        {std::nullopt, 0, 3.0f, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.pad ? "known" : "unknown") << " pad, moved " << c.dx << ", " << c.dy);
        const TouchSurface surface = TouchSurface::of(c.pad);
        const SurfaceDimensions size = c.pad.value_or(laptop);
        TrackpadClickRecognizer recognizer;
        feed(recognizer, frames().touch(1, 0.5f, 0.5f).at(0), surface);
        pressButton(recognizer, 0);
        feed(recognizer, frames().touch(1, 0.5f + c.dx / size.width, 0.5f + c.dy / size.height).at(0.1), surface);
        EXPECT_EQ(describe(recognizer.resolve(0.15)), c.expected);
    }
}

}  // namespace
}  // namespace glidra
