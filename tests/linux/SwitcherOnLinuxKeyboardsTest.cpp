#include "executors/ActionExecutors.h"
#include "platform/linux/EvdevEventTap.h"
#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/EvdevKeyboardState.h"
#include "platform/linux/UinputEventPoster.h"
#include "platform/sim/SimPointerControl.h"
#include "replay/SimEngine.h"
#include "support/ControllerHarness.h"
#include "support/FrameBuilder.h"
#include "support/RecordingVirtualDevice.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace glidra::test {
namespace {

using namespace linux_platform;
using Direction = GestureDescriptor::Direction;

const QStringList kKeyboard{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_KEYBOARD=1")};

QString key(std::uint16_t code, int value) { return RecordingVirtualDevice::key(code, value); }

// The application switcher on the Linux keyboards: its Command is Alt held by
// our own virtual device, which the kernel reports as a keyboard holding Alt.
struct LinuxSwitcherRig {
    UmockdevInput devices;
    QByteArray userKeyboard = devices.addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    // What our device holds while the switcher is open, as the kernel says.
    QByteArray ownDevice =
        devices.addDevice(UmockdevInput::keyboard(kOwnVirtualDeviceName), kKeyboard, {UinputEventPoster::kSwitcherKey});
    EvdevInputHub hub;
    EvdevKeyboardState keyboard{hub};
    RecordingVirtualDevice virtualDevice;
    sim::SimPointerControl pointer;
    UinputEventPoster poster{virtualDevice, keyboard, pointer};
    EvdevEventTap taps{hub, poster};
    // What the executors act on besides input.
    sim::SimActionSystem system;
    ActionExecutors* executors = nullptr;
    ControllerHarness h{
        [this](ControllerHarness& harness) {
            ActionExecutors::Ports ports = replay::simExecutorPorts(
                {harness.settings, harness.time.clock, harness.time.scheduler, harness.keyboardPort, harness.frontmost,
                 harness.keyEvents, harness.mouseButtons, harness.accessibilityTrust},
                system, &poster, &taps);
            ports.makeHUD = [&harness](AdjustmentHUDSettings) { return std::make_unique<FakeHUD>(harness.log); };
            auto made = std::make_unique<ActionExecutors>(std::move(ports));
            executors = made.get();
            return made;
        },
        {},
        {},
        &keyboard};

    LinuxSwitcherRig() {
        poster.routeThrough([this](const InputEvent& event) { return taps.filterOwnEvent(event); });
        h.accessibilityTrust.setTrusted(true);
        executors->attachController(*h.controller);
        h.controller->setEnabled(true);
        h.controller->setListening(true);
    }
};

TEST(SwitcherOnLinuxKeyboardsTest, ASecondGestureStepsTheOpenSwitcherThoughOurDeviceHoldsAlt) {
    if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    LinuxSwitcherRig rig;
    TrackpadController& controller = *rig.h.controller;
    GestureRule rule;
    rule.gesture = GestureDescriptor{GestureDescriptor::Kind::swipe, 3, Direction::up, 1};
    rule.action = GestureAction::openApplicationSwitcher;
    rig.h.settings.setRules({rule});

    const auto swipeUp = [&](double t) {
        FrameBuilder frames;
        for (int finger = 1; finger <= 3; ++finger) frames.touch(finger, 0.3f + 0.05f * float(finger), 0.3f);
        frames.at(t);
        for (int finger = 1; finger <= 3; ++finger) frames.moveBy(finger, 0.0f, 0.3f);
        frames.over(t + 0.2, 10).up(t + 0.22);
        for (const Frame& frame : frames.build()) {
            if (frame.time > rig.h.time.clock.uptime()) rig.h.time.advanceTo(frame.time);
            controller.handleFrame(0x5100, frame.points, frame.time);
        }
        rig.h.time.advanceTo(t + 0.8);
    };

    // The dispatcher's part: the bound action opens or steps the switcher.
    swipeUp(1.0);
    ASSERT_EQ(rig.h.dispatcher.performed.size(), 1u);
    rig.executors->systemApplicationSwitcher().begin();
    rig.h.time.advanceTo(2.0);
    ASSERT_TRUE(rig.executors->systemApplicationSwitcher().isOpen());
    EXPECT_EQ(rig.virtualDevice.events(), QStringList({key(KEY_LEFTALT, 1), key(KEY_TAB, 1), key(KEY_TAB, 0)}));
    // Our Alt is not the user's: the user's keyboard state has no Option.
    EXPECT_EQ(rig.keyboard.combinedFlags(), 0u);

    // The next gesture matches the rule without modifiers, and steps.
    swipeUp(3.0);
    ASSERT_EQ(rig.h.dispatcher.performed.size(), 2u);
    rig.executors->systemApplicationSwitcher().begin();
    EXPECT_EQ(rig.virtualDevice.events(),
              QStringList({key(KEY_LEFTALT, 1), key(KEY_TAB, 1), key(KEY_TAB, 0), key(KEY_TAB, 1), key(KEY_TAB, 0)}));
    EXPECT_TRUE(rig.hub.grabs().isGrabbed(rig.userKeyboard));

    rig.executors->systemApplicationSwitcher().end(false);
    EXPECT_EQ(rig.virtualDevice.events().last(), key(KEY_LEFTALT, 0));
    EXPECT_FALSE(rig.hub.grabs().isGrabbed(rig.userKeyboard));
}

}  // namespace
}  // namespace glidra::test
