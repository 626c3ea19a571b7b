#include "support/UmockdevInput.h"

#include "LiveEngine.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTest>

#include <linux/input-event-codes.h>

namespace glidra::test {
namespace {

const QStringList kTouchpad{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")};

// One finger up the right edge of a 3000 by 2000 pad, a step of 1 % every
// 10 ms. It does not lift.
std::vector<evdev::EvdevEvent> slide() {
    std::vector<evdev::EvdevEvent> events{{0.00, EV_ABS, ABS_MT_TRACKING_ID, 1},
                                          {0.00, EV_ABS, ABS_MT_POSITION_X, 2910},
                                          {0.00, EV_ABS, ABS_MT_POSITION_Y, 1600},
                                          {0.00, EV_ABS, ABS_MT_PRESSURE, 50},
                                          {0.00, EV_KEY, BTN_TOUCH, 1},
                                          {0.00, EV_KEY, BTN_TOOL_FINGER, 1},
                                          {0.00, EV_SYN, SYN_REPORT, 0}};
    for (int i = 1; i <= 10; ++i) {
        events.push_back({0.01 * i, EV_ABS, ABS_MT_POSITION_Y, 1600 - 20 * i});
        events.push_back({0.01 * i, EV_SYN, SYN_REPORT, 0});
    }
    return events;
}

// The finger stays where it is; only its pressure wavers, as a resting
// finger's does. Stamped now, on the wall clock, as the node stamps.
std::vector<evdev::EvdevEvent> rest() {
    const double now = double(QDateTime::currentMSecsSinceEpoch()) / 1000;
    return {{now, EV_ABS, ABS_MT_PRESSURE, 51}, {now, EV_SYN, SYN_REPORT, 0}};
}

// The edge pointer lock on a mocked touchpad: the slide's steps hold the pad
// by an exclusive grab, and the first frame half a second after the last step
// lets it go while the finger still rests, so that finger moves the pointer
// again.
TEST(EdgePointerLockOnLinuxTouchpadsTest, TheFirstFrameHalfASecondAfterTheLastStepLetsTheRestingFingersPadGo) {
    if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    UmockdevInput devices;
    // The kernel says a finger is on the pad, all the time.
    const QByteArray pad = devices.addDevice(UmockdevInput::touchpad("Mock Touchpad", 2), kTouchpad,
                                             {BTN_TOUCH, BTN_TOOL_FINGER});
    LiveEngine engine(LiveEngine::Pointer::touchpads);
    // The right edge's volume, on a sound card that has it.
    engine.system.audio.addMainDevice(1, AudioScope::output, 0.5f, false);
    engine.system.audio.setDefaultDevice(AudioScope::output, 1);
    engine.settings.setLocksPointerDuringEdgeAdjustments(true);
    engine.controller.toggleEnabled();
    ASSERT_TRUE(engine.controller.isListening());
    const auto node = engine.hub.node(pad);
    ASSERT_TRUE(node && node->isOpen());
    const EdgePointerLock& lock = engine.controller.edgePointerLock();

    ASSERT_TRUE(devices.replay(pad, slide()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lock.isOn(); }, 5'000)) << "the steps hold the pointer";
    EXPECT_TRUE(engine.hub.grabs().isGrabbed(pad));
    EXPECT_TRUE(node->grabbed);
    // No frame comes while the finger is still: the time alone ends nothing.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return engine.clock.uptime() - lock.lastContactTime() >= EdgePointerLock::kHoldWindow + 0.1; },
        5'000));
    ASSERT_TRUE(lock.isOn());
    EXPECT_TRUE(node->grabbed);

    // Written at once: the slide's replay still owns the node's script.
    ASSERT_TRUE(devices.write(pad, rest()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lock.isOn(); }, 5'000)) << "the resting finger's frame ends the lock";
    EXPECT_TRUE(node->holdsTouch()) << "the finger rests";
    EXPECT_FALSE(engine.hub.grabs().isGrabbed(pad));
    EXPECT_FALSE(node->grabbed) << "the pad is let go now, not at the lift";
    EXPECT_FALSE(node->ungrabPending);
}

}  // namespace
}  // namespace glidra::test
