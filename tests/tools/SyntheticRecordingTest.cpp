#include "gestures/GestureRule.h"
#include "replay/Replay.h"
#include "settings/ConfigurationArchive.h"
#include "support/RecordingBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace glidra::replay {
namespace {

using test::RecordingBuilder;

// Every gesture the engine reports for a recording, joined by "; ", or
// "none": the kind and fingers, the direction of the kinds that have one, and
// the count of a tap other than 1. In practice mode, unless `options` say.
std::string replayed(const RecordingBuilder& pad, const ReplayOptions& options = {}) {
    std::string seen;
    for (const ReplayedGesture& r : replay(pad.recording(), options).gestures) {
        std::string gesture = std::string(enumRow(r.gesture.kind).raw) + " " + std::to_string(r.gesture.fingers);
        if (usesDirection(r.gesture.kind)) gesture += std::string(" ") + enumRow(r.gesture.direction).raw;
        if (r.gesture.kind == GestureDescriptor::Kind::tap && r.gesture.tapCount != 1) {
            gesture += " x" + std::to_string(r.gesture.tapCount);
        }
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
    // A finger that slides while the button is held drags rather than clicks:
    // beyond the drag distance before the last 40 ms, which on a pad that
    // reports no pressure may be a roll off the pad as the button comes up.
    EXPECT_EQ(replayed(presses({{0.06f, 0.0f}, {0.06f, 0.04f}})), "none");
}

// --- pads that report their size ------------------------------------------------

// Clickpads of laptops of 2012 and 2013: about 73 x 48 mm, 55 to 63 units per
// millimetre, two to five slots.
const test::SyntheticPad kLaptopPads[] = {
    {.slots = 2, .width = 73.0f, .height = 48.0f, .unitsPerMillimetre = 63},
    {.slots = 3, .width = 74.0f, .height = 49.0f, .unitsPerMillimetre = 59},
    {.slots = 5, .width = 72.0f, .height = 47.5f, .unitsPerMillimetre = 55},
};

std::string padName(const test::SyntheticPad& pad) {
    return std::to_string(int(pad.width)) + " x " + std::to_string(int(pad.height)) + " mm, " +
           std::to_string(pad.slots) + " slots";
}

// `times` copies of `one`, joined as replayed() joins them.
std::string repeated(const std::string& one, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += (i == 0 ? "" : "; ") + one;
    return all;
}

// A finger's place in millimetres from the pad's left and bottom edges.
struct Millimetres {
    float x = 0;
    float y = 0;
};

// Places the finger of `slot` at `at` millimetres.
void placeAt(RecordingBuilder& recording, const test::SyntheticPad& pad, int slot, std::int32_t id, Millimetres at) {
    recording.place(slot, id, at.x / pad.width, at.y / pad.height);
}

// A tenth of a turn further for each gesture of a series, so that the drifts
// go every way.
Millimetres drifted(Millimetres from, float millimetres, int k) {
    const float angle = 0.3f + 0.62832f * float(k);
    return {from.x + millimetres * std::cos(angle), from.y + millimetres * std::sin(angle)};
}

TEST(SyntheticRecordingTest, QuickTapsWhoseFingerDriftsTwoMillimetresAreTapsOnASmallPad) {
    // Ten taps 0.6 s apart, each 58 to 90 ms long, frames every 12 ms; the
    // finger drifts 1.5 to 2 mm while it is down, each tap its own way.
    for (const test::SyntheticPad& pad : kLaptopPads) {
        SCOPED_TRACE(padName(pad));
        RecordingBuilder recording(pad);
        for (int k = 0; k < 10; ++k) {
            const double t0 = 0.6 * k;
            const double duration = 0.058 + 0.032 * k / 9.0;
            const float drift = 1.5f + 0.5f * float(k) / 9.0f;
            const Millimetres landing{pad.width * 0.5f, pad.height * 0.45f};
            const int frames = int(duration / 0.012);
            for (int i = 0; i <= frames; ++i) {
                const float u = float(i) / float(frames);
                placeAt(recording, pad, 0, 100 + k, drifted(landing, drift * u, k));
                recording.fingers(1).report(t0 + std::min(0.012 * i, duration - 0.006));
            }
            recording.lift(0).fingers(0).report(t0 + duration);
        }
        EXPECT_EQ(replayed(recording), repeated("tap 1", 10));
    }
}

TEST(SyntheticRecordingTest, TwoFingerTapsWhoseFingersLandAndLiftAFewFramesApartAreTwoFingerTaps) {
    // Five taps on a two-slot pad, frames every 5 ms: the second finger lands
    // 20 ms after the first, one finger lifts 15 ms before the other (the
    // first one down in the odd taps, the second in the even ones), and each
    // finger settles 1.5 mm in the 20 ms after it lands, as landing fingers
    // do.
    const test::SyntheticPad pad = kLaptopPads[0];
    RecordingBuilder recording(pad);
    for (int k = 0; k < 5; ++k) {
        const double t0 = 0.8 * k;
        const Millimetres first{28.0f, 22.0f};
        const Millimetres second{46.0f, 25.0f};
        const double secondDown = 0.020;
        const double firstUp = k % 2 == 0 ? 0.065 : 0.080;
        const double secondUp = k % 2 == 0 ? 0.080 : 0.065;
        for (int i = 0; 0.005 * i < std::max(firstUp, secondUp); ++i) {
            const double t = 0.005 * i;
            const auto settled = [t](double landed) { return 1.5f * std::min(1.0f, float(t - landed) / 0.02f); };
            int down = 0;
            if (t < firstUp) {
                placeAt(recording, pad, 0, 200 + 2 * k, drifted(first, settled(0), k));
                ++down;
            } else {
                recording.lift(0);
            }
            if (t >= secondDown && t < secondUp) {
                placeAt(recording, pad, 1, 201 + 2 * k, drifted(second, settled(secondDown), k + 3));
                ++down;
            } else if (t >= secondUp) {
                recording.lift(1);
            }
            recording.fingers(down).report(t0 + t);
        }
        recording.lift(0).lift(1).fingers(0).report(t0 + std::max(firstUp, secondUp));
    }
    EXPECT_EQ(replayed(recording), repeated("tap 2", 5));
}

TEST(SyntheticRecordingTest, PressesWhoseFingerMovesThreeMillimetresWhilePressedAreClicksOnASmallPad) {
    // Ten presses 1 s apart: the finger rests 0.1 s, the button goes down, the
    // finger moves 3 mm while the button is held 0.15 s (each press its own
    // way), the button comes up and the finger lifts 40 ms later.
    for (const test::SyntheticPad& pad : kLaptopPads) {
        SCOPED_TRACE(padName(pad));
        RecordingBuilder recording(pad);
        for (int k = 0; k < 10; ++k) {
            const double t0 = 1.0 * k;
            const Millimetres rest{pad.width * 0.4f, pad.height * 0.3f};
            auto frame = [&](int step, float moved) {
                placeAt(recording, pad, 0, 300 + k, drifted(rest, moved, k));
                recording.fingers(1).report(t0 + 0.01 * step);
            };
            for (int i = 0; i < 10; ++i) frame(i, 0);
            recording.button(true);
            for (int i = 0; i <= 15; ++i) frame(10 + i, 3.0f * float(i) / 15);
            recording.button(false);
            for (int i = 0; i < 4; ++i) frame(26 + i, 3.0f);
            recording.lift(0).fingers(0).report(t0 + 0.30);
        }
        EXPECT_EQ(replayed(recording), repeated("click 1", 10));
    }
}

TEST(SyntheticRecordingTest, ASlideOfTwoMillimetresAFrameIsASwipeOnASmallPad) {
    // One finger, frames every 12 ms, 2 mm each: eight frames to the right,
    // six upwards.
    for (const test::SyntheticPad& pad : kLaptopPads) {
        SCOPED_TRACE(padName(pad));
        RecordingBuilder recording(pad);
        const Millimetres start{pad.width * 0.3f, pad.height * 0.3f};
        for (int i = 0; i <= 8; ++i) {
            placeAt(recording, pad, 0, 1, {start.x + 2.0f * float(i), start.y});
            recording.fingers(1).report(0.012 * i);
        }
        recording.lift(0).fingers(0).report(0.108);
        for (int i = 0; i <= 6; ++i) {
            placeAt(recording, pad, 0, 2, {start.x, start.y + 2.0f * float(i)});
            recording.fingers(1).report(1.0 + 0.012 * i);
        }
        recording.lift(0).fingers(0).report(1.084);
        EXPECT_EQ(replayed(recording), "swipe 1 right; swipe 1 up");
    }
}

TEST(SyntheticRecordingTest, AThreeFingerSwipeGoesWhereTheHandWentInMillimetres) {
    // A Chromebook-sized pad of 100 x 60 mm. Three fingers 15 mm apart move
    // 20 mm left in 0.2 s, and up by as much as the angle from the horizontal
    // makes.
    const test::SyntheticPad pad{.slots = 5, .width = 100.0f, .height = 60.0f, .unitsPerMillimetre = 20};
    struct Case {
        float degrees;
        const char* expected;
    };
    const Case cases[] = {
        // 7 mm up: 0.117 of the height against 0.2 of the width, which as
        // fractions would be a diagonal.
        {19.3f, "swipe 3 left"},
        {40.0f, "swipe 3 upLeft"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        RecordingBuilder recording(pad);
        const float rise = 20.0f * std::tan(c.degrees * 3.14159265f / 180.0f);
        for (int i = 0; i <= 20; ++i) {
            const float u = float(i) / 20.0f;
            for (int finger = 0; finger < 3; ++finger) {
                placeAt(recording, pad, finger, 10 + finger,
                        {65.0f + 15.0f * float(finger) - 20.0f * u, 20.0f + rise * u});
            }
            recording.fingers(3).report(0.01 * i);
        }
        recording.lift(0).lift(1).lift(2).fingers(0).report(0.21);
        EXPECT_EQ(replayed(recording), c.expected);
    }
}

// --- fingers and pads as they really behave -------------------------------------

// Pads of recordings that other people made, with the sizes and resolutions
// they report; pressure on a 0-255 axis.
const test::SyntheticPad kChromebookPixel{
    .slots = 5, .width = 102.0f, .height = 68.0f, .unitsPerMillimetre = 20, .maximumPressure = 255};
const test::SyntheticPad kSamsung{.slots = 2,
                                  .width = 107.0f,
                                  .height = 68.0f,
                                  .unitsPerMillimetre = 12,
                                  .yUnitsPerMillimetre = 10,
                                  .maximumPressure = 255};
const test::SyntheticPad kLenovo{
    .slots = 5, .width = 101.0f, .height = 66.0f, .unitsPerMillimetre = 40, .maximumPressure = 255};

void heldAt(RecordingBuilder& recording, const test::SyntheticPad& pad, int slot, Millimetres at) {
    recording.held(slot, at.x / pad.width, at.y / pad.height);
}

TEST(SyntheticRecordingTest, AFingerWhoseSlotRepeatsAValueItLeftIsJudgedFromWhereThePadPlacesIt) {
    // A recording begins with slot 1 where the finger of an earlier touch
    // lifted, so the first finger in it sends only the axis that differs; the
    // other comes once the finger moves by a unit. On the Chromebook Pixel,
    // frames every 10 ms.
    struct Case {
        const char* what;
        Millimetres first, second;  // where the fingers land
        float dx, dy;               // how far they move a frame, in millimetres
        int frames;
        bool sameY;  // slot 1 left at the second finger's y (else at its x)
        const char* expected;
    };
    const Case cases[] = {
        // Under 0.2 mm of motion in 90 ms.
        {"a still two-finger tap, y repeated", {35, 34}, {60, 34}, 0.0f, 0.025f, 9, true, "tap 2"},
        {"a still two-finger tap, x repeated", {40, 30}, {60, 38}, 0.025f, 0.0f, 9, false, "tap 2"},
        // 72 mm to the right in 0.24 s, fingers one above the other.
        {"a two-finger swipe, x repeated", {12, 18}, {18, 46}, 3.0f, 0.1f, 27, false, "swipe 2 right"},
        {"a two-finger swipe, y repeated", {12, 18}, {18, 46}, 3.0f, 0.1f, 27, true, "swipe 2 right"},
    };
    const test::SyntheticPad pad = kChromebookPixel;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingBuilder recording(pad);
        heldAt(recording, pad, 1, c.sameY ? Millimetres{80, c.second.y} : Millimetres{c.second.x, 10});
        for (int i = 0; i < c.frames; ++i) {
            // The motion shows in the units from the third frame on.
            const float moved = float(std::max(0, i - 2));
            placeAt(recording, pad, 0, 1, {c.first.x + c.dx * moved, c.first.y + c.dy * moved});
            placeAt(recording, pad, 1, 2, {c.second.x + c.dx * moved, c.second.y + c.dy * moved});
            recording.press(0, 90).press(1, 90).fingers(2).report(0.010 * i);
        }
        recording.lift(0).lift(1).fingers(0).report(0.010 * c.frames);
        EXPECT_EQ(replayed(recording), c.expected);
    }
}

// One finger of a session at `at` millimetres, in slot 0 with tracking id
// `id`: each frame gives its displacement from `at` and its pressure.
struct Contact {
    Millimetres moved;
    std::int32_t pressure = 0;
};

void touchFrames(RecordingBuilder& recording, const test::SyntheticPad& pad, std::int32_t id, Millimetres at,
                 double start, double interval, const std::vector<Contact>& frames) {
    for (std::size_t i = 0; i < frames.size(); ++i) {
        placeAt(recording, pad, 0, id, {at.x + frames[i].moved.x, at.y + frames[i].moved.y});
        if (pad.maximumPressure > 0) recording.press(0, frames[i].pressure);
        recording.fingers(1).report(start + interval * double(i));
    }
}

// `count` frames still at `pressure`, then the `roll` (millimetres and
// pressure per frame, from where it stood).
std::vector<Contact> stillThen(int count, std::int32_t pressure, const std::vector<Contact>& roll) {
    std::vector<Contact> frames(std::size_t(count), Contact{{0, 0}, pressure});
    frames.insert(frames.end(), roll.begin(), roll.end());
    return frames;
}

TEST(SyntheticRecordingTest, AFingerThatRollsAsItLiftsStillTappedOrClicked) {
    struct Case {
        const char* what;
        test::SyntheticPad pad;
        // Frames every `interval`; the button goes down before frame
        // `pressAt` and comes up before frame `releaseAt` (none when -1);
        // the finger lifts after the last frame.
        double interval;
        std::vector<Contact> frames;
        int pressAt, releaseAt;
        const char* expected;
    };
    test::SyntheticPad withoutPressure = kLenovo;
    withoutPressure.maximumPressure = 0;
    // The tap of a Lenovo pad: still for 96 ms, then 4.4 mm sideways in its
    // last 35 ms while the pressure falls from 32 to 13.
    const auto lenovoTap = [](std::int32_t a, std::int32_t b, std::int32_t c) {
        return stillThen(12, 32, {{{1.5f, 0}, a}, {{3.0f, 0}, b}, {{4.4f, 0}, c}});
    };
    // The click of a Samsung clickpad: pressed at y 458 (raw, 10 u/mm), the
    // finger stays within 1 mm for 180 ms, then rolls 4.9 mm in the 36 ms
    // before the button comes up, the pressure going 53, 48, 32.
    std::vector<Contact> samsungClick;
    for (int i = 0; i < 9; ++i) samsungClick.push_back({{0, 0}, 53});
    for (int i = 1; i <= 15; ++i) samsungClick.push_back({{0.06f * float(i), -0.03f * float(i)}, 53});
    for (const Contact& roll : {Contact{{0.9f, -2.1f}, 53}, Contact{{0.9f, -3.6f}, 48}, Contact{{0.9f, -5.35f}, 32},
                                Contact{{0.9f, -5.8f}, 20}, Contact{{0.9f, -6.0f}, 9}}) {
        samsungClick.push_back(roll);
    }
    // A slow drag: 5 mm in 300 ms while pressed.
    std::vector<Contact> slowDrag = stillThen(8, 70, {});
    for (int i = 1; i <= 25; ++i) slowDrag.push_back({{0, -0.2f * float(i)}, 70});
    for (int i = 0; i < 3; ++i) slowDrag.push_back({{0, -5.0f}, std::int32_t(60 - 20 * i)});
    // A short flick: still for 60 ms, then 6 mm in 40 ms, pressing on.
    const std::vector<Contact> flick =
        stillThen(7, 90, {{{1.5f, 0}, 90}, {{3.0f, 0}, 90}, {{4.5f, 0}, 90}, {{6.0f, 0}, 90}});
    const Case cases[] = {
        {"the lifting tap of a Lenovo pad", kLenovo, 0.00875, lenovoTap(26, 19, 13), -1, -1, "tap 1"},
        {"the same tap pressing as hard to the end", kLenovo, 0.00875, lenovoTap(32, 32, 32), -1, -1, "none"},
        {"the same tap pressing harder again", kLenovo, 0.00875, lenovoTap(26, 29, 13), -1, -1, "none"},
        {"the same tap on a pad that reports no pressure", withoutPressure, 0.00875, lenovoTap(0, 0, 0), -1, -1,
         "tap 1"},
        {"the same tap rolling 9 mm", kLenovo, 0.00875,
         stillThen(12, 32, {{{3.0f, 0}, 26}, {{6.0f, 0}, 19}, {{9.0f, 0}, 13}}), -1, -1, "none"},
        {"a tap that slid 4.4 mm before its last 40 ms", kLenovo, 0.00875,
         stillThen(4, 32,
                   {{{1.5f, 0}, 32},
                    {{3.0f, 0}, 32},
                    {{4.4f, 0}, 32},
                    {{4.4f, 0}, 32},
                    {{4.4f, 0}, 32},
                    {{4.4f, 0}, 32},
                    {{4.4f, 0}, 32},
                    {{4.4f, 0}, 30},
                    {{4.4f, 0}, 26},
                    {{4.4f, 0}, 13}}),
         -1, -1, "none"},
        {"a short flick", kChromebookPixel, 0.010, flick, -1, -1, "none"},
        {"the rolling click of a Samsung clickpad", kSamsung, 0.012, samsungClick, 9, 26, "click 1"},
        {"a slow drag while pressed", kSamsung, 0.012, slowDrag, 8, 33, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingBuilder recording(c.pad);
        const Millimetres at{c.pad.width * 0.45f, c.pad.height * 0.6f};
        for (std::size_t i = 0; i < c.frames.size(); ++i) {
            if (int(i) == c.pressAt) recording.button(true);
            if (int(i) == c.releaseAt) recording.button(false);
            placeAt(recording, c.pad, 0, 1, {at.x + c.frames[i].moved.x, at.y + c.frames[i].moved.y});
            if (c.pad.maximumPressure > 0) recording.press(0, c.frames[i].pressure);
            recording.fingers(1).report(c.interval * double(i));
        }
        recording.lift(0).fingers(0).report(c.interval * double(c.frames.size()));
        EXPECT_EQ(replayed(recording), c.expected);
    }
}

// A rule that binds `gesture` to an action that the simulated system carries
// out at once.
GestureRule ruleFor(GestureDescriptor gesture, GestureAction action) {
    GestureRule rule;
    rule.gesture = gesture;
    rule.action = action;
    return rule;
}

TEST(SyntheticRecordingTest, ABrushOfTheFingerIsNoTouch) {
    // The Chromebook Pixel, frames every 10 ms: six taps of 90 ms 0.6 s apart
    // pressing up to 87 to 111; 150 ms after the last one lifts, a 29 ms brush
    // at 36 beside it; with `click`, a finger that lands 60 ms after the
    // brush, presses the button 117 ms after the brush landed and lets it up
    // 100 ms later.
    const test::SyntheticPad pad = kChromebookPixel;
    const double brush = 0.6 * 5 + 0.09 + 0.15;
    const auto session = [&pad, brush](bool click) {
        RecordingBuilder recording(pad);
        const std::int32_t peaks[] = {87, 111, 95, 104, 99, 92};
        for (int k = 0; k < 6; ++k) {
            const std::int32_t p = peaks[k];
            touchFrames(recording, pad, 10 + k, {40.0f + 4.0f * float(k), 30}, 0.6 * k, 0.010,
                        {{{0, 0}, p / 2},
                         {{0, 0}, p},
                         {{0, 0}, p},
                         {{0, 0}, p},
                         {{0, 0}, p},
                         {{0, 0}, p},
                         {{0, 0}, p},
                         {{0, 0}, p * 2 / 3},
                         {{0, 0}, p / 3}});
            recording.lift(0).fingers(0).report(0.6 * k + 0.09);
        }
        touchFrames(recording, pad, 20, {62, 31}, brush, 0.0097, {{{0, 0}, 30}, {{0.1f, 0}, 36}, {{0.2f, 0}, 36}});
        recording.lift(0).fingers(0).report(brush + 0.029);
        if (click) {
            for (int i = 0; i < 20; ++i) {
                if (i == 6) recording.button(true);
                if (i == 16) recording.button(false);
                placeAt(recording, pad, 0, 21, {50, 20});
                recording.press(0, 100).fingers(1).report(brush + 0.06 + 0.010 * i);
            }
            recording.lift(0).fingers(0).report(brush + 0.26);
        }
        return recording;
    };
    using Kind = GestureDescriptor::Kind;
    const GestureRule tap =
        ruleFor({Kind::tap, 1, GestureDescriptor::Direction::right, 1}, GestureAction::mouseLeftClick);
    const GestureRule doubleTap =
        ruleFor({Kind::tap, 1, GestureDescriptor::Direction::right, 2}, GestureAction::mouseRightClick);
    ReplayOptions tapBound;
    tapBound.configuration = ConfigurationArchive{};
    tapBound.configuration->bindings = GestureBinding::defaultBindings();
    tapBound.configuration->gestures = {tap};
    tapBound.runActions = true;
    ReplayOptions doubleTapBound = tapBound;
    doubleTapBound.configuration->gestures = {tap, doubleTap};
    // Or the replay would not take them.
    ASSERT_TRUE(doubleTapBound.configuration->validate());

    // With a one-finger tap bound and no double tap, a tap runs at its lift:
    // the brush would run it.
    EXPECT_EQ(replayed(session(true), tapBound), repeated("tap 1", 6) + "; click 1");
    // With a double tap bound as well, a tap waits for another: beside the
    // last one, the brush would make the two a double tap.
    EXPECT_EQ(replayed(session(false), doubleTapBound), repeated("tap 1", 6));
    // In practice every tap waits 0.4 s, and the touch of the click ends the
    // wait of the last one, as the brush did: nothing to tell.
    EXPECT_EQ(replayed(session(true)), repeated("tap 1", 5) + "; click 1");
}

TEST(SyntheticRecordingTest, OnAPadOfSoftTouchesNoTapClickOrSwipeIsLost) {
    // A Lenovo pad whose deliberate touches read 7 to 38 on its 0-255 axis,
    // frames every 8.75 ms: ten taps of 60 to 123 ms that land at 7, two
    // clicks, a one-finger swipe right and a two-finger swipe up at 9 to 20.
    const test::SyntheticPad pad = kLenovo;
    constexpr double interval = 0.00875;
    RecordingBuilder recording(pad);
    const std::int32_t peaks[] = {15, 38, 22, 30, 18, 35, 26, 20, 33, 28};
    for (int k = 0; k < 10; ++k) {
        const std::int32_t p = peaks[k];
        const double t0 = 0.7 * k;
        const int frames = int((0.060 + 0.007 * k) / interval);
        std::vector<Contact> touch{{{0, 0}, 7}, {{0, 0}, p * 3 / 5}};
        while (int(touch.size()) < frames - 1) touch.push_back({{0.1f, 0.1f}, p});
        touch.push_back({{0.2f, 0.1f}, p / 2});
        touchFrames(recording, pad, 100 + k, {30.0f + 3.0f * float(k), 25.0f + 2.0f * float(k % 3)}, t0, interval,
                    touch);
        recording.lift(0).fingers(0).report(t0 + interval * double(frames));
    }
    for (int k = 0; k < 2; ++k) {
        const double t0 = 7.0 + k;
        for (int i = 0; i < 24; ++i) {
            if (i == 6) recording.button(true);
            if (i == 18) recording.button(false);
            placeAt(recording, pad, 0, 200 + k, {50.0f, 20.0f + 0.02f * float(i)});
            recording.press(0, i == 0 ? 7 : i == 1 ? 25 : 38).fingers(1).report(t0 + interval * i);
        }
        recording.lift(0).fingers(0).report(t0 + interval * 24);
    }
    for (int i = 0; i < 18; ++i) {
        placeAt(recording, pad, 0, 300, {25.0f + 2.0f * float(i), 30.0f});
        recording.press(0, std::min(9 + i, 14)).fingers(1).report(9.0 + interval * i);
    }
    recording.lift(0).fingers(0).report(9.0 + interval * 18);
    for (int i = 0; i < 18; ++i) {
        placeAt(recording, pad, 0, 301, {40.0f, 15.0f + 1.6f * float(i)});
        placeAt(recording, pad, 1, 302, {60.0f, 16.0f + 1.6f * float(i)});
        recording.press(0, std::min(9 + 3 * i, 20)).press(1, std::min(10 + 2 * i, 18)).fingers(2);
        recording.report(10.0 + interval * i);
    }
    recording.lift(0).lift(1).fingers(0).report(10.0 + interval * 18);
    EXPECT_EQ(replayed(recording), repeated("tap 1", 10) + "; click 1; click 1; swipe 1 right; swipe 2 up");
}

}  // namespace
}  // namespace glidra::replay
