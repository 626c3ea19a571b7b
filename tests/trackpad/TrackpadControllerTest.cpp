#include "support/ControllerHarness.h"
#include "support/QtPrinters.h"
#include "trackpad/GestureActivityPresenter.h"
#include "trackpad/TrackpadClickMonitor.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

#include <limits>

namespace glidra {

// Reaches the controller's private tables, so the reset can be checked on
// state the frame path would have left behind.
struct TrackpadControllerTestAccess {
    static TrackpadController::DeviceState& devices(TrackpadController& c) { return c.devices_; }
    static void setActionEpoch(TrackpadController& c, quint64 epoch) { c.actionEpoch_ = epoch; }
    static void setLiveContacts(TrackpadController& c, DeviceId device, TrackpadController::ContactIdentifiers ids) {
        c.screenshotLiveContacts_[device] = std::move(ids);
    }
};

namespace {

using Access = TrackpadControllerTestAccess;

TEST(TrackpadConnectionStateTest, TitlesSplitIntoConnectedAndNot) {
    EXPECT_EQ(title(TrackpadConnectionState::idle), QStringLiteral("已连接"));
    EXPECT_EQ(title(TrackpadConnectionState::active), title(TrackpadConnectionState::idle));
    for (auto state : {TrackpadConnectionState::paused, TrackpadConnectionState::reconnecting,
                       TrackpadConnectionState::disconnected}) {
        EXPECT_EQ(title(state), QStringLiteral("未连接"));
    }
}

TEST(TrackpadControllerTest, ANewControllerShowsItsDefaultsAndHasStartedNothing) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    EXPECT_EQ(c.status(), QStringLiteral("点击启用后，在触控板上操作。"));
    EXPECT_EQ(c.lastRecognizedGesture(), QStringLiteral("尚未识别手势"));
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::paused);
    EXPECT_FALSE(c.isEnabled());
    EXPECT_FALSE(c.isListening());
    EXPECT_EQ(c.generation(), 0u);
    EXPECT_EQ(c.actionEpoch(), 0u);
    EXPECT_EQ(c.lastPressureUpdate(), -std::numeric_limits<double>::infinity());
    EXPECT_FALSE(c.hasTypingMonitor());
    EXPECT_FALSE(c.hasClickMonitor());
    EXPECT_FALSE(c.hasListenerRecovery());
    EXPECT_TRUE(h.log.calls.isEmpty()) << h.log.calls.join(QLatin1Char(','));
    EXPECT_NE(h.hud, nullptr);
}

TEST(TrackpadControllerTest, LazyHelpersAreBuiltOnceAndKept) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    EXPECT_EQ(&c.typingMonitor(), &c.typingMonitor());
    EXPECT_EQ(&c.clickMonitor(), &c.clickMonitor());
    EXPECT_EQ(&c.listenerRecovery(), &c.listenerRecovery());
}

TEST(TrackpadControllerTest, PlainSettersNotifyOnlyOnARealChange) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    QSignalSpy status(&c, &TrackpadController::statusChanged);
    QSignalSpy application(&c, &TrackpadController::currentApplicationIDChanged);
    QSignalSpy connection(&c, &TrackpadController::connectionStateChanged);
    c.setStatus(QStringLiteral("x"));
    c.setStatus(QStringLiteral("x"));
    c.setCurrentApplicationID(QStringLiteral("a"));
    c.setCurrentApplicationID(QStringLiteral("a"));
    c.setCurrentApplicationID(std::nullopt);
    c.setConnectionState(TrackpadConnectionState::active);
    c.setConnectionState(TrackpadConnectionState::active);
    EXPECT_EQ(status.count(), 1);
    EXPECT_EQ(application.count(), 2);
    EXPECT_EQ(connection.count(), 1);
}

struct FlagCase {
    const char* name;
    void (TrackpadController::*set)(bool);
    bool suspends;
};

TEST(TrackpadControllerTest, EveryModalFlagResetsOnEveryWriteAndSuspendsAsItShould) {
    const FlagCase cases[] = {
        {"practiceMode", &TrackpadController::setPracticeMode, false},
        {"isSettingUpGesture", &TrackpadController::setSettingUpGesture, true},
        {"isLearningGesture", &TrackpadController::setLearningGesture, false},
        {"isRequestingFeature", &TrackpadController::setRequestingFeature, true},
        {"isReviewingConflicts", &TrackpadController::setReviewingConflicts, true},
        {"isTransferringConfiguration", &TrackpadController::setTransferringConfiguration, true},
        {"isRecordingShortcut", &TrackpadController::setRecordingShortcut, true},
        {"isShowingApplicationSwitcher", &TrackpadController::setShowingApplicationSwitcher, false},
        {"isSelectingScreenshot", &TrackpadController::setSelectingScreenshot, true},
    };
    for (const auto& flag : cases) {
        test::ControllerHarness h;
        auto& c = *h.controller;
        (c.*flag.set)(true);
        EXPECT_EQ(c.isControlSuspended(), flag.suspends) << flag.name;
        EXPECT_EQ(c.actionEpoch(), 1u) << flag.name;

        // The same value again still throws the gesture state away.
        Access::devices(c).activeDevices.insert(7);
        (c.*flag.set)(true);
        EXPECT_EQ(c.actionEpoch(), 2u) << flag.name;
        EXPECT_TRUE(c.deviceState().activeDevices.empty()) << flag.name;

        (c.*flag.set)(false);
        EXPECT_FALSE(c.isControlSuspended()) << flag.name;
    }
}

TEST(TrackpadControllerTest, LearningLiftsTheSuspensionOfAnOpenRuleEditor) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    c.setSettingUpGesture(true);
    EXPECT_TRUE(c.isControlSuspended());
    c.setLearningGesture(true);
    EXPECT_FALSE(c.isControlSuspended());
    c.setRecordingShortcut(true);
    EXPECT_TRUE(c.isControlSuspended()) << "the other flags suspend whatever learning says";
}

TEST(TrackpadControllerTest, ResetClearsEveryPieceOfPerDeviceStateInOrderAndWrapsTheEpoch) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    auto& d = Access::devices(c);
    d.tabTrackers[1];
    d.tabClaimed.insert(1);
    d.continuousTrackers[1];
    d.continuousClaimed.insert(1);
    d.liveVideoRules[1];
    d.videoClaimed.insert(1);
    d.recognizers[1];
    d.regionGestureDevices.insert(1);
    d.multiFingerDevices.insert(1);
    d.discreteDevices.insert(1);
    d.contexts[1];
    d.activeDevices.insert(1);
    d.edgeClaimed.insert(1);
    d.gestures[1];
    d.actionDistanceGates[1];
    d.contactIDs[1] = 3;
    d.devicePressure[1] = 200;
    bool tapFired = false;
    d.pendingTaps[1].timer = h.time.scheduler.after(0.4, nullptr, [&] { tapFired = true; });
    c.clickMonitor().recognizers[1];
    c.clickMonitor().frameTimes[1] = 1.0;
    c.activity().update(1, {{1, 0.5f, 0.5f, 0}}, std::nullopt);
    c.setPressureProgress(0.7);
    Access::setActionEpoch(c, std::numeric_limits<quint64>::max());
    h.log.calls.clear();

    c.resetGestureState();

    EXPECT_EQ(c.actionEpoch(), 0u);
    EXPECT_EQ(d.tabTrackers.size() + d.tabClaimed.size() + d.continuousTrackers.size() + d.continuousClaimed.size() +
                  d.liveVideoRules.size() + d.videoClaimed.size() + d.recognizers.size() +
                  d.regionGestureDevices.size() + d.multiFingerDevices.size() + d.discreteDevices.size() +
                  d.contexts.size() + d.activeDevices.size() + d.edgeClaimed.size() + d.gestures.size() +
                  d.actionDistanceGates.size() + d.contactIDs.size() + d.devicePressure.size() + d.pendingTaps.size(),
              0u);
    EXPECT_TRUE(c.clickMonitor().recognizers.empty());
    EXPECT_TRUE(c.clickMonitor().frameTimes.empty());
    EXPECT_TRUE(c.activity().points().empty());
    EXPECT_EQ(c.pressureProgress(), 0.0);
    h.time.advanceTo(1.0);
    EXPECT_FALSE(tapFired);
    EXPECT_EQ(h.log.calls,
              (QStringList{QStringLiteral("resetKeyboardBacklightStepper"), QStringLiteral("releaseMouseDrag"),
                           QStringLiteral("resetMouseClickSequence"), QStringLiteral("videoScrubber.reset")}));
}

TEST(TrackpadControllerTest, ResetLeavesSwitchesOutputsAndScreenshotContactsAlone) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    c.setEnabled(true);
    c.setListening(true);
    c.setStatus(QStringLiteral("s"));
    c.setActionIssue(QStringLiteral("issue"));
    c.setCurrentApplicationID(QStringLiteral("app"));
    Access::setLiveContacts(c, 5, {1, 2});
    c.resetGestureState();
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(c.status(), QStringLiteral("s"));
    EXPECT_EQ(c.actionIssue(), QStringLiteral("issue"));
    EXPECT_EQ(c.currentApplicationID(), QStringLiteral("app"));
    EXPECT_EQ(c.screenshotLiveContacts().at(5), (TrackpadController::ContactIdentifiers{1, 2}));
}

TEST(TrackpadControllerTest, EnteringScreenshotSelectionKeepsRestingFingersIgnored) {
    test::ControllerHarness h;
    auto& c = *h.controller;
    Access::setLiveContacts(c, 5, {1, 2});
    c.setSelectingScreenshot(true);
    EXPECT_EQ(c.screenshotSuppressedContacts(), c.screenshotLiveContacts());
    EXPECT_EQ(c.actionEpoch(), 1u);
}

}  // namespace
}  // namespace glidra
