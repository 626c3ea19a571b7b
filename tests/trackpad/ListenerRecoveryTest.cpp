// The listener recovery with the real controller, bridge and event log on
// the sim platform, on the manual clock.

#include "bridge/MultitouchBridge.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimMultitouchDeviceRegistry.h"
#include "platform/sim/SimMultitouchFramework.h"
#include "platform/sim/SimPointerPosition.h"
#include "platform/sim/SimSystemEvents.h"
#include "support/ControllerHarness.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "trackpad/TrackpadListenerRecovery.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

namespace glidra {
namespace {

using sim::SimMouseButtonMonitor;
using State = TrackpadConnectionState;

const QString kConnected = QStringLiteral("触控板已连接");
const QString kWaiting = QStringLiteral("等待触控板连接，将自动重试；也可手动重新连接。");
constexpr double kStart = 100;

// The system around the controller; declared before the controller so that
// the recovery it owns goes first.
struct RecoveryPlatform {
    sim::SimMultitouchFramework framework;
    sim::SimMultitouchDeviceRegistry registry{framework};
    sim::SimSystemEvents events;
    sim::SimPointerPosition pointer;
};

class ListenerRecoveryTest : public ::testing::Test {
protected:
    RecoveryPlatform platform;
    sim::SimMultitouchFramework& framework = platform.framework;
    sim::SimMultitouchDeviceRegistry& registry = platform.registry;
    sim::SimSystemEvents& events = platform.events;
    sim::SimPointerPosition& pointer = platform.pointer;
    test::ControllerHarness h;
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge{framework, displays, h.time.clock};
    TrackpadController& c = *h.controller;
    TrackpadListenerRecovery* recovery = nullptr;
    // When each start of listening happened.
    std::vector<double> starts;

    ListenerRecoveryTest() {
        MultitouchBridge::setShared(&bridge);
        TrackpadController::setShared(&c);
        h.makeRecovery = [this](TrackpadController& controller) {
            auto made = TrackpadListenerRecovery::forController(
                controller, {h.time.clock, h.time.scheduler, events, h.mouseButtons, pointer, registry});
            recovery = made.get();
            return made;
        };
        // Every start stops first, and only starts and stops advance it.
        QObject::connect(&c, &TrackpadController::generationChanged, &c,
                         [this] { starts.push_back(h.time.clock.uptime()); });
        h.time.advanceTo(kStart);
    }

    double now() const { return h.time.clock.uptime(); }
    void advanceTo(double t) { h.time.advanceTo(t); }

    void touch(MultitouchDevice device) {
        framework.deliver(device, {{1, 4, 0.5f, 0.5f, 50}}, now());
        test::SimTime::drain();
    }

    // The logged lines and their events, once everything recorded is written.
    QList<QByteArray> loggedLines() const {
        if (recovery == nullptr) return {};
        recovery->eventLog().waitForWrites();
        QFile file(recovery->eventLog().path());
        if (!file.open(QIODevice::ReadOnly)) return {};
        QList<QByteArray> lines = file.readAll().split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    QStringList logged() const {
        QStringList names;
        for (const QByteArray& line : loggedLines()) {
            names.append(QJsonDocument::fromJson(line).object().value(QStringLiteral("event")).toString());
        }
        return names;
    }
    static QByteArray line(const char* event, bool listening, const char* time) {
        return QByteArray("{\"build\":\"") + TrackpadController::bundleBuildVersion().toUtf8() + "\",\"event\":\"" +
               event + "\",\"listening\":" + (listening ? "true" : "false") + ",\"time\":\"" + time + "\"}";
    }
};

// --- retries -------------------------------------------------------------------------

TEST_F(ListenerRecoveryTest, WithoutADeviceFailedStartsAreRetriedAfterTwoFourAndSixSecondsThenItWaits) {
    c.toggleEnabled();
    ASSERT_NE(recovery, nullptr);
    EXPECT_FALSE(c.isListening());
    EXPECT_EQ(c.connectionState(), State::reconnecting);

    const std::pair<double, std::size_t> checkpoints[] = {
        {101.99, 1}, {102, 2}, {105.99, 2}, {106, 3}, {111.99, 3}, {112, 4}, {200, 4},
    };
    for (const auto& [t, count] : checkpoints) {
        advanceTo(t);
        EXPECT_EQ(starts.size(), count) << "at " << t;
    }
    EXPECT_EQ(starts, (std::vector<double>{100, 102, 106, 112}));
    EXPECT_EQ(recovery->failures(), 4);
    EXPECT_FALSE(recovery->hasPendingReconnect()) << "from the fourth failure on, nothing is scheduled";
    EXPECT_EQ(c.connectionState(), State::disconnected) << "every heartbeat without a device says so";
    EXPECT_EQ(c.status(), kWaiting);
    EXPECT_EQ(logged(), (QStringList{"start", "connection_failed", "connection_failed", "connection_failed",
                                     "connection_failed"}));
}

TEST_F(ListenerRecoveryTest, WithADeviceThatWillNotStartTheHeartbeatRetriesAtMostEveryFiveSeconds) {
    const auto device = framework.addDevice();
    framework.setStartFails(device, true);
    c.toggleEnabled();
    advanceTo(127);
    // The heartbeat's own attempt at 102 replaces the first retry; later ones
    // keep five seconds from the last attempt.
    EXPECT_EQ(starts, (std::vector<double>{100, 102.1, 106.1, 108.1, 114.1, 120.1, 126.1}));
    EXPECT_EQ(c.connectionState(), State::reconnecting);

    // Once it starts, the retries end.
    framework.setStartFails(device, false);
    advanceTo(133);
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(starts.back(), 132.1);
    advanceTo(160);
    EXPECT_EQ(starts.back(), 132.1);
    EXPECT_EQ(c.connectionState(), State::idle);
}

// The first failure says why nothing could be listened to; the retries that
// fail the same way add nothing to the warnings.
TEST_F(ListenerRecoveryTest, AFailedStartSaysWhyNoTouchpadCouldBeListenedTo) {
    using Unreadable = MultitouchDeviceRegistry::UnreadableDevice;
    struct Case {
        const char* what;
        std::vector<Unreadable> unreadable;
        bool queryFails;
        bool startFails;
        QString warning;
    };
    const Case cases[] = {
        {"no touchpad at all",
         {},
         false,
         false,
         QStringLiteral("cannot start listening to a touchpad: no touchpad found; listening starts when one is "
                        "connected")},
        {"a touchpad without access",
         {{"/dev/input/event5", "SynPS/2 Synaptics TouchPad", EACCES}},
         false,
         false,
         QStringLiteral("cannot start listening to a touchpad: cannot open /dev/input/event5 (SynPS/2 Synaptics "
                        "TouchPad): %1 (the touchpad access is missing: see the input-access udev rules); trying "
                        "again")
             .arg(QString::fromLocal8Bit(std::strerror(EACCES)))},
        {"two that fail for other reasons",
         {{"/dev/input/event5", "Pad A", ENODEV}, {"/dev/input/event9", "Pad B", EIO}},
         false,
         false,
         QStringLiteral("cannot start listening to a touchpad: cannot open /dev/input/event5 (Pad A): %1; cannot "
                        "open /dev/input/event9 (Pad B): %2; trying again")
             .arg(QString::fromLocal8Bit(std::strerror(ENODEV)), QString::fromLocal8Bit(std::strerror(EIO)))},
        {"no udev to ask",
         {},
         true,
         false,
         QStringLiteral("cannot start listening to a touchpad: the input devices cannot be listed (no udev, or no "
                        "/sys); trying again")},
        {"a touchpad that opens but will not start",
         {},
         false,
         true,
         QStringLiteral("cannot start listening to a touchpad: the touchpad did not start; trying again")},
    };
    for (const Case& failure : cases) {
        SCOPED_TRACE(failure.what);
        registry.setUnreadable(failure.unreadable);
        registry.setQueryFails(failure.queryFails);
        const MultitouchDevice device = failure.startFails ? framework.addDevice() : nullptr;
        if (device) framework.setStartFails(device, true);
        test::LogCapture log;
        // The user's own reconnect starts the count of failures afresh.
        if (c.isEnabled()) {
            c.reconnect();
        } else {
            c.toggleEnabled();
        }
        advanceTo(now() + 20);
        EXPECT_EQ(log.texts("glidra.recovery"), QStringList{failure.warning});
        if (device) framework.removeDevice(device);
    }
}

TEST_F(ListenerRecoveryTest, AManualReconnectClearsTheFailuresAndHoldsTheHeartbeatBack) {
    c.toggleEnabled();
    advanceTo(103);
    ASSERT_EQ(recovery->failures(), 2);
    ASSERT_TRUE(recovery->hasPendingReconnect());
    const auto device = framework.addDevice();
    c.reconnect();
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(recovery->failures(), 0);
    EXPECT_FALSE(recovery->hasPendingReconnect());
    EXPECT_EQ(recovery->policy().lastAttempt, 103);
    EXPECT_EQ(logged().mid(3), (QStringList{"manual_reconnect", "connected"}));
    touch(device);
    EXPECT_EQ(c.connectionState(), State::active);
}

// --- devices -------------------------------------------------------------------------

TEST_F(ListenerRecoveryTest, DevicesArrivingAndLeavingRestartListeningAfterTheySettle) {
    c.toggleEnabled();
    advanceTo(101);
    const auto device = registry.plugIn().front();
    EXPECT_EQ(c.connectionState(), State::reconnecting);
    EXPECT_EQ(recovery->failures(), 0);
    // Soon enough for the first touch on it.
    advanceTo(101.09);
    EXPECT_FALSE(c.isListening());
    advanceTo(101.1);
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(c.status(), kConnected);
    EXPECT_EQ(c.connectionState(), State::idle);
    touch(device);
    EXPECT_EQ(c.connectionState(), State::active);

    advanceTo(110);
    registry.pullOut(device);
    advanceTo(110.1);
    EXPECT_FALSE(c.isListening());
    EXPECT_EQ(c.status(), kWaiting);
    advanceTo(112);
    EXPECT_EQ(c.connectionState(), State::disconnected);

    advanceTo(120);
    registry.plugIn();
    advanceTo(120.1);
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(c.status(), kConnected);
    EXPECT_EQ(logged(), (QStringList{"start", "connection_failed", "device_changed", "connected", "device_changed",
                                     "connection_failed", "connection_failed", "connection_failed", "device_changed",
                                     "connected"}));
}

TEST_F(ListenerRecoveryTest, AVanishedDeviceThatNobodyAnnouncedIsFoundByTheHeartbeat) {
    // The system refuses device notifications: only the heartbeat can tell.
    registry.setSubscribeFails(true);
    const auto device = framework.addDevice();
    c.toggleEnabled();
    ASSERT_TRUE(c.isListening());
    ASSERT_EQ(c.status(), kConnected);
    framework.removeDevice(device);
    advanceTo(102);
    EXPECT_FALSE(c.isListening());
    EXPECT_FALSE(framework.isStarted(device));
    EXPECT_EQ(c.connectionState(), State::disconnected);
    EXPECT_EQ(c.status(), kWaiting) << "no longer claims the trackpad is connected";
    EXPECT_EQ(c.menuStatusText(), QStringLiteral("等待触控板连接"));
    advanceTo(120);
    const QList<QByteArray> lines = loggedLines();
    ASSERT_EQ(lines.size(), 3) << "logged once, not on every heartbeat";
    EXPECT_EQ(lines[2], line("device_missing", true, "2026-01-01T00:01:42Z"));
    EXPECT_EQ(c.connectionState(), State::disconnected);
}

// --- sleep and wake ------------------------------------------------------------------

TEST_F(ListenerRecoveryTest, SleepStopsListeningAndDropsTheOldFramesAndEveryKindOfWakeRestarts) {
    const std::pair<const char*, std::function<void(sim::SimSystemEvents&)>> wakes[] = {
        {"wake", &sim::SimSystemEvents::wake},
        {"screens", &sim::SimSystemEvents::wakeScreens},
        {"session", &sim::SimSystemEvents::activateSession},
    };
    const auto device = framework.addDevice();
    c.toggleEnabled();
    for (const auto& [name, wake] : wakes) {
        SCOPED_TRACE(name);
        const double t = now();
        touch(device);
        ASSERT_EQ(c.connectionState(), State::active);
        const quint64 before = c.generation();

        events.sleep();
        EXPECT_TRUE(recovery->isSleeping());
        EXPECT_FALSE(c.isListening());
        EXPECT_FALSE(framework.isStarted(device));
        EXPECT_EQ(c.connectionState(), State::reconnecting);
        EXPECT_EQ(c.status(), kWaiting);

        // A frame handed over just before the stop arrives afterwards.
        const TouchPoint contact{1, 0.5f, 0.5f, 50};
        TrackpadController::contactFrameCallbackThunk(device, &contact, 1, before, now());
        test::SimTime::drain();
        EXPECT_EQ(c.connectionState(), State::reconnecting);
        EXPECT_TRUE(c.deviceState().activeDevices.empty());

        // Asleep, the heartbeat neither reports nor restarts.
        const std::size_t startsAsleep = starts.size();
        const qsizetype linesAsleep = loggedLines().size();
        advanceTo(t + 30);
        EXPECT_EQ(starts.size(), startsAsleep);
        EXPECT_EQ(loggedLines().size(), linesAsleep);
        EXPECT_EQ(c.connectionState(), State::reconnecting);

        wake(events);
        EXPECT_FALSE(recovery->isSleeping());
        advanceTo(t + 30.69);
        EXPECT_FALSE(c.isListening());
        advanceTo(t + 30.7);
        EXPECT_TRUE(c.isListening());
        EXPECT_EQ(c.status(), kConnected);
        touch(device);
        EXPECT_EQ(c.connectionState(), State::active) << "frames of the new period are taken";
        advanceTo(t + 31);
    }
    EXPECT_EQ(logged(), (QStringList{"start", "connected", "sleep", "wake", "connected", "sleep", "wake", "connected",
                                     "sleep", "wake", "connected"}));
}

TEST_F(ListenerRecoveryTest, TheHeartbeatTellsActiveFromIdleByTheAgeOfTheLastFrame) {
    const auto device = framework.addDevice();
    c.toggleEnabled();
    advanceTo(101);
    touch(device);
    c.setConnectionState(State::idle);
    advanceTo(102);
    EXPECT_EQ(c.connectionState(), State::active) << "1 s old";
    advanceTo(104);
    EXPECT_EQ(c.connectionState(), State::idle) << "3 s old";
}

// --- stalls --------------------------------------------------------------------------

class StallTest : public ListenerRecoveryTest {
protected:
    MultitouchDevice device = nullptr;

    void SetUp() override {
        device = framework.addDevice();
        c.toggleEnabled();
        ASSERT_TRUE(c.isListening());
    }
};

TEST_F(StallTest, APointerThatMovesWhileNoFrameComesRestartsListening) {
    advanceTo(102);
    EXPECT_EQ(pointer.reads(), 1);
    pointer.moveBy(30, 0);
    advanceTo(104);
    EXPECT_TRUE(recovery->hasPendingReconnect());
    EXPECT_EQ(recovery->policy().lastAttempt, 104);
    advanceTo(104.59);
    EXPECT_EQ(starts.size(), 1u);
    advanceTo(104.6);
    EXPECT_EQ(starts, (std::vector<double>{100, 104.6}));
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(logged(), (QStringList{"start", "connected", "stream_stall", "connected"}));
    EXPECT_EQ(loggedLines()[2], line("stream_stall", true, "2026-01-01T00:01:44Z"));
}

TEST_F(StallTest, FramesThatArriveBeforeTheConfirmationCancelIt) {
    advanceTo(102);
    pointer.moveBy(30, 0);
    advanceTo(104);
    ASSERT_TRUE(recovery->hasPendingReconnect());
    advanceTo(104.3);
    touch(device);
    advanceTo(105);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(logged(), (QStringList{"start", "connected"}));
}

TEST_F(StallTest, TouchesBetweenTwoReadingsWhoseFramesCameAreNoStallAndOnesWithoutFramesAre) {
    // Someone who taps now and then: each touch moves the pointer, its frames
    // reach the bridge, and it ends 1.1 s before the next heartbeat reads the
    // pointer again (and so after a check would have been confirmed).
    for (double t = 102.9; t < 130; t += 2) {
        advanceTo(t);
        touch(device);
        pointer.moveBy(30, 0);
    }
    advanceTo(130);
    EXPECT_EQ(pointer.reads(), 15) << "every heartbeat read it: the frames were old each time";
    EXPECT_FALSE(recovery->hasPendingReconnect());
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(logged(), (QStringList{"start", "connected"}));

    // Then the pointer moves while no frame comes.
    advanceTo(131);
    pointer.moveBy(30, 0);
    advanceTo(132.6);
    EXPECT_EQ(starts, (std::vector<double>{100, 132.6}));
    EXPECT_EQ(logged(), (QStringList{"start", "connected", "stream_stall", "connected"}));
}

TEST_F(StallTest, ThePointerIsReadOnlyWhileFramesStayAwayAndAQuietOneNeverTriggers) {
    // Frames keep coming: nothing is suspected, the pointer is not read.
    for (double t = 100.5; t <= 110; t += 0.5) {
        advanceTo(t);
        touch(device);
        pointer.moveBy(5, 5);
    }
    EXPECT_EQ(pointer.reads(), 0);

    // Frames stop, but a desktop that keeps the pointer to itself never
    // shows it moving.
    pointer.setAvailable(false);
    advanceTo(130);
    EXPECT_GT(pointer.reads(), 0);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_FALSE(logged().contains(QStringLiteral("stream_stall")));
}

TEST_F(StallTest, NoCheckWithinASecondOfTheStartNorWithinFiveOfTheLastAttempt) {
    const auto pressAt = [this](double t) {
        advanceTo(t);
        h.mouseButtons.click(SimMouseButtonMonitor::userButton(InputEvent::Type::leftMouseDown));
        return recovery->hasPendingReconnect();
    };
    EXPECT_FALSE(pressAt(100.5));
    EXPECT_TRUE(pressAt(101));
    advanceTo(101.6);
    EXPECT_EQ(starts.size(), 2u);
    // The stamp of that attempt holds the next check back.
    EXPECT_FALSE(pressAt(105.9));
    EXPECT_TRUE(pressAt(106));
}

// A wake or a device change reconnects at once, and counts as the last
// attempt: the stall check waits five seconds after it too.
TEST_F(StallTest, WakesAndDeviceChangesHoldTheCheckBackFiveSeconds) {
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"wake", [this] { events.wake(); }},
        {"screens", [this] { events.wakeScreens(); }},
        {"session", [this] { events.activateSession(); }},
        {"device change", [this] { registry.plugIn(); }},
    };
    const auto pressAt = [this](double t) {
        advanceTo(t);
        h.mouseButtons.click(SimMouseButtonMonitor::userButton(InputEvent::Type::leftMouseDown));
        return recovery->hasPendingReconnect();
    };
    double t = 110;
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        advanceTo(t);
        change();
        EXPECT_EQ(recovery->policy().lastAttempt, t);
        advanceTo(t + 1);
        ASSERT_TRUE(c.isListening());
        EXPECT_FALSE(pressAt(t + 4.9));
        EXPECT_TRUE(pressAt(t + 5));
        advanceTo(t + 6);
        t += 10;
    }
}

// Only a press of the touchpad's own button by the user's hardware is a sign
// of a finger on the touchpad.
struct PressCase {
    const char* name;
    InputEvent event;
    bool checks;
};

InputEvent press(InputEvent::Type type, bool fromTouchpad = true) {
    return SimMouseButtonMonitor::userButton(type, fromTouchpad);
}

InputEvent changed(InputEvent event, const std::function<void(InputEvent&)>& change) {
    change(event);
    return event;
}

class StallPressTest : public StallTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(StallPressTest, OnlyTheUsersTouchpadPressesStartTheCheck) {
    advanceTo(102);
    h.mouseButtons.click(GetParam().event);
    EXPECT_EQ(recovery->hasPendingReconnect(), GetParam().checks);
}

INSTANTIATE_TEST_SUITE_P(Presses, StallPressTest,
                         ::testing::Values(PressCase{"touchpadLeft", press(InputEvent::Type::leftMouseDown), true},
                                           PressCase{"touchpadRight", press(InputEvent::Type::rightMouseDown), true},
                                           PressCase{"touchpadRelease", press(InputEvent::Type::leftMouseUp), false},
                                           PressCase{"mouse", press(InputEvent::Type::leftMouseDown, false), false},
                                           PressCase{"ownProcess",
                                                     changed(press(InputEvent::Type::leftMouseDown),
                                                             [](InputEvent& e) { e.origin = EventOrigin::ownProcess; }),
                                                     false},
                                           PressCase{"otherProcess",
                                                     changed(press(InputEvent::Type::leftMouseDown),
                                                             [](InputEvent& e) { e.sourceProcessId = 4242; }),
                                                     false}),
                         [](const ::testing::TestParamInfo<PressCase>& info) { return std::string(info.param.name); });

// --- start, stop and termination ---------------------------------------------------

TEST_F(ListenerRecoveryTest, StopIsLoggedOnlyWhenTheRecoveryRan) {
    const auto device = framework.addDevice();
    TrackpadListenerRecovery& built = static_cast<TrackpadListenerRecovery&>(c.listenerRecovery());
    built.stop();
    built.eventLog().waitForWrites();
    EXPECT_FALSE(QFile::exists(built.eventLog().path())) << "never started: nothing written";

    c.toggleEnabled();
    EXPECT_EQ(h.mouseButtons.globalMonitors(), 2) << "the click monitor and the recovery";
    c.toggleEnabled();
    EXPECT_FALSE(recovery->isRunning());
    EXPECT_EQ(h.mouseButtons.globalMonitors() + h.mouseButtons.localMonitors(), 0);
    EXPECT_EQ(registry.subscriptionCount(), 0);
    advanceTo(120);
    registry.pullOut(device);
    events.wake();
    advanceTo(130);
    EXPECT_EQ(logged(), (QStringList{"start", "connected", "stop"})) << "stopped, it hears nothing";
    EXPECT_EQ(c.connectionState(), State::paused);
}

TEST_F(ListenerRecoveryTest, TerminationStopsTheRecoveryAndThenListening) {
    const auto device = framework.addDevice();
    c.toggleEnabled();
    events.terminate();
    EXPECT_FALSE(recovery->isRunning());
    EXPECT_FALSE(c.isListening());
    EXPECT_FALSE(framework.isStarted(device));
    EXPECT_TRUE(c.isEnabled()) << "the next launch resumes control";
    EXPECT_EQ(logged(), (QStringList{"start", "connected", "stop"}));
    EXPECT_EQ(h.time.scheduler.pendingCount(), 0u);
}

}  // namespace
}  // namespace glidra
