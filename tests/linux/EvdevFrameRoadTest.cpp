#include "platform/evdev/EvemuReader.h"
#include "replay/Replay.h"
#include "support/QtPrinters.h"
#include "support/UmockdevInput.h"

#include "LiveEngine.h"

#include <gtest/gtest.h>

#include <QTest>

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

}  // namespace
}  // namespace glidra::test
