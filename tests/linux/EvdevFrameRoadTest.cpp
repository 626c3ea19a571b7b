#include "platform/evdev/EvemuReader.h"
#include "replay/Replay.h"
#include "support/QtPrinters.h"
#include "support/RecordingBuilder.h"
#include "support/UmockdevInput.h"

#include "LiveEngine.h"

#include <gtest/gtest.h>

#include <QTest>

#include <linux/input.h>

#include <string>
#include <utility>
#include <vector>

namespace glidra::test {
namespace {

evdev::Recording recording(const char* name) {
    const auto read = evdev::EvemuReader::readFile(std::string(GLIDRA_TEST_DATA_DIR "/recordings/") + name + ".events");
    EXPECT_TRUE(read.ok());
    return read.recording();
}

const QStringList kTouchpad{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")};

std::vector<GestureDescriptor> descriptors(const std::vector<replay::ReplayedGesture>& replayed) {
    std::vector<GestureDescriptor> out;
    for (const auto& gesture : replayed) out.push_back(gesture.gesture);
    return out;
}

// A recorded touchpad session played on a mocked event node, in real time,
// through libevdev on the hub's reader thread, the frame assembler, the
// multitouch bridge and the controller in practice mode, as on a laptop.
class EvdevFrameRoadTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    }
};

TEST_P(EvdevFrameRoadTest, ARecordingOnAMockedTouchpadIsRecognisedAsTheReplayToolRecognisesIt) {
    const evdev::Recording session = recording(GetParam());
    const auto expected = descriptors(replay::replay(session, {}).gestures);
    ASSERT_FALSE(expected.empty());

    UmockdevInput devices;
    const QByteArray pad = devices.addDevice(session.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    LiveEngine engine;
    engine.controller.toggleEnabled();
    engine.controller.setPracticeMode(true);
    ASSERT_TRUE(engine.controller.isListening());
    const auto open = engine.hub.openNodes(linux_platform::InputDeviceClass::touchpad);
    ASSERT_EQ(open.size(), 1u);
    // The mock, like an old kernel, refuses the monotonic clock: the node's
    // wall-clock times are moved onto it.
    EXPECT_FALSE(open.front()->reportsMonotonicTime());
    // The pad's size, which the recognizers judge stillness and directions
    // by, comes from the node's axes.
    EXPECT_EQ(engine.framework.surfaceDimensions(open.front().get()), session.device.surfaceDimensions());
    EXPECT_TRUE(engine.framework.surfaceDimensions(open.front().get()).has_value());

    ASSERT_TRUE(devices.replay(pad, session.events));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.gestures.size() >= expected.size(); }, 10'000))
        << engine.gestures.size() << " of " << expected.size() << " gestures";
    // Nothing more comes after a while.
    QTest::qWait(600);
    EXPECT_EQ(engine.gestures, expected);
    // Frames counted by the bridge, the last one just now.
    EXPECT_GT(engine.bridge.frameCount(), 0u);
}

// Short sessions: the mock replays in real time. The press reaches the click
// monitor from the touchpad's own node.
INSTANTIATE_TEST_SUITE_P(Recordings, EvdevFrameRoadTest,
                         ::testing::Values("CyPS2_Cypress_Trackpad.two_finger_tap",
                                           "CyPS2_Cypress_Trackpad.three_finger_tap",
                                           "CyPS2_Cypress_Trackpad.two_finger_press"));

TEST(EvdevSlotTableTest, AFingerThatLandsWhereItsSlotWasLeftIsPlacedFromWhatTheKernelHeldAtOpen) {
    if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    // A clickpad of 102 x 68 mm at 20 units a millimetre, pressure 0-255.
    // When the program opens it, slot 1 still holds where the finger of an
    // earlier touch lifted, (60, 34) mm, and the pad has slot 1 selected.
    const SyntheticPad size{.slots = 5, .width = 102, .height = 68, .unitsPerMillimetre = 20, .maximumPressure = 255};
    const auto fraction = [&size](float x, float y) { return std::pair{x / size.width, y / size.height}; };
    RecordingBuilder taps(size);
    const auto [heldX, heldY] = fraction(60, 34);
    taps.held(1, heldX, heldY).selected(1);
    // Two still two-finger taps 0.6 s apart, the second finger landing just
    // there: the kernel sends its tracking id and nothing else, and no
    // ABS_MT_SLOT. In the second tap it moves by a unit after 30 ms.
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; i < 9; ++i) {
            const auto [x0, y0] = fraction(35, 34);
            const auto [x1, y1] = fraction(60, k == 1 && i >= 3 ? 34.05f : 34);
            taps.place(1, 20 + k, x1, y1).press(1, 90).place(0, 10 + k, x0, y0).press(0, 90).fingers(2);
            taps.report(0.6 * k + 0.010 * i);
        }
        taps.lift(0).lift(1).fingers(0).report(0.6 * k + 0.09);
    }
    evdev::DeviceDescription pad = taps.recording().device;
    auto& keys = pad.eventBits[evdev::kEvKey];
    keys.assign(KEY_MAX / 8 + 1, 0);
    for (const unsigned code : {BTN_LEFT, BTN_TOUCH, BTN_TOOL_FINGER, BTN_TOOL_DOUBLETAP, BTN_TOOL_TRIPLETAP}) {
        keys[code / 8] |= std::uint8_t(1u << (code % 8));
    }
    SlotTable table;
    table.slots.resize(5);
    table.slots[1] = {-1, 1200, 680, 0, 0};
    table.currentSlot = 1;

    UmockdevInput devices;
    const QByteArray node = devices.addDevice(pad, kTouchpad, {}, table);
    ASSERT_FALSE(node.isEmpty());
    LiveEngine engine;
    engine.controller.toggleEnabled();
    engine.controller.setPracticeMode(true);
    ASSERT_TRUE(engine.controller.isListening());
    ASSERT_TRUE(devices.replay(node, taps.recording().events));
    Q_UNUSED(QTest::qWaitFor([&] { return engine.gestures.size() >= 2; }, 5'000));
    QTest::qWait(600);
    // Without the slots, the second finger would be nowhere (a one-finger
    // tap) or, from a table of zeros, at the top left corner until it moved.
    std::vector<std::string> seen;
    for (const auto& gesture : engine.gestures) {
        seen.push_back(std::string(enumRow(gesture.kind).raw) + " " + std::to_string(gesture.fingers) + " x" +
                       std::to_string(gesture.tapCount));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"tap 2 x1", "tap 2 x1"}));
}

TEST(EvdevReaddedTouchpadTest, TheFirstTapOnATouchpadRemovedAndAddedAgainCounts) {
    if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    const evdev::Recording tap = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    UmockdevInput devices;
    QByteArray node = devices.addDevice(tap.device, kTouchpad);
    ASSERT_FALSE(node.isEmpty());
    // Listening recovers from the hub's own news of touchpads coming and going.
    LiveEngine engine(LiveEngine::Pointer::sim, LiveEngine::Recovery::devices);
    engine.controller.toggleEnabled();
    engine.controller.setPracticeMode(true);
    ASSERT_TRUE(engine.controller.isListening());

    devices.removeDevice(node);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !engine.controller.isListening(); }, 3'000));
    node = devices.addDevice(tap.device, kTouchpad);
    ASSERT_FALSE(node.isEmpty());
    // The user taps at once.
    QTest::qWait(200);
    ASSERT_TRUE(devices.replay(node, tap.events));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !engine.gestures.empty(); }, 3'000));
    EXPECT_EQ(descriptors(replay::replay(tap, {}).gestures), engine.gestures);
}

}  // namespace
}  // namespace glidra::test
