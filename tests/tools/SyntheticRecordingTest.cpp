#include "replay/Replay.h"
#include "support/RecordingBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace glidra::replay {
namespace {

using test::RecordingBuilder;

// Every gesture the engine reports for a recording, joined by "; ", or
// "none": the kind and fingers, and the direction of the kinds that have one.
std::string replayed(const RecordingBuilder& pad) {
    std::string seen;
    for (const ReplayedGesture& r : replay(pad.recording(), ReplayOptions{}).gestures) {
        std::string gesture = std::string(enumRow(r.gesture.kind).raw) + " " + std::to_string(r.gesture.fingers);
        if (usesDirection(r.gesture.kind)) gesture += std::string(" ") + enumRow(r.gesture.direction).raw;
        seen += (seen.empty() ? "" : "; ") + gesture;
    }
    return seen.empty() ? "none" : seen;
}

TEST(SyntheticRecordingTest, EventsLostInTheMiddleOfASwipeEndItWithoutAGesture) {
    // One finger slides 0.4 to the right in 20 frames; the kernel may drop
    // the events of one frame on the way.
    auto swipe = [](bool lose) {
        RecordingBuilder pad;
        for (int i = 0; i <= 20; ++i) {
            pad.place(0, 1, 0.2f + 0.02f * float(i), 0.5f).fingers(1);
            if (lose && i == 12) pad.dropped();
            pad.report(0.01 * i);
        }
        pad.lift(0).fingers(0).report(0.21);
        return pad;
    };
    EXPECT_EQ(replayed(swipe(false)), "swipe 1 right");
    // What the engine saw up to the loss already makes a swipe, but its end is
    // unknown: nothing is recognised rather than a guess.
    EXPECT_EQ(replayed(swipe(true)), "none");
}

TEST(SyntheticRecordingTest, AFingerCountThatFlickersMidSwipeKeepsTheGesture) {
    // Fingers 0.1 apart slide 0.3 to the right on a two-slot pad; for two
    // frames in the middle the pad counts one finger fewer. A third finger
    // exists only in the count; a second one in a slot comes back with a new
    // tracking id.
    auto swipe = [](int fingers) {
        RecordingBuilder pad;
        std::int32_t secondId = 2;
        for (int i = 0; i <= 15; ++i) {
            const float x = 0.3f + 0.02f * float(i);
            const bool flicker = i == 7 || i == 8;
            pad.place(0, 1, x, 0.4f);
            if (fingers == 2 && flicker) {
                pad.lift(1);
                secondId = 3;
            } else {
                pad.place(1, secondId, x, 0.5f);
            }
            pad.fingers(flicker ? fingers - 1 : fingers).report(0.02 * i);
        }
        pad.lift(0).lift(1).fingers(0).report(0.31);
        return pad;
    };
    EXPECT_EQ(replayed(swipe(3)), "swipe 3 right");
    EXPECT_EQ(replayed(swipe(2)), "swipe 2 right");
}

TEST(SyntheticRecordingTest, ASemiMultitouchPadTurnsNothingButStillPinchesAndSwipes) {
    // Two fingers at `spread` apart about `centre`, their line at `angle`
    // radians, each a function of the time u (0 to 1) of a 0.4 s motion.
    struct Motion {
        const char* what;
        std::function<std::pair<float, float>(double)> centre;
        std::function<float(double)> angle;
        std::function<float(double)> spread;
        const char* expected;      // on a pad that tracks both fingers
        const char* expectedSemi;  // on one that reports their bounding box
    };
    auto fixed = [](auto value) { return [value](double) { return value; }; };
    auto from = [](float a, float b) { return [a, b](double u) { return a + (b - a) * float(u); }; };
    const Motion motions[] = {
        {"turning 0.7 counterclockwise", fixed(std::pair{0.5f, 0.5f}), from(0.2f, 0.9f), fixed(0.2f),
         "rotateCounterclockwise 2", "none"},
        {"turning 0.7 clockwise", fixed(std::pair{0.5f, 0.5f}), from(-0.2f, -0.9f), fixed(0.2f), "rotateClockwise 2",
         "none"},
        {"pinching in", fixed(std::pair{0.5f, 0.5f}), fixed(0.5f), from(0.4f, 0.2f), "pinchIn 2", "pinchIn 2"},
        {"spreading out", fixed(std::pair{0.5f, 0.5f}), fixed(-0.4f), from(0.15f, 0.35f), "pinchOut 2", "pinchOut 2"},
        {"swiping right",
         [](double u) {
             return std::pair{0.3f + 0.3f * float(u), 0.5f};
         },
         fixed(1.2f), fixed(0.2f), "swipe 2 right", "swipe 2 right"},
    };
    auto session = [](const Motion& m, bool semi) {
        RecordingBuilder pad(test::SyntheticPad{2, semi});
        for (int i = 0; i <= 20; ++i) {
            const double u = i / 20.0;
            const auto [cx, cy] = m.centre(u);
            const float dx = m.spread(u) / 2 * std::cos(m.angle(u));
            const float dy = m.spread(u) / 2 * std::sin(m.angle(u));
            if (semi) {
                // The corners of the box, top left and bottom right.
                pad.place(0, 1, cx - std::abs(dx), cy + std::abs(dy)).place(1, 2, cx + std::abs(dx), cy - std::abs(dy));
            } else {
                pad.place(0, 1, cx - dx, cy - dy).place(1, 2, cx + dx, cy + dy);
            }
            pad.fingers(2).report(0.02 * i);
        }
        pad.lift(0).lift(1).fingers(0).report(0.41);
        return pad;
    };
    for (const Motion& m : motions) {
        SCOPED_TRACE(m.what);
        EXPECT_EQ(replayed(session(m, false)), m.expected);
        EXPECT_EQ(replayed(session(m, true)), m.expectedSemi);
    }
}

TEST(SyntheticRecordingTest, AClickSurvivesTheFingerRollingOffAfterTheRelease) {
    // Presses 1 s apart, each with one finger: it rests 0.1 s, the button goes
    // down and the finger drifts `held` while it is held 0.15 s, the button
    // comes up, and in the 40 ms before the finger lifts it slides `after` as
    // it rolls off the pad. Frames come every 10 ms; each press drifts its
    // own way.
    auto presses = [](std::initializer_list<std::pair<float, float>> heldAndAfter) {
        RecordingBuilder pad;
        int k = 0;
        for (const auto& [held, after] : heldAndAfter) {
            const double t0 = 1.0 * k;
            const float angle = 1.2566f * float(k);  // a fifth of a turn further each time
            const float ux = std::cos(angle);
            const float uy = std::sin(angle);
            const float x0 = 0.5f;
            const float y0 = 0.5f;
            auto frame = [&](int step, float travel) {
                pad.place(0, 10 + k, x0 + ux * travel, y0 + uy * travel).fingers(1).report(t0 + 0.01 * step);
            };
            for (int i = 0; i < 10; ++i) frame(i, 0);
            pad.button(true);
            for (int i = 0; i <= 15; ++i) frame(10 + i, held * float(i) / 15);
            pad.button(false);
            frame(25, held);
            for (int i = 1; i <= 4; ++i) frame(25 + i, held + after * float(i) / 4);
            pad.lift(0).fingers(0).report(t0 + 0.30);
            ++k;
        }
        return pad;
    };
    EXPECT_EQ(replayed(presses({{0.02f, 0.04f}, {0.02f, 0.045f}, {0.02f, 0.05f}, {0.015f, 0.05f}, {0.025f, 0.04f}})),
              "click 1; click 1; click 1; click 1; click 1");
    // A finger that slides while the button is held drags rather than clicks.
    EXPECT_EQ(replayed(presses({{0.05f, 0.0f}, {0.06f, 0.04f}})), "none");
}

}  // namespace
}  // namespace glidra::replay
