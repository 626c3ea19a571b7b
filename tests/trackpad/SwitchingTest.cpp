#include "bridge/MultitouchBridge.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimMultitouchFramework.h"
#include "support/ControllerHarness.h"
#include "support/QtPrinters.h"
#include "trackpad/TrackpadClickMonitor.h"
#include "trackpad/TypingActivityMonitor.h"

#include <gtest/gtest.h>
#include <QCoro/QCoroTask>

#include <limits>
#include <optional>

namespace glidra {

struct TrackpadControllerListeningTestAccess {
    static void setGeneration(TrackpadController& c, quint64 generation) { c.generation_ = generation; }
};

namespace {

using sim::SimKeyEventMonitor;

const QString kConnected = QStringLiteral("触控板已连接");
const QString kWaiting = QStringLiteral("等待触控板连接，将自动重试；也可手动重新连接。");
const QString kPaused = QStringLiteral("已暂停");

QCoro::Task<void> waitInAction(Scheduler* scheduler, CancellationToken token, std::optional<bool>* completed) {
    const bool slept = co_await scheduler->sleep(10, token);
    *completed = slept;
}

class SwitchingTest : public ::testing::Test {
protected:
    test::ControllerHarness h;
    sim::SimMultitouchFramework framework;
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge{framework, displays, h.time.clock};
    TrackpadController& c = *h.controller;

    SwitchingTest() {
        MultitouchBridge::setShared(&bridge);
        TrackpadController::setShared(h.controller.get());
        h.frontmost.setBundleIdentifier(QStringLiteral("com.example.editor"));
    }

    MultitouchDevice addTrackpad() { return framework.addDevice(); }
    void touch(MultitouchDevice device, float x = 0.5f) {
        framework.deliver(device, {{1, 4, x, 0.5f, 50}}, h.time.clock.uptime());
        test::SimTime::drain();
    }
    // Logs a controller signal into the shared call log, so its place among
    // the collaborators' calls shows.
    template <typename Signal>
    void logSignal(Signal signal, const QString& name) {
        QObject::connect(&c, signal, &c, [this, name] { h.log.add(name); });
    }
};

TEST_F(SwitchingTest, StartingToListenWhileControlIsOffDoesNothing) {
    addTrackpad();
    c.startListening();
    EXPECT_EQ(c.generation(), 0u);
    EXPECT_FALSE(c.isListening());
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::paused);
    EXPECT_EQ(c.status(), QStringLiteral("点击启用后，在触控板上操作。"));
    EXPECT_TRUE(h.log.calls.isEmpty()) << h.log.calls.join(QLatin1Char(','));
    EXPECT_TRUE(framework.log().empty());
    EXPECT_FALSE(c.hasListenerRecovery());
    EXPECT_EQ(h.mouseButtons.installCount(), 0);
}

TEST_F(SwitchingTest, SwitchingOnStartsTypingMonitorRecoveryAndListening) {
    const auto device = addTrackpad();
    c.toggleEnabled();
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isListening());
    EXPECT_TRUE(framework.isStarted(device));
    EXPECT_EQ(c.generation(), 1u);
    EXPECT_EQ(c.status(), kConnected);
    EXPECT_EQ(c.currentApplicationID(), QStringLiteral("com.example.editor"));
    // The recovery's report sets idle; the fake leaves it where the start put it.
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::reconnecting);
    EXPECT_TRUE(h.settings.restoreEnabled());
    EXPECT_EQ(h.mouseButtons.localMonitors(), 1);
    EXPECT_EQ(h.mouseButtons.globalMonitors(), 1);
    EXPECT_EQ(h.keyEvents.localMonitors(), 1);
    EXPECT_EQ(h.keyEvents.globalMonitors(), 0) << "not trusted for Accessibility";
    const auto start = h.log.calls.indexOf(QStringLiteral("recovery.start"));
    ASSERT_GE(start, 0);
    EXPECT_LT(start, h.log.calls.indexOf(QStringLiteral("cancelWindowScreenshot")));
    EXPECT_EQ(h.log.calls.last(), QStringLiteral("recovery.reportListening(1)"));

    // Frames of the new period reach the frame handler.
    touch(device);
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::active);
}

TEST_F(SwitchingTest, WithoutATrackpadControlIsOnButWaits) {
    c.toggleEnabled();
    EXPECT_TRUE(c.isEnabled());
    EXPECT_FALSE(c.isListening());
    EXPECT_EQ(c.status(), kWaiting);
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::reconnecting);
    EXPECT_EQ(h.log.calls.last(), QStringLiteral("recovery.reportListening(0)"));
    EXPECT_EQ(h.mouseButtons.installCount(), 0) << "no click monitor without listening";
    EXPECT_EQ(h.keyEvents.localMonitors(), 1);
    EXPECT_TRUE(h.settings.restoreEnabled());
}

TEST_F(SwitchingTest, EveryStartAdvancesTheGenerationAndDropsFramesOfTheLastPeriod) {
    const auto device = addTrackpad();
    c.toggleEnabled();
    const quint64 first = c.generation();
    c.startListening();
    EXPECT_EQ(c.generation(), first + 1);
    EXPECT_EQ(framework.registrationCount(device), 1) << "a restart never registers twice";

    // A frame queued under the first generation arrives late.
    const TouchPoint contact{1, 0.5f, 0.5f, 50};
    TrackpadController::contactFrameCallbackThunk(device, &contact, 1, first, h.time.clock.uptime());
    test::SimTime::drain();
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::reconnecting);

    touch(device);
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::active);
}

TEST_F(SwitchingTest, TheGenerationWrapsAtTheSixtyFourBitLimit) {
    TrackpadControllerListeningTestAccess::setGeneration(c, std::numeric_limits<quint64>::max());
    c.stopListening();
    EXPECT_EQ(c.generation(), 0u);
}

TEST_F(SwitchingTest, RestoringSwitchesOnAtMostOncePerProcess) {
    addTrackpad();
    h.settings.setRestoreEnabled(true);
    c.restoreIfNeeded();
    EXPECT_TRUE(c.hasRestored());
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isListening());

    c.toggleEnabled();
    EXPECT_FALSE(h.settings.restoreEnabled());
    h.settings.setRestoreEnabled(true);
    c.restoreIfNeeded();
    EXPECT_FALSE(c.isEnabled());
    EXPECT_EQ(h.log.count(QStringLiteral("recovery.start")), 1);
}

TEST_F(SwitchingTest, RestoringNeverSwitchesOffControlThatIsAlreadyOn) {
    addTrackpad();
    h.settings.setRestoreEnabled(true);
    c.toggleEnabled();
    c.restoreIfNeeded();
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isListening());
}

TEST_F(SwitchingTest, RestoringLeavesControlOffWhenItWasOff) {
    c.restoreIfNeeded();
    EXPECT_TRUE(c.hasRestored());
    EXPECT_FALSE(c.isEnabled());
    EXPECT_TRUE(h.log.calls.isEmpty()) << h.log.calls.join(QLatin1Char(','));
}

TEST_F(SwitchingTest, ReconnectingWhileOffSwitchesOnAndAsksForThePairedTrackpad) {
    c.reconnect();
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(h.settings.restoreEnabled());
    EXPECT_EQ(h.log.count(QStringLiteral("recovery.manualReconnect")), 0);
    ASSERT_EQ(h.log.count(QStringLiteral("connector.connect")), 1);
    EXPECT_EQ(h.log.calls.last(), QStringLiteral("connector.connect"));
}

TEST_F(SwitchingTest, ReconnectingWhileOnRestartsThroughTheRecovery) {
    c.toggleEnabled();
    h.log.calls.clear();
    c.reconnect();
    EXPECT_EQ(h.log.calls.first(), QStringLiteral("recovery.manualReconnect"));
    EXPECT_EQ(h.log.calls.last(), QStringLiteral("connector.connect")) << "still no trackpad";

    // Once a trackpad is there, the restart finds it and nobody is asked.
    addTrackpad();
    h.log.calls.clear();
    c.reconnect();
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(h.log.count(QStringLiteral("connector.connect")), 0);
    EXPECT_EQ(h.log.calls.last(), QStringLiteral("recovery.reportListening(1)"));
    EXPECT_EQ(c.generation(), 3u);
}

TEST_F(SwitchingTest, SwitchingOffMidFlightStopsEverythingAndPauses) {
    const auto device = addTrackpad();
    c.toggleEnabled();
    touch(device);
    ASSERT_EQ(c.connectionState(), TrackpadConnectionState::active);
    h.executors.keyboardLocked = true;
    std::optional<bool> completed;
    c.actionTasks().run([this, &completed](CancellationToken token) {
        return waitInAction(&h.time.scheduler, std::move(token), &completed);
    });
    test::SimTime::drain();
    ASSERT_EQ(c.actionTasks().runningCount(), 1u);
    const quint64 epoch = c.actionEpoch();
    h.log.calls.clear();

    c.toggleEnabled();
    test::SimTime::drain();
    EXPECT_FALSE(c.isEnabled());
    EXPECT_FALSE(c.isListening());
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::paused);
    EXPECT_EQ(c.status(), kPaused);
    EXPECT_FALSE(h.settings.restoreEnabled());
    EXPECT_FALSE(h.executors.keyboardLocked);
    EXPECT_EQ(completed, false) << "the action's wait was cancelled";
    EXPECT_EQ(c.actionTasks().runningCount(), 0u);
    EXPECT_GT(c.actionEpoch(), epoch);
    EXPECT_FALSE(framework.isStarted(device));
    EXPECT_EQ(h.mouseButtons.localMonitors() + h.mouseButtons.globalMonitors(), 0);
    EXPECT_EQ(h.keyEvents.localMonitors(), 0);

    const QStringList& calls = h.log.calls;
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.first(), QStringLiteral("stopKeyboardLock"));
    EXPECT_LT(calls.indexOf(QStringLiteral("recovery.stop")), calls.indexOf(QStringLiteral("cancelWindowScreenshot")));
    EXPECT_EQ(h.log.count(QStringLiteral("hud.hide")), 1);
}

TEST_F(SwitchingTest, StoppingRunsItsStepsInOrderAndLeavesTheSwitchesAlone) {
    const auto device = addTrackpad();
    h.accessibilityTrust.setTrusted(true);
    c.toggleEnabled();
    touch(device);
    ASSERT_FALSE(c.screenshotLiveContacts().empty());
    h.time.advanceBy(1);
    h.keyEvents.press(SimKeyEventMonitor::userKeyDown(0), SimKeyEventMonitor::Target::otherApplication);
    const double typedAt = c.typingMonitor().policy().lastTypingAt;
    ASSERT_EQ(typedAt, h.time.clock.uptime());
    c.typingMonitor().blockDevice(5);
    const auto state = c.connectionState();
    const auto status = c.status();

    logSignal(&TrackpadController::generationChanged, QStringLiteral("generation+1"));
    logSignal(&TrackpadController::isListeningChanged, QStringLiteral("isListening=false"));
    logSignal(&TrackpadController::actionEpochChanged, QStringLiteral("actionEpoch+1"));
    bool contactsEmptiedBeforeGeneration = false;
    bool clickMonitorStillOnAtGeneration = false;
    QObject::connect(&c, &TrackpadController::generationChanged, &c, [&] {
        contactsEmptiedBeforeGeneration = c.screenshotLiveContacts().empty();
        clickMonitorStillOnAtGeneration = h.mouseButtons.globalMonitors() == 1;
    });
    bool stoppedBeforeListeningFlag = false;
    QObject::connect(&c, &TrackpadController::isListeningChanged, &c, [&] {
        stoppedBeforeListeningFlag = !framework.isStarted(device) && h.mouseButtons.globalMonitors() == 0 &&
                                     c.typingMonitor().policy().blockedDevices.empty();
    });
    h.log.calls.clear();

    c.stopListening();
    EXPECT_EQ(h.log.calls, (QStringList{
                               QStringLiteral("cancelWindowScreenshot"),
                               QStringLiteral("generation+1"),
                               QStringLiteral("hud.hide"),
                               QStringLiteral("isListening=false"),
                               QStringLiteral("endApplicationSwitcher(1)"),
                               QStringLiteral("actionEpoch+1"),
                               QStringLiteral("resetKeyboardBacklightStepper"),
                               QStringLiteral("releaseMouseDrag"),
                               QStringLiteral("resetMouseClickSequence"),
                               QStringLiteral("videoScrubber.reset"),
                           }));
    EXPECT_TRUE(contactsEmptiedBeforeGeneration);
    EXPECT_TRUE(clickMonitorStillOnAtGeneration);
    EXPECT_TRUE(stoppedBeforeListeningFlag);
    EXPECT_TRUE(c.isEnabled());
    EXPECT_EQ(c.connectionState(), state);
    EXPECT_EQ(c.status(), status);
    // The typing time stays, and so do the key monitors.
    EXPECT_EQ(c.typingMonitor().policy().lastTypingAt, typedAt);
    EXPECT_EQ(h.keyEvents.globalMonitors(), 1);
}

TEST_F(SwitchingTest, AStartSetsReconnectingFirstAndPicksUpNewlyGrantedTrust) {
    addTrackpad();
    c.toggleEnabled();
    c.setConnectionState(TrackpadConnectionState::active);
    EXPECT_EQ(h.keyEvents.globalMonitors(), 0);
    h.accessibilityTrust.setTrusted(true);
    h.frontmost.setBundleIdentifier(std::nullopt);
    logSignal(&TrackpadController::connectionStateChanged, QStringLiteral("connectionState"));
    h.log.calls.clear();

    c.startListening();
    EXPECT_EQ(h.log.calls.first(), QStringLiteral("connectionState"));
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::reconnecting);
    EXPECT_EQ(h.keyEvents.globalMonitors(), 1);
    EXPECT_EQ(h.keyEvents.localMonitors(), 1);
    EXPECT_EQ(c.currentApplicationID(), std::nullopt);
    EXPECT_EQ(h.mouseButtons.globalMonitors(), 1) << "reinstalled, never doubled";
}

TEST_F(SwitchingTest, APhysicalClickOfTheListenedTrackpadReachesTheGestureHandler) {
    using sim::SimMouseButtonMonitor;
    const auto device = addTrackpad();
    c.toggleEnabled();
    framework.deliver(device, {{1, 4, 0.4f, 0.5f, 50}, {2, 4, 0.6f, 0.5f, 50}}, h.time.clock.uptime());
    test::SimTime::drain();
    h.time.advanceBy(0.02);
    h.mouseButtons.click(SimMouseButtonMonitor::userButton(InputEvent::Type::leftMouseDown));
    EXPECT_EQ(c.clickMonitor().pressedDevice(), DeviceId(reinterpret_cast<quintptr>(device)));
    h.time.advanceBy(0.1);
    h.mouseButtons.click(SimMouseButtonMonitor::userButton(InputEvent::Type::leftMouseUp));
    h.time.advanceBy(0.05);
    EXPECT_EQ(c.lastRecognizedGesture(),
              (GestureDescriptor{GestureDescriptor::Kind::click, 2, GestureDescriptor::Direction::right, 1}.title()));
}

TEST_F(SwitchingTest, KeysTypedWhileOnBlockTheTouchingTrackpad) {
    const auto device = addTrackpad();
    c.toggleEnabled();
    touch(device);
    ASSERT_TRUE(c.deviceState().activeDevices.contains(DeviceId(reinterpret_cast<quintptr>(device))));
    h.keyEvents.press(SimKeyEventMonitor::userKeyDown(0), SimKeyEventMonitor::Target::ownWindow);
    EXPECT_TRUE(c.typingMonitor().policy().blockedDevices.contains(DeviceId(reinterpret_cast<quintptr>(device))));
    EXPECT_TRUE(c.deviceState().activeDevices.empty()) << "the typing callback resets gesture state";

    // Switched off, the monitor stops listening for keys and forgets.
    c.toggleEnabled();
    h.keyEvents.press(SimKeyEventMonitor::userKeyDown(0), SimKeyEventMonitor::Target::ownWindow);
    EXPECT_EQ(c.typingMonitor().policy(), TypingProtectionPolicy{});
}

}  // namespace
}  // namespace glidra
