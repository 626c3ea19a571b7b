#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/FrameAssembler.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace glidra::evdev {
namespace {

using TouchSignal = FrameAssembler::TouchSignal;

// A two-slot pad: x 100...1100, y 0...500 (counted downwards), MT pressure 0...255.
DeviceDescription pad(int slots = 2, bool pressurePad = false) {
    DeviceDescription d;
    d.name = "test pad";
    d.axes[kAbsMtSlot] = AxisRange{0, slots - 1, 0, 0, 0};
    d.axes[kAbsMtPositionX] = AxisRange{100, 1100, 0, 0, 0};
    d.axes[kAbsMtPositionY] = AxisRange{0, 500, 0, 0, 0};
    d.axes[kAbsMtTrackingId] = AxisRange{0, 65535, 0, 0, 0};
    d.axes[kAbsMtPressure] = AxisRange{0, 255, 0, 0, 0};
    d.properties = {static_cast<std::uint8_t>(pressurePad ? 1u << kPropPressurepad : 0u)};
    return d;
}

// Feeds hand-written event scripts and keeps the frames. A second assembler
// is fed the same into one frame it keeps, as the reader does, and must
// close the same frames: nothing of an earlier frame may stay in it.
struct Script {
    FrameAssembler assembler;
    FrameAssembler intoKept;
    Frame kept;
    std::vector<Frame> frames;

    explicit Script(const DeviceDescription& device, TouchSignal signal = TouchSignal::touchKey)
        : assembler(device, FrameAssembler::Options{signal}), intoKept(device, FrameAssembler::Options{signal}) {}

    void seed(const FrameAssembler::DeviceState& state) {
        assembler.seed(state);
        intoKept.seed(state);
    }
    void reset() {
        assembler.reset();
        intoKept.reset();
    }

    Script& abs(std::uint16_t code, std::int32_t value) { return feed(kEvAbs, code, value); }
    Script& key(std::uint16_t code, std::int32_t value) { return feed(kEvKey, code, value); }
    Script& slot(std::int32_t s) { return abs(kAbsMtSlot, s); }
    Script& id(std::int32_t i) { return abs(kAbsMtTrackingId, i); }
    Script& at(std::int32_t x, std::int32_t y) { return abs(kAbsMtPositionX, x).abs(kAbsMtPositionY, y); }
    Script& dropped() { return feed(kEvSyn, kSynDropped, 0); }
    Frame report(double t) {
        const auto frame = assembler.feed(t, kEvSyn, kSynReport, 0);
        EXPECT_TRUE(frame.has_value());
        EXPECT_TRUE(intoKept.feed(EvdevEvent{t, kEvSyn, kSynReport, 0}, kept));
        EXPECT_EQ(kept, frame.value_or(Frame{})) << "the kept frame at " << t;
        frames.push_back(frame.value_or(Frame{}));
        return frames.back();
    }

private:
    Script& feed(std::uint16_t type, std::uint16_t code, std::int32_t value) {
        EXPECT_FALSE(assembler.feed(0, type, code, value).has_value()) << "only SYN_REPORT closes a frame";
        const Frame before = kept;
        EXPECT_FALSE(intoKept.feed(EvdevEvent{0, type, code, value}, kept));
        EXPECT_EQ(kept, before) << "only SYN_REPORT writes the frame";
        return *this;
    }
};

std::vector<std::int32_t> ids(const Frame& f) {
    std::vector<std::int32_t> out;
    for (const auto& c : f.contacts) out.push_back(c.id);
    return out;
}

TEST(FrameAssemblerTest, NormalisesFromTheLeftAndTheBottomAndClamps) {
    struct Case {
        std::int32_t x, y;
        float nx, ny;
    };
    for (const Case& c : {Case{100, 500, 0.0f, 0.0f}, Case{1100, 0, 1.0f, 1.0f}, Case{600, 125, 0.5f, 0.75f},
                          Case{350, 400, 0.25f, 0.2f}, Case{40, 530, 0.0f, 0.0f}, Case{1180, -12, 1.0f, 1.0f}}) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        Script s(pad());
        const Frame f = s.id(5).at(c.x, c.y).key(kBtnTouch, 1).report(0.5);
        ASSERT_EQ(f.contacts.size(), 1u);
        EXPECT_FLOAT_EQ(f.contacts[0].x, c.nx);
        EXPECT_FLOAT_EQ(f.contacts[0].y, c.ny);
        EXPECT_EQ(f.time, 0.5);
    }
}

TEST(FrameAssemblerTest, TheFirstSlotMayBeOmittedAndTheCurrentSlotPersists) {
    Script s(pad());
    // No ABS_MT_SLOT before the first contact: it is slot 0.
    s.id(10).at(100, 0).key(kBtnTouch, 1).report(0.00);
    s.slot(1).id(11).at(1100, 500).report(0.01);
    // Only slot 1 moves; the slot chosen in the previous frame still holds.
    const Frame f = s.abs(kAbsMtPositionX, 600).report(0.02);
    ASSERT_EQ(ids(f), (std::vector<std::int32_t>{10, 11}));
    EXPECT_FLOAT_EQ(f.contacts[0].x, 0.0f);
    EXPECT_FLOAT_EQ(f.contacts[1].x, 0.5f);
    EXPECT_FLOAT_EQ(f.contacts[1].y, 0.0f) << "unchanged values are not resent";
}

TEST(FrameAssemblerTest, ASlotThatLacksAnAxisIsHeldBackUntilItHasReportedBoth) {
    Script s(pad());
    EXPECT_TRUE(s.id(1).key(kBtnTouch, 1).report(0.00).contacts.empty());
    const Frame placed = s.at(600, 250).report(0.01);
    ASSERT_EQ(ids(placed), (std::vector<std::int32_t>{1}));
    EXPECT_TRUE(placed.contacts[0].positionKnown);

    // Slot 1's y is what the slot held before the reader started: unknown,
    // and not to be guessed, or the finger would seem to jump when it comes.
    EXPECT_EQ(ids(s.slot(1).id(2).abs(kAbsMtPositionX, 1100).report(0.02)), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(ids(s.slot(0).abs(kAbsMtPositionX, 610).report(0.03)), (std::vector<std::int32_t>{1}));
    const Frame located = s.slot(1).abs(kAbsMtPositionY, 100).report(0.04);
    ASSERT_EQ(ids(located), (std::vector<std::int32_t>{1, 2}));
    EXPECT_TRUE(located.contacts[1].positionKnown);
    EXPECT_TRUE(located.contacts[1].touching);
    EXPECT_FLOAT_EQ(located.contacts[1].x, 1.0f);
    EXPECT_FLOAT_EQ(located.contacts[1].y, 0.8f);

    // Counted beyond its slots, the pad has lost track of its fingers: the
    // one it names without placing is among the counted ones, at the centroid.
    Script counted(pad());
    const Frame three =
        counted.id(1).at(600, 250).slot(1).id(2).key(kBtnTouch, 1).key(kBtnToolTripletap, 1).report(0.0);
    ASSERT_EQ(three.contacts.size(), 3u);
    EXPECT_EQ(three.contacts[0].id, 1);
    for (const auto& extra : {three.contacts[1], three.contacts[2]}) {
        EXPECT_TRUE(extra.synthesized);
        EXPECT_FALSE(extra.positionKnown);
        EXPECT_FLOAT_EQ(extra.x, 0.5f);
        EXPECT_TRUE(extra.touching);
    }
    EXPECT_NE(three.contacts[1].id, three.contacts[2].id);
}

TEST(FrameAssemblerTest, WhatTheDeviceHeldBeforeItsFirstEventCountsAsReported) {
    // When the reader starts, a finger rests in slot 0 with BTN_TOUCH down,
    // slot 1 was left at (1100, 100) by a finger that has lifted, and the
    // pad has slot 1 selected.
    FrameAssembler::DeviceState state;
    state.slots = {{7, 600, 250, 40, 0}, {-1, 1100, 100, 0, 0}, {9, 0, 0, 0, 0}};
    state.currentSlot = 1;
    state.heldKeys = {kBtnTouch, kBtnToolFinger, kBtnLeft};
    Script s(pad());
    s.seed(state);
    // A finger lands in slot 1 where the last one lifted: the kernel sends its
    // tracking id and nothing else, and no ABS_MT_SLOT.
    const Frame f = s.id(8).key(kBtnToolFinger, 0).key(kBtnToolDoubletap, 1).report(0.0);
    ASSERT_EQ(ids(f), (std::vector<std::int32_t>{7, 8})) << "a slot the pad does not have is ignored";
    EXPECT_EQ(f.touchingCount(), 2) << "BTN_TOUCH was down";
    EXPECT_FLOAT_EQ(f.contacts[0].x, 0.5f);
    EXPECT_FLOAT_EQ(f.contacts[0].y, 0.5f);
    EXPECT_FLOAT_EQ(f.contacts[0].pressure, 40.0f / 255 * 100);
    EXPECT_FLOAT_EQ(f.contacts[1].x, 1.0f);
    EXPECT_FLOAT_EQ(f.contacts[1].y, 0.8f);
    EXPECT_TRUE(f.buttonChanges.empty()) << "a button held is no change";
    EXPECT_FALSE(f.buttons.left);
    EXPECT_EQ(s.key(kBtnTouch, 0).report(0.01).touchingCount(), 0);
}

TEST(FrameAssemblerTest, TrackingIdMinusOneFreesTheSlotAndTheSlotKeepsItsValues) {
    Script s(pad());
    s.id(1).at(600, 250).key(kBtnTouch, 1).slot(1).id(2).at(1100, 0).report(0.00);
    EXPECT_EQ(ids(s.id(-1).report(0.01)), (std::vector<std::int32_t>{1}));
    // A new finger in slot 1 that lands where the old one was sends no
    // position. (It comes back in the same touch, so it keeps its id.)
    const Frame again = s.id(3).report(0.02);
    ASSERT_EQ(ids(again), (std::vector<std::int32_t>{1, 2}));
    EXPECT_TRUE(again.contacts[1].positionKnown);
    EXPECT_FLOAT_EQ(again.contacts[1].x, 1.0f);
    EXPECT_TRUE(s.slot(0).id(-1).slot(1).id(-1).key(kBtnTouch, 0).report(0.03).contacts.empty());
}

TEST(FrameAssemblerTest, AContactBeforeBtnTouchHovers) {
    Script s(pad(), TouchSignal::touchKey);
    const Frame hovering = s.id(1).at(600, 250).key(kBtnToolFinger, 1).report(0.00);
    ASSERT_EQ(hovering.contacts.size(), 1u);
    EXPECT_FALSE(hovering.contacts[0].touching);
    EXPECT_EQ(hovering.touchingCount(), 0);
    EXPECT_TRUE(s.key(kBtnTouch, 1).report(0.01).contacts[0].touching);
    // Lifting off while still in range: hovering again, same finger.
    const Frame lifted = s.key(kBtnTouch, 0).report(0.02);
    ASSERT_EQ(ids(lifted), (std::vector<std::int32_t>{1}));
    EXPECT_FALSE(lifted.contacts[0].touching);
}

TEST(FrameAssemblerTest, TheTouchSignalModes) {
    {
        SCOPED_TRACE("tracking: a pad without BTN_TOUCH");
        Script s(pad(), TouchSignal::tracking);
        EXPECT_EQ(s.id(1).at(600, 250).report(0.0).touchingCount(), 1);
    }
    {
        SCOPED_TRACE("automatic: tracking until the pad shows it sends BTN_TOUCH");
        Script s(pad(), TouchSignal::automatic);
        EXPECT_EQ(s.id(1).at(600, 250).report(0.0).touchingCount(), 1);
        EXPECT_EQ(s.key(kBtnTouch, 1).report(0.1).touchingCount(), 1);
        EXPECT_EQ(s.key(kBtnTouch, 0).report(0.2).touchingCount(), 0);
        EXPECT_EQ(s.id(-1).report(0.3).contacts.size(), 0u);
        EXPECT_EQ(s.id(2).report(0.4).touchingCount(), 0) << "hovers until BTN_TOUCH";
    }
    {
        SCOPED_TRACE("a slot with a distance hovers in every mode");
        Script s(pad(), TouchSignal::tracking);
        EXPECT_EQ(s.id(1).at(600, 250).abs(kAbsMtDistance, 3).report(0.0).touchingCount(), 0);
        EXPECT_EQ(s.abs(kAbsMtDistance, 0).report(0.1).touchingCount(), 1);
    }
}

TEST(FrameAssemblerTest, FingersBeyondTheSlotsAreSynthesizedAtTheCentroid) {
    Script s(pad());
    s.id(1).at(100, 500).slot(1).id(2).at(1100, 0).key(kBtnTouch, 1).key(kBtnToolDoubletap, 1).report(0.00);
    const Frame three = s.key(kBtnToolDoubletap, 0).key(kBtnToolTripletap, 1).report(0.01);
    ASSERT_EQ(three.contacts.size(), 3u);
    const Frame::Contact& extra = three.contacts[2];
    EXPECT_TRUE(extra.synthesized);
    EXPECT_FALSE(extra.positionKnown);
    EXPECT_TRUE(extra.touching);
    EXPECT_GE(extra.id, Frame::kSyntheticIdBase);
    EXPECT_FLOAT_EQ(extra.x, 0.5f);
    EXPECT_FLOAT_EQ(extra.y, 0.5f);

    // The id holds while the finger stays; a fourth finger gets its own.
    const Frame moved = s.slot(0).at(600, 250).report(0.02);
    EXPECT_EQ(moved.contacts[2].id, extra.id);
    EXPECT_FLOAT_EQ(moved.contacts[2].x, 0.75f);
    const Frame four = s.key(kBtnToolTripletap, 0).key(kBtnToolQuadtap, 1).report(0.03);
    ASSERT_EQ(four.contacts.size(), 4u);
    EXPECT_EQ(four.contacts[2].id, extra.id);
    EXPECT_NE(four.contacts[3].id, extra.id);
    // The last one added leaves first.
    const Frame backToThree = s.key(kBtnToolQuadtap, 0).key(kBtnToolTripletap, 1).report(0.04);
    EXPECT_EQ(ids(backToThree), (std::vector<std::int32_t>{1, 2, extra.id}));
    // A finger that lands in a later touch is a new one.
    s.key(kBtnToolTripletap, 0).key(kBtnTouch, 0).slot(0).id(-1).slot(1).id(-1).report(0.05);
    const Frame relanded = s.slot(0).id(3).slot(1).id(4).key(kBtnTouch, 1).key(kBtnToolTripletap, 1).report(0.06);
    ASSERT_EQ(relanded.contacts.size(), 3u);
    EXPECT_TRUE(relanded.contacts[2].synthesized);
    EXPECT_NE(relanded.contacts[2].id, extra.id);
    EXPECT_NE(relanded.contacts[2].id, four.contacts[3].id);

    // Five fingers on a pad with a free slot: the slots are trusted, nothing is made up.
    Script roomy(pad(4));
    EXPECT_EQ(roomy.id(1).at(600, 250).key(kBtnTouch, 1).key(kBtnToolQuinttap, 1).report(0.0).contacts.size(), 1u);
}

TEST(FrameAssemblerTest, OnPadsOfTwoSlotsAFingerThatComesBackInTheSameTouchKeepsItsId) {
    // Old pads lose a finger for a frame or two in mid-touch, from the count
    // or from a slot, and find it again (3, 2, 3 or 2, 1, 2 fingers).
    Script s(pad());
    const Frame three =
        s.id(1).at(200, 250).slot(1).id(2).at(400, 250).key(kBtnTouch, 1).key(kBtnToolTripletap, 1).report(0.00);
    const std::int32_t third = three.contacts[2].id;
    EXPECT_EQ(s.key(kBtnToolTripletap, 0).key(kBtnToolDoubletap, 1).report(0.01).contacts.size(), 2u);
    EXPECT_EQ(ids(s.key(kBtnToolDoubletap, 0).key(kBtnToolTripletap, 1).report(0.02)),
              (std::vector<std::int32_t>{1, 2, third}));
    // The pad gives slot 1 a new tracking id when the second finger comes back.
    EXPECT_EQ(ids(s.slot(1).id(-1).key(kBtnToolTripletap, 0).key(kBtnToolFinger, 1).report(0.03)),
              (std::vector<std::int32_t>{1}));
    EXPECT_EQ(ids(s.id(5).at(420, 250).key(kBtnToolFinger, 0).key(kBtnToolTripletap, 1).report(0.04)),
              (std::vector<std::int32_t>{1, 2, third}));
    // A finger swapped within one frame is as good as one that came back.
    EXPECT_EQ(ids(s.id(6).at(440, 250).report(0.05)), (std::vector<std::int32_t>{1, 2, third}));

    // Once every finger has lifted, the next touch is new.
    s.key(kBtnToolTripletap, 0).key(kBtnTouch, 0).slot(0).id(-1).slot(1).id(-1).report(0.06);
    EXPECT_EQ(ids(s.slot(0).id(7).at(200, 250).key(kBtnTouch, 1).key(kBtnToolFinger, 1).report(0.07)),
              (std::vector<std::int32_t>{7}));
    EXPECT_EQ(ids(s.slot(1).id(8).at(400, 250).key(kBtnToolFinger, 0).key(kBtnToolDoubletap, 1).report(0.08)),
              (std::vector<std::int32_t>{7, 8}));

    // A pad with more slots tells its fingers apart: one that lands is new.
    Script roomy(pad(3));
    roomy.id(1).at(200, 250).slot(1).id(2).at(400, 250).key(kBtnTouch, 1).report(0.00);
    roomy.id(-1).report(0.01);
    EXPECT_EQ(ids(roomy.id(3).at(420, 250).report(0.02)), (std::vector<std::int32_t>{1, 3}));
}

TEST(FrameAssemblerTest, TheCornersOfASemiMultitouchBoxArePassedOnLevel) {
    DeviceDescription semi = pad();
    semi.properties = {std::uint8_t(1u << kPropSemiMt)};
    // Slot 0 has id 1 at (x0, y0), slot 1 id `id1` at (x1, y1), in the pad's
    // units (x 100...1100, y 0...500 downwards).
    struct Case {
        const char* what;
        std::int32_t x0, y0, x1, y1, id1;
        float left, right, y;
    };
    const Case cases[] = {
        // Corners 0.6 wide and 0.8 high: 1.0 apart, centred.
        {"a box about the centre", 300, 50, 900, 450, 2, 0.0f, 1.0f, 0.5f},
        {"a flat box", 300, 250, 700, 250, 2, 0.2f, 0.6f, 0.5f},
        {"a tall box", 600, 100, 600, 300, 2, 0.3f, 0.7f, 0.6f},
        // The diagonal would reach past the right edge: moved in, still 0.4 apart.
        {"a tall box at the right edge", 1100, 0, 1100, 200, 2, 0.6f, 1.0f, 0.8f},
        {"the lower id on the left", 300, 250, 700, 250, 0, 0.6f, 0.2f, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Script s(semi);
        const Frame f = s.id(1).at(c.x0, c.y0).slot(1).id(c.id1).at(c.x1, c.y1).key(kBtnTouch, 1).report(0.0);
        ASSERT_EQ(f.contacts.size(), 2u);
        EXPECT_NEAR(f.contacts[0].x, c.left, 1e-6);
        EXPECT_NEAR(f.contacts[1].x, c.right, 1e-6);
        EXPECT_NEAR(f.contacts[0].y, c.y, 1e-6);
        EXPECT_NEAR(f.contacts[1].y, c.y, 1e-6);
    }

    // A pad that tracks its fingers keeps them where they are.
    Script s(pad());
    const Frame f = s.id(1).at(300, 50).slot(1).id(2).at(900, 450).key(kBtnTouch, 1).report(0.0);
    EXPECT_FLOAT_EQ(f.contacts[0].x, 0.2f);
    EXPECT_FLOAT_EQ(f.contacts[0].y, 0.9f);
    // One finger on a semi-multitouch pad is where it is.
    Script one(semi);
    EXPECT_FLOAT_EQ(one.id(1).at(300, 50).key(kBtnTouch, 1).report(0.0).contacts[0].y, 0.9f);
}

TEST(FrameAssemblerTest, SynthesizedFingersFollowTheTouchOfTheTrackedOnes) {
    Script s(pad());
    const Frame f =
        s.id(1).at(100, 500).slot(1).id(2).at(1100, 0).key(kBtnToolTripletap, 1).abs(kAbsMtPressure, 51).report(0.0);
    ASSERT_EQ(f.contacts.size(), 3u);
    EXPECT_EQ(f.touchingCount(), 0) << "no BTN_TOUCH yet: all three hover";
    // Slot 0 has reported no pressure, slot 1 a fifth of its range (20).
    EXPECT_FLOAT_EQ(f.contacts[2].pressure, 10.0f) << "the mean pressure of the tracked contacts";
}

TEST(FrameAssemblerTest, AfterSynDroppedNoTouchThatSpannedTheGapIsDelivered) {
    Script s(pad());
    s.id(1).at(600, 250).key(kBtnTouch, 1).slot(1).id(2).at(700, 250).key(kBtnToolDoubletap, 1).report(0.00);
    s.slot(0).at(610, 250).report(0.01);
    // Events lost; the damaged packet still moves a finger.
    const Frame interrupted = s.dropped().slot(1).at(720, 260).report(0.02);
    EXPECT_TRUE(interrupted.interrupted);
    EXPECT_TRUE(interrupted.contacts.empty());
    // The fingers go on moving, one lifts, another lands: all withheld.
    std::vector<Frame> meanwhile;
    meanwhile.push_back(s.slot(0).at(650, 250).report(0.03));
    meanwhile.push_back(s.report(0.04));
    meanwhile.push_back(s.slot(1).id(-1).key(kBtnToolDoubletap, 0).key(kBtnToolFinger, 1).report(0.05));
    meanwhile.push_back(s.id(7).at(300, 300).key(kBtnToolFinger, 0).key(kBtnToolDoubletap, 1).report(0.06));
    for (const Frame& f : meanwhile) {
        EXPECT_FALSE(f.interrupted);
        EXPECT_TRUE(f.contacts.empty()) << f.time;
    }
    // Every finger up: delivery resumes with the next touch.
    EXPECT_TRUE(
        s.slot(0).id(-1).slot(1).id(-1).key(kBtnTouch, 0).key(kBtnToolDoubletap, 0).report(0.07).contacts.empty());
    const Frame next = s.slot(0).id(8).at(600, 250).key(kBtnTouch, 1).key(kBtnToolFinger, 1).report(0.08);
    EXPECT_EQ(ids(next), (std::vector<std::int32_t>{8}));
    EXPECT_EQ(next.touchingCount(), 1);

    // The first frame without the two fingers is the interrupted one, not a
    // plain lift; they never come back.
    for (const auto& f : s.frames) {
        if (f.time >= 0.08) continue;
        EXPECT_EQ(f.contacts.size(), f.time < 0.02 ? 2u : 0u) << f.time;
        EXPECT_EQ(f.interrupted, f.time == 0.02) << f.time;
    }
}

TEST(FrameAssemblerTest, AReleaseLostInTheGapEndsTheWithholdingOnceTheKeysSayTheFingersAreGone) {
    Script s(pad());
    s.id(1).at(600, 250).key(kBtnTouch, 1).key(kBtnToolFinger, 1).report(0.00);
    // The packet with the slot's -1 was lost; only the keys come through.
    s.dropped().report(0.01);
    EXPECT_TRUE(s.key(kBtnTouch, 0).key(kBtnToolFinger, 0).report(0.02).contacts.empty());
    const Frame next = s.id(2).at(300, 100).key(kBtnTouch, 1).key(kBtnToolFinger, 1).report(0.03);
    EXPECT_EQ(ids(next), (std::vector<std::int32_t>{2}));
}

TEST(FrameAssemblerTest, ADropWithTheFingersAlreadyUpOnlyMarksTheFrame) {
    Script s(pad());
    const Frame f = s.dropped().report(0.0);
    EXPECT_TRUE(f.interrupted);
    EXPECT_EQ(s.id(1).at(600, 250).key(kBtnTouch, 1).report(0.1).touchingCount(), 1);
}

TEST(FrameAssemblerTest, PressureRule) {
    struct Case {
        std::int32_t value;
        bool pressurePad;
        float raw;
    };
    const AxisRange range{0, 255, 0, 0, 0};
    for (const Case& c : {Case{0, true, 0}, Case{51, true, 200}, Case{255, true, 1000}, Case{0, false, 0},
                          Case{255, false, 100}, Case{400, false, 100}, Case{-5, true, 0}}) {
        EXPECT_FLOAT_EQ(FrameAssembler::rawPressure(c.value, range, c.pressurePad), c.raw)
            << c.value << (c.pressurePad ? " on a pressure pad" : "");
    }
    // An offset range: the fraction is taken from its minimum.
    EXPECT_FLOAT_EQ(FrameAssembler::rawPressure(60, AxisRange{10, 110, 0, 0, 0}, true), 500);

    // Through the assembler: per contact on a pressure pad...
    Script force(pad(2, true));
    const Frame pressed = force.id(1).at(600, 250).abs(kAbsMtPressure, 51).key(kBtnTouch, 1).report(0.0);
    EXPECT_FLOAT_EQ(pressed.contacts[0].pressure, 200);
    // ...and on an ordinary pad the hardest touch stays well below the light threshold.
    Script ordinary(pad());
    EXPECT_LT(ordinary.id(1).at(600, 250).abs(kAbsMtPressure, 255).key(kBtnTouch, 1).report(0.0).contacts[0].pressure,
              200);
}

// One finger in slot 0 with tracking id `id`, landing at `start` on x
// `x0` and moving `dx` a frame, with one frame every `interval` pressing the
// values given; then it lifts. Returns the frames of the touch and its lift.
std::vector<Frame> touch(Script& s, std::int32_t id, double start, double interval,
                         const std::vector<std::int32_t>& pressures, std::int32_t x0 = 600, std::int32_t dx = 0) {
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < pressures.size(); ++i) {
        if (i == 0) s.id(id).key(kBtnTouch, 1);
        s.at(x0 + dx * std::int32_t(i), 250).abs(kAbsMtPressure, pressures[i]);
        frames.push_back(s.report(start + interval * double(i)));
    }
    frames.push_back(s.id(-1).key(kBtnTouch, 0).report(start + interval * double(pressures.size())));
    return frames;
}

// The first frame in which the finger touches, if any.
std::optional<std::size_t> firstTouching(const std::vector<Frame>& frames) {
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].touchingCount() > 0) return i;
    }
    return std::nullopt;
}

TEST(FrameAssemblerTest, ABrushIsNoTouchOnceThePadHasLearntItsDeliberatePresses) {
    // Presses with peaks of 87 to 111 on the 0-255 axis (a median of 100);
    // after five of them a contact touches once it presses 50, or once it
    // has lasted 40 ms.
    const std::vector<std::vector<std::int32_t>> presses = {
        {40, 87, 80}, {50, 95, 90, 70}, {60, 111, 100}, {45, 100, 98}, {70, 104, 90, 60}};
    struct Case {
        const char* what;
        double interval;
        std::vector<std::int32_t> pressures;
        std::optional<std::size_t> touchesAt;  // frame index
    };
    const Case cases[] = {
        {"a 29 ms brush at 36", 0.0097, {30, 36, 36}, std::nullopt},
        {"a brush at 36 that lifts before 40 ms, on a pad of 140 frames a second",
         0.007,
         {30, 36, 36, 36, 36},
         std::nullopt},
        {"a press that passes half the median in its third frame", 0.010, {20, 45, 55, 90, 95}, 2},
        {"a press that starts firm", 0.010, {60, 90, 95}, 0},
        {"a light touch, after 30 ms at 100 frames a second", 0.010, {30, 30, 30, 30, 30, 30}, 3},
        {"a light touch, after 36 ms at 83 frames a second", 0.012, {30, 30, 30, 30, 30, 30}, 3},
        {"a light touch, after 35 ms at 140 frames a second", 0.007, {30, 30, 30, 30, 30, 30, 30, 30}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Script s(pad());
        double t = 0;
        std::int32_t id = 1;
        for (const auto& press : presses) {
            const auto frames = touch(s, id++, t, 0.010, press);
            EXPECT_EQ(firstTouching(frames), 0u) << "every contact touches while the pad learns";
            t += 0.5;
        }
        // It slides 20 units (0.02 of the pad) a frame.
        const auto frames = touch(s, id, t, c.interval, c.pressures, 600, 20);
        const auto at = firstTouching(frames);
        ASSERT_EQ(at, c.touchesAt);
        if (!at) continue;
        EXPECT_LE(frames[*at].time - t, FrameAssembler::kBrushTime + 1e-9) << "it never waits longer";
        EXPECT_NEAR(frames[*at].contacts[0].x, 0.5f, 1e-6) << "it touches first where it landed";
        if (*at + 1 < frames.size() - 1) {
            EXPECT_NEAR(frames[*at + 1].contacts[0].x, 0.5 + 0.02 * double(*at + 1), 1e-6);
        }
        for (std::size_t i = *at; i + 1 < frames.size(); ++i) EXPECT_EQ(frames[i].touchingCount(), 1) << i;
    }
}

TEST(FrameAssemblerTest, ThePadLearnsFromItsLastDeliberatePressesOnly) {
    Script s(pad());
    double t = 0;
    std::int32_t id = 1;
    const auto next = [&](const std::vector<std::int32_t>& pressures) {
        const auto frames = touch(s, id++, t, 0.010, pressures);
        t += 0.5;
        return firstTouching(frames);
    };
    // Four presses: too few to judge by, so a brush among them touches.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(next({100, 100}), 0u);
    EXPECT_EQ(next({36, 36}), 0u);
    // Its peak counts among the five: a median of 100 still.
    EXPECT_EQ(next({36, 36}), std::nullopt);
    // A soft hand: its touches become deliberate by lasting, and their peaks
    // bring the median down until a touch of 20 is one at once.
    for (int i = 0; i < 9; ++i) next({20, 20, 20, 20, 20, 20});
    EXPECT_EQ(next({20, 20, 20}), 0u);
    // Brushes that never touched leave the median where it is: a touch of 8
    // still waits.
    for (int i = 0; i < 9; ++i) EXPECT_EQ(next({8, 8}), std::nullopt);
    EXPECT_EQ(next({8, 8, 8, 8, 8}), 3u);

    // A pad without contact pressure has no brush rule.
    DeviceDescription d = pad();
    d.axes.erase(kAbsMtPressure);
    Script plain(d);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(firstTouching(touch(plain, i + 1, 0.5 * i, 0.010, {0, 0})), 0u);
}

TEST(FrameAssemblerTest, PadPressureStandsInForMissingContactPressure) {
    DeviceDescription d = pad();
    d.axes.erase(kAbsMtPressure);
    d.axes[kAbsPressure] = AxisRange{0, 127, 0, 0, 0};
    Script s(d);
    const Frame f = s.id(1).at(600, 250).slot(1).id(2).at(700, 250).abs(kAbsPressure, 127).key(kBtnTouch, 1).report(0);
    ASSERT_EQ(f.contacts.size(), 2u);
    EXPECT_FLOAT_EQ(f.contacts[0].pressure, 100);
    EXPECT_FLOAT_EQ(f.contacts[1].pressure, 100);

    d.axes.erase(kAbsPressure);
    Script none(d);
    EXPECT_EQ(none.id(1).at(600, 250).abs(kAbsPressure, 127).key(kBtnTouch, 1).report(0).contacts[0].pressure, 0);
}

TEST(FrameAssemblerTest, ButtonsReportStateAndChanges) {
    Script s(pad());
    const Frame down = s.key(kBtnLeft, 1).report(0.0);
    EXPECT_TRUE(down.buttons.left);
    EXPECT_EQ(down.buttonChanges, (std::vector<Frame::ButtonChange>{{Frame::Button::left, true}}));
    const Frame held = s.key(kBtnLeft, 2).report(0.1);  // autorepeat
    EXPECT_TRUE(held.buttons.left);
    EXPECT_TRUE(held.buttonChanges.empty());
    const Frame up = s.key(kBtnLeft, 0).key(kBtnRight, 1).report(0.2);
    EXPECT_EQ(up.buttons, (Frame::Buttons{false, true, false}));
    EXPECT_EQ(up.buttonChanges,
              (std::vector<Frame::ButtonChange>{{Frame::Button::left, false}, {Frame::Button::right, true}}));
}

TEST(FrameAssemblerTest, OddInputIsIgnoredRatherThanTrusted) {
    Script s(pad());
    s.id(1).at(600, 250).key(kBtnTouch, 1).report(0.0);
    // A slot the pad does not have: its events go nowhere, until a real slot is chosen.
    s.slot(9).id(99).at(100, 0).slot(-1).id(98).report(0.1);
    const Frame f = s.slot(1).id(2).at(1100, 0).report(0.2);
    EXPECT_EQ(ids(f), (std::vector<std::int32_t>{1, 2}));
    EXPECT_FLOAT_EQ(f.contacts[0].x, 0.5f);
    // Unknown types and codes, SYN_MT_REPORT and SYN_CONFIG change nothing.
    FrameAssembler& a = s.assembler;
    EXPECT_FALSE(a.feed(0.3, kEvMsc, 5, 77).has_value());
    EXPECT_FALSE(a.feed(0.3, kEvSyn, kSynMtReport, 0).has_value());
    EXPECT_FALSE(a.feed(0.3, 0x1f, 0x2ff, -1).has_value());
    EXPECT_EQ(ids(s.report(0.3)), (std::vector<std::int32_t>{1, 2}));

    // A device without multitouch positions gives frames, but no contacts.
    DeviceDescription single;
    single.axes[kAbsX] = AxisRange{0, 100, 0, 0, 0};
    Script plain(single);
    const Frame p = plain.id(1).key(kBtnTouch, 1).key(kBtnLeft, 1).report(0.0);
    EXPECT_TRUE(p.contacts.empty());
    EXPECT_TRUE(p.buttons.left);
}

TEST(FrameAssemblerTest, ResetForgetsEverything) {
    Script s(pad());
    s.id(1).at(600, 250).key(kBtnTouch, 1).key(kBtnLeft, 1).slot(1).report(0.0);
    s.reset();
    const Frame f = s.id(2).report(0.1);
    EXPECT_EQ(ids(f), std::vector<std::int32_t>{}) << "slot 0 again, and its position is unknown";
    EXPECT_FALSE(f.buttons.left);
    EXPECT_EQ(s.at(600, 250).report(0.2).touchingCount(), 0) << "BTN_TOUCH forgotten";
}

}  // namespace
}  // namespace glidra::evdev
