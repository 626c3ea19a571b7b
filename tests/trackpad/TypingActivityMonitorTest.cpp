#include "platform/EventMarkers.h"
#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimKeyEventMonitor.h"
#include "support/SimTime.h"
#include "trackpad/TypingActivityMonitor.h"

#include <gtest/gtest.h>

#include <limits>

namespace glidra {
namespace {

using sim::SimKeyEventMonitor;
using Target = SimKeyEventMonitor::Target;

constexpr std::int64_t kOwnProcess = 4242;
constexpr DeviceId kPad = 7;
constexpr DeviceId kOtherPad = 8;
constexpr std::uint16_t kKeyA = 0;

class TypingActivityMonitorTest : public ::testing::Test {
protected:
    test::SimTime time;
    SimKeyEventMonitor keys;
    sim::SimAccessibilityTrust trust;
    bool protectionOn = true;
    int typingCalls = 0;
    TypingActivityMonitor monitor{
        time.clock, keys, trust, kOwnProcess, [this] { return protectionOn; }, [this] { ++typingCalls; }};

    void typeAt(double t, const InputEvent& event, Target target = Target::ownWindow) {
        time.advanceTo(t);
        keys.press(event, target);
    }
    void typeAt(double t, std::uint16_t keyCode = kKeyA, std::uint64_t flags = 0) {
        typeAt(t, SimKeyEventMonitor::userKeyDown(keyCode, flags));
    }
    bool touchAt(double t, DeviceId device = kPad, bool touching = true) {
        time.advanceTo(t);
        return monitor.shouldSuppress(device, touching);
    }
};

TEST_F(TypingActivityMonitorTest, ATouchSoonAfterTypingIsIgnoredUntilTheFingersLift) {
    monitor.start();
    typeAt(10.0);
    EXPECT_EQ(typingCalls, 1);

    EXPECT_TRUE(touchAt(10.5));
    // Still the same contact, long after the window: stays ignored.
    EXPECT_TRUE(touchAt(12.0));
    // The frame in which the fingers lift is ignored too, then the pad is free.
    EXPECT_TRUE(touchAt(12.1, kPad, false));
    EXPECT_TRUE(monitor.policy().blockedDevices.empty());
    EXPECT_FALSE(touchAt(12.2, kPad, false));
    EXPECT_FALSE(touchAt(12.3));
}

TEST_F(TypingActivityMonitorTest, ATouchOutsideTheWindowIsAccepted) {
    monitor.start();
    typeAt(10.0);
    EXPECT_FALSE(touchAt(10.7));
    EXPECT_TRUE(monitor.policy().blockedDevices.empty());
}

TEST_F(TypingActivityMonitorTest, TheWindowEndsBeforeSixTenthsOfASecond) {
    monitor.start();
    typeAt(0.0);
    EXPECT_TRUE(touchAt(0.59, kOtherPad));
    EXPECT_FALSE(touchAt(0.6, kPad));
}

TEST_F(TypingActivityMonitorTest, OnlyTypingKeysWithoutCommandOrControlCount) {
    struct Case {
        const char* name;
        std::uint16_t keyCode;
        std::uint64_t flags;
        bool counts;
    };
    const Case cases[] = {
        {"a", 0, 0, true},
        {"Shift-a", 0, 0x20000, true},
        {"Option-e", 14, 0x80000, true},
        {"Space", 49, 0, true},
        {"grave", 50, 0, true},
        {"Delete", 51, 0, true},
        {"keypad 5", 87, 0, true},
        {"JIS key", 93, 0, true},
        {"Forward Delete", 117, 0, true},
        {"Left arrow", 123, 0, true},
        {"Up arrow", 126, 0, true},
        {"Command-C", 8, 0x100000, false},
        {"Control-A", 0, 0x40000, false},
        {"Command-Shift-Left", 123, 0x120000, false},
        {"Escape", 53, 0, false},
        {"Command key", 55, 0, false},
        {"F1", 122, 0, false},
        {"F5", 96, 0, false},
        {"Help", 114, 0, false},
        {"unlisted code 66", 66, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TypingActivityMonitor fresh(
            time.clock, keys, trust, kOwnProcess, [] { return true; }, [] {});
        time.advanceBy(5);
        fresh.handleKeyDown(SimKeyEventMonitor::userKeyDown(c.keyCode, c.flags));
        EXPECT_EQ(fresh.policy().lastTypingAt == time.clock.uptime(), c.counts);
        EXPECT_EQ(fresh.shouldSuppress(kPad, true), c.counts);
    }
}

TEST_F(TypingActivityMonitorTest, OurOwnSynthesisedKeysNeverCount) {
    monitor.start();
    InputEvent byProcess = SimKeyEventMonitor::userKeyDown(kKeyA);
    byProcess.origin = EventOrigin::otherProcess;
    byProcess.sourceProcessId = kOwnProcess;
    InputEvent byOrigin = SimKeyEventMonitor::userKeyDown(kKeyA);
    byOrigin.origin = EventOrigin::ownProcess;
    InputEvent byVirtualDevice = SimKeyEventMonitor::userKeyDown(kKeyA);
    byVirtualDevice.origin = EventOrigin::ownVirtualDevice;
    InputEvent byMarker = SimKeyEventMonitor::userKeyDown(kKeyA);
    byMarker.origin = EventOrigin::otherProcess;
    byMarker.sourceProcessId = 99;
    byMarker.userData = kShortcutEventMarker;

    for (const InputEvent& event : {byProcess, byOrigin, byVirtualDevice, byMarker}) {
        typeAt(time.clock.uptime() + 1, event);
        EXPECT_FALSE(monitor.shouldSuppress(kPad, true));
    }
    EXPECT_EQ(typingCalls, 0);
    EXPECT_EQ(monitor.policy().lastTypingAt, -std::numeric_limits<double>::infinity());

    // Another program's synthesised key is the user's doing and counts.
    InputEvent otherProgram = SimKeyEventMonitor::userKeyDown(kKeyA);
    otherProgram.origin = EventOrigin::otherProcess;
    otherProgram.sourceProcessId = 99;
    typeAt(time.clock.uptime() + 1, otherProgram);
    EXPECT_EQ(typingCalls, 1);

    // An adapter that says nothing about the origin delivers the user's key.
    InputEvent unstated;
    unstated.type = InputEvent::Type::keyDown;
    unstated.keyCode = kKeyA;
    typeAt(time.clock.uptime() + 1, unstated);
    EXPECT_EQ(typingCalls, 2);
}

TEST_F(TypingActivityMonitorTest, KeysOfOtherApplicationsCountOnlyWithAccessibilityTrust) {
    monitor.start();
    EXPECT_TRUE(monitor.hasLocalMonitor());
    EXPECT_FALSE(monitor.hasGlobalMonitor());
    EXPECT_EQ(keys.globalMonitors(), 0);
    typeAt(1.0, SimKeyEventMonitor::userKeyDown(kKeyA), Target::otherApplication);
    EXPECT_EQ(typingCalls, 0);

    // Granted while running: takes effect at the next reinstall.
    trust.setTrusted(true);
    monitor.installGlobalMonitor();
    EXPECT_EQ(keys.globalMonitors(), 1);
    typeAt(2.0, SimKeyEventMonitor::userKeyDown(kKeyA), Target::otherApplication);
    EXPECT_EQ(typingCalls, 1);

    // Reinstalling replaces the monitor rather than adding a second one.
    monitor.installGlobalMonitor();
    EXPECT_EQ(keys.globalMonitors(), 1);
    EXPECT_EQ(keys.globalInstallCount(), 2);

    trust.setTrusted(false);
    monitor.installGlobalMonitor();
    EXPECT_EQ(keys.globalMonitors(), 0);
    EXPECT_FALSE(monitor.hasGlobalMonitor());
}

TEST_F(TypingActivityMonitorTest, StartWithTrustWatchesBothAndStopRemovesBothAndForgets) {
    trust.setTrusted(true);
    monitor.start();
    monitor.start();
    EXPECT_EQ(keys.localMonitors(), 1);
    EXPECT_EQ(keys.globalMonitors(), 1);

    typeAt(1.0);
    EXPECT_TRUE(touchAt(1.2));
    monitor.stop();
    EXPECT_EQ(keys.localMonitors(), 0);
    EXPECT_EQ(keys.globalMonitors(), 0);
    EXPECT_EQ(monitor.policy(), TypingProtectionPolicy{});

    typeAt(2.0);
    EXPECT_EQ(typingCalls, 1);
}

TEST_F(TypingActivityMonitorTest, SwitchingProtectionOffReleasesBlockedDevicesAtOnce) {
    monitor.start();
    typeAt(1.0);
    EXPECT_TRUE(touchAt(1.1));
    EXPECT_TRUE(touchAt(1.1, kOtherPad));

    protectionOn = false;
    EXPECT_FALSE(touchAt(1.2));
    EXPECT_TRUE(monitor.policy().blockedDevices.empty());
    EXPECT_FALSE(touchAt(1.2, kOtherPad));
    typeAt(1.3);
    EXPECT_EQ(typingCalls, 1);

    // Back on: the earlier contact is not blocked again, but the last
    // counted key still protects a new one.
    protectionOn = true;
    EXPECT_TRUE(touchAt(1.4));
}

TEST_F(TypingActivityMonitorTest, ABurstOfKeysCallsOnTypingOnceAtItsFirstKey) {
    monitor.start();
    for (double t : {1.0, 1.3, 1.6, 1.9, 2.2}) typeAt(t);
    EXPECT_EQ(typingCalls, 1);
    EXPECT_EQ(monitor.policy().lastTypingAt, 2.2);
    // A pause of 0.6 s or more starts a new burst.
    typeAt(2.9);
    EXPECT_EQ(typingCalls, 2);
    // Non-counting keys neither start nor extend a burst.
    typeAt(3.0, 53);
    EXPECT_EQ(monitor.policy().lastTypingAt, 2.9);
}

TEST_F(TypingActivityMonitorTest, DestroyingTheMonitorRemovesItsMonitors) {
    trust.setTrusted(true);
    {
        TypingActivityMonitor scoped(
            time.clock, keys, trust, kOwnProcess, [] { return true; }, [] {});
        scoped.start();
        EXPECT_EQ(keys.localMonitors(), 1);
    }
    EXPECT_EQ(keys.localMonitors(), 0);
    EXPECT_EQ(keys.globalMonitors(), 0);
    keys.press(SimKeyEventMonitor::userKeyDown(kKeyA), Target::ownWindow);
}

}  // namespace
}  // namespace glidra
