// The frame road: the hand-off from the framework's thread, the frame
// handler's gates and bookkeeping in their order, pressure, force presses,
// physical clicks and the tap that waits for a further tap.

#include "trackpad/FramePathFixture.h"
#include "trackpad/GestureActivityPresenter.h"
#include "trackpad/TrackpadClickMonitor.h"

#include <QSignalSpy>
#include <QThread>

#include <array>
#include <thread>

namespace glidra {
namespace {

using test::FramePathTest;
using test::frames;
using test::makeRule;
using test::swipeAt;
using test::swipeRule;
using test::tapAt;
using test::tapRule;
using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

void* deviceHandle(DeviceId device) { return reinterpret_cast<void*>(device); }

InputEvent trackpadButton(InputEvent::Type type) {
    InputEvent event;
    event.type = type;
    event.origin = EventOrigin::hardware;
    event.sourceProcessId = 4242;
    event.isTouchSubtype = true;
    event.mouseButton = 0;
    return event;
}

class FrameRoadTest : public FramePathTest {
protected:
    void SetUp() override {
        FramePathTest::SetUp();
        TrackpadController::setShared(&c);
    }
    void TearDown() override { TrackpadController::setShared(nullptr); }

    int logged(const QString& call) const { return h.log.count(call); }
    const DeviceTable<VideoScrubTracker>& videoTrackers() const { return c.deviceState().videoTrackers; }
};

// --- intake ----------------------------------------------------------------------

TEST_F(FrameRoadTest, TheIntakeCopiesTheFrameAndHandsItToTheMainThread) {
    QThread* handledOn = nullptr;
    QObject::connect(&c, &TrackpadController::connectionStateChanged, &c,
                     [&handledOn] { handledOn = QThread::currentThread(); });

    std::thread driver([this] {
        std::array<TouchPoint, 2> records{TouchPoint{7, 0.2f, 0.3f, 40}, TouchPoint{8, 0.4f, 0.3f, 60}};
        TrackpadController::contactFrameCallbackThunk(deviceHandle(kPad), records.data(), 2, c.generation(), 1.0);
        records.fill(TouchPoint{99, 0.9f, 0.9f, 0});  // the driver reuses its buffer at once
    });
    driver.join();
    EXPECT_TRUE(c.deviceState().activeDevices.empty()) << "nothing runs on the driver's thread";

    test::SimTime::drain();
    EXPECT_EQ(handledOn, QThread::currentThread());
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::active);
    ASSERT_TRUE(c.deviceState().contexts.contains(kPad));
    EXPECT_EQ(c.deviceState().contexts.at(kPad).startPoints,
              (std::vector{TouchPoint{7, 0.2f, 0.3f, 40}, TouchPoint{8, 0.4f, 0.3f, 60}}));

    // No records (or none to read) is a lift.
    TrackpadController::contactFrameCallbackThunk(deviceHandle(kPad), nullptr, 3, c.generation(), 1.1);
    test::SimTime::drain();
    EXPECT_TRUE(c.deviceState().activeDevices.empty());
}

TEST_F(FrameRoadTest, FramesOfAnEarlierListeningGenerationAreDropped) {
    const TouchPoint finger{1, 0.5f, 0.5f, 0};
    const quint64 before = c.generation();
    TrackpadController::contactFrameCallbackThunk(deviceHandle(kPad), &finger, 1, before, 1.0);
    c.stopListening();  // the queued frame is now of an earlier generation
    c.setListening(true);
    test::SimTime::drain();
    EXPECT_NE(c.generation(), before);
    EXPECT_TRUE(c.deviceState().activeDevices.empty());
    EXPECT_NE(c.connectionState(), TrackpadConnectionState::active);

    TrackpadController::contactFrameCallbackThunk(deviceHandle(kPad), &finger, 1, c.generation(), 1.1);
    test::SimTime::drain();
    EXPECT_TRUE(c.deviceState().activeDevices.contains(kPad));

    // Without a shared controller a frame goes nowhere.
    TrackpadController::setShared(nullptr);
    TrackpadController::contactFrameCallbackThunk(deviceHandle(kOtherPad), &finger, 1, c.generation(), 1.2);
    test::SimTime::drain();
    EXPECT_FALSE(c.deviceState().activeDevices.contains(kOtherPad));
}

// --- the tap that waits --------------------------------------------------------------

TEST_F(FrameRoadTest, APendingTapCancelledAtTheInstantItsWaitEndsNeverFires) {
    setRules({tapRule(1, 1, GestureAction::copy), tapRule(1, 2, GestureAction::paste)});

    // A new touch at the very instant the wait ends, before the timer ran.
    play(tapAt(1.0));
    ASSERT_EQ(c.deviceState().pendingTaps.size(), 1u);
    const double deadline = *h.time.scheduler.nextDeadline();
    h.time.clock.set(deadline);
    c.handleFrame(kPad, {TouchPoint{1, 0.2f, 0.2f, 0}}, deadline);
    h.time.advanceTo(deadline + 1.0);
    EXPECT_TRUE(dispatched().empty());

    // A reset at that same instant (here: a modal flag written by a view).
    play(frames().up(3.0));
    play(tapAt(4.0));
    const double second = *h.time.scheduler.nextDeadline();
    h.time.clock.set(second);
    c.setRecordingShortcut(false);
    h.time.advanceTo(second + 1.0);
    EXPECT_TRUE(dispatched().empty());
    EXPECT_TRUE(c.deviceState().pendingTaps.empty());
}

TEST_F(FrameRoadTest, TapsOfDifferentDevicesWaitIndependently) {
    setRules({tapRule(1, 1, GestureAction::copy), tapRule(1, 2, GestureAction::paste)});
    play(tapAt(1.0), kPad);
    play(tapAt(1.2), kOtherPad);
    EXPECT_EQ(c.deviceState().pendingTaps.size(), 2u);
    h.time.advanceTo(2.0);
    EXPECT_EQ(ranActions(), (std::vector{GestureAction::copy, GestureAction::copy}));
}

// --- gates ---------------------------------------------------------------------------

TEST_F(FrameRoadTest, EveryFrameReleasesThePointerLockUnlessOneFingerMayHoldIt) {
    EdgePointerLock& lock = c.edgePointerLock();
    // The lock engaged once the finger is known, as an adjustment step does.
    const auto heldAfter = [&](double t, test::FrameBuilder then) {
        play(frames().touch(1, 0.5f, 0.5f).at(t));
        lock.engage(kPad);
        play(then);
        const bool held = lock.isOn();
        lock.release(std::nullopt, true);
        play(frames().up(t + 0.5));
        return held;
    };
    EXPECT_FALSE(heldAfter(1.0, frames().touch(1, 0.5f, 0.5f).at(1.01))) << "the setting is off";
    h.settings.setLocksPointerDuringEdgeAdjustments(true);
    EXPECT_TRUE(heldAfter(2.0, frames().touch(1, 0.5f, 0.5f).at(2.01).at(2.02)));
    EXPECT_FALSE(heldAfter(3.0, frames().touch(1, 0.5f, 0.5f).touch(2, 0.6f, 0.5f).at(3.01)));
    EXPECT_FALSE(heldAfter(4.0, frames().up(4.01)));
}

TEST_F(FrameRoadTest, FingersRestingWhenAScreenshotSelectionStartsStayIgnoredUntilLifted) {
    setRules({swipeRule(2, Direction::right, GestureAction::nextTab), tapRule(1, 1, GestureAction::copy)});
    auto script = frames().touch(1, 0.3f, 0.5f).touch(2, 0.35f, 0.5f).at(1.0);
    play(script);
    EXPECT_EQ(c.screenshotLiveContacts().at(kPad), (std::vector<qint32>{1, 2}));

    c.setSelectingScreenshot(true);
    h.log.calls.clear();
    play(frames().touch(1, 0.3f, 0.5f).touch(2, 0.35f, 0.5f).at(1.05));
    c.setSelectingScreenshot(false);
    EXPECT_EQ(c.screenshotSuppressedContacts().at(kPad), (std::vector<qint32>{1, 2}));

    h.log.calls.clear();
    play(frames()
             .touch(1, 0.3f, 0.5f)
             .touch(2, 0.35f, 0.5f)
             .at(1.1)
             .moveBy(1, 0.2f, 0)
             .moveBy(2, 0.2f, 0)
             .over(1.3, 10));
    play(frames().up(1.32));
    EXPECT_FALSE(c.screenshotSuppressedContacts().contains(kPad));
    EXPECT_TRUE(videoTrackers().empty()) << "ignored frames reach nothing";
    EXPECT_TRUE(dispatched().empty());
    EXPECT_FALSE(c.screenshotLiveContacts().contains(kPad));

    play(tapAt(2.0));
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});
}

TEST_F(FrameRoadTest, SwitchingControlOffMidGestureDropsTheRestOfIt) {
    setRules({swipeRule(3, Direction::right, GestureAction::nextTab)});
    QSignalSpy announced(&c, &TrackpadController::gestureRecognized);
    for (const bool viaListening : {false, true}) {
        SCOPED_TRACE(viaListening ? "listening off" : "control off");
        c.resetGestureState();
        const auto script = swipeAt(viaListening ? 5.0 : 1.0, 3, 0.2f, 0);
        const auto& all = script.build();
        play({all.begin(), all.begin() + 5});
        viaListening ? c.setListening(false) : c.setEnabled(false);
        const auto trackers = videoTrackers();
        play({all.begin() + 5, all.end()});
        EXPECT_EQ(videoTrackers(), trackers) << "no tracker saw the rest";
        EXPECT_TRUE(dispatched().empty());
        EXPECT_EQ(announced.count(), 0);
        viaListening ? c.setListening(true) : c.setEnabled(true);
    }
}

TEST_F(FrameRoadTest, AChangeOfFrontApplicationMidGestureStartsAFreshSessionThere) {
    play(frames().touch(1, 0.5f, 0.5f).touch(2, 0.6f, 0.5f).at(1.0).at(1.01));
    EXPECT_EQ(c.currentApplicationID(), QStringLiteral("com.example.editor"));
    const quint64 epoch = c.actionEpoch();
    h.frontmost.setBundleIdentifier(QStringLiteral("com.example.browser"));
    play(frames().touch(1, 0.55f, 0.5f).touch(2, 0.65f, 0.5f).at(1.02));
    EXPECT_EQ(c.currentApplicationID(), QStringLiteral("com.example.browser"));
    EXPECT_GT(c.actionEpoch(), epoch);
    const GestureSessionContext& context = c.deviceState().contexts.at(kPad);
    EXPECT_EQ(context.app, QStringLiteral("com.example.browser"));
    EXPECT_EQ(context.startPoints.front().x, 0.55f) << "the session starts afresh from that frame";
}

TEST_F(FrameRoadTest, ADisabledApplicationIgnoresFramesUnlessPractising) {
    setRules({tapRule(1, 1, GestureAction::copy)});
    h.settings.setDisabledApplications(
        {DisabledApplication{QStringLiteral("com.example.editor"), QStringLiteral("E")}});
    play(tapAt(1.0));
    EXPECT_EQ(c.status(), QStringLiteral("当前应用已停用自定义手势"));
    EXPECT_TRUE(videoTrackers().empty());
    EXPECT_TRUE(dispatched().empty());

    c.setPracticeMode(true);
    play(tapAt(2.0));
    h.time.advanceTo(3.0);
    EXPECT_EQ(c.status(), QStringLiteral("此应用已禁用自定义手势（仅练习）"));
}

TEST_F(FrameRoadTest, TheFirstContactMakesTheConnectionActive) {
    c.setConnectionState(TrackpadConnectionState::idle);
    QSignalSpy changed(&c, &TrackpadController::connectionStateChanged);
    play(frames().at(1.0));
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::idle);
    play(frames().touch(1, 0.5f, 0.5f).at(1.1).at(1.2).up(1.3));
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::active);
    EXPECT_EQ(changed.count(), 1);
}

// --- routing -----------------------------------------------------------------------

TEST_F(FrameRoadTest, EdgeRoutingNeedsNoModifierButOptionAndGetsTheSingleFinger) {
    // Up the right edge, which raises the volume.
    const auto slide = [](double t) {
        return frames().touch(1, 0.98f, 0.3f).at(t).moveTo(1, 0.98f, 0.6f).over(t + 0.1, 6).up(t + 0.12);
    };
    const auto steps = [this] {
        int count = 0;
        for (const QString& call : h.log.calls) count += call.startsWith(QStringLiteral("adjustOutputVolume")) ? 1 : 0;
        h.log.calls.clear();
        return count;
    };
    h.keyboard.press(56);  // Shift
    play(slide(1.0));
    EXPECT_EQ(steps(), 0);

    h.keyboard.releaseAll();
    h.keyboard.press(58);  // Option only makes the steps finer
    play(slide(2.0));
    EXPECT_GT(steps(), 0);

    h.keyboard.releaseAll();
    play(frames()
             .touch(1, 0.98f, 0.3f)
             .at(3.0)
             .touch(2, 0.8f, 0.3f)
             .at(3.01)
             .lift(2)
             .at(3.02)
             .moveTo(1, 0.98f, 0.6f)
             .over(3.1, 6)
             .up(3.12));
    EXPECT_EQ(steps(), 0) << "once a second finger came, never again";

    // A one-finger rule for the right band going up takes the finger.
    GestureRule regionRule = swipeRule(1, Direction::up, GestureAction::copy);
    regionRule.region = GestureRegion::right;
    setRules({regionRule});
    play(slide(4.0));
    EXPECT_EQ(steps(), 0);
    EXPECT_TRUE(c.deviceState().regionGestureDevices.empty()) << "cleared at the lift";
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});
}

TEST_F(FrameRoadTest, AHeldMouseDragStopsEdgesAndTrackersButNotGestures) {
    setRules({swipeRule(3, Direction::right, GestureAction::nextTab)});
    const auto trackedBeforeTheLift = [this](double t) {
        const auto script = swipeAt(t, 3, 0.2f, 0);
        const auto& all = script.build();
        play({all.begin(), all.end() - 1});
        const TrackpadController::DeviceState& state = c.deviceState();
        const bool tracked = state.videoTrackers.contains(kPad) && state.tabTrackers.contains(kPad) &&
                             state.continuousTrackers.contains(kPad) && state.gestures.contains(kPad);
        play({all.back()});
        return tracked;
    };
    h.executors.mouseDragHeld = true;
    EXPECT_FALSE(trackedBeforeTheLift(1.0));
    EXPECT_EQ(ranActions(), std::vector{GestureAction::nextTab});

    h.executors.mouseDragHeld = false;
    clearDispatched();
    EXPECT_TRUE(trackedBeforeTheLift(2.0));
}

// --- pressure and force presses ------------------------------------------------------

TEST_F(FrameRoadTest, PressureIsPublishedAtMostEveryFiftyMillisecondsAndAtOnceOnALift) {
    std::vector<std::pair<double, double>> published;
    double frameTime = 0;
    QObject::connect(&c, &TrackpadController::pressureProgressChanged, &c,
                     [&] { published.emplace_back(frameTime, c.pressureProgress()); });

    // Another trackpad rests at 175 units all along.
    frameTime = 0.9;
    play(frames().touch(1, 0.2f, 0.2f, 175).at(0.9), kOtherPad);
    const std::size_t first = published.size();
    for (int i = 0; i <= 20; ++i) {
        frameTime = 1.0 + 0.01 * i;
        play(frames().touch(1, 0.5f, 0.5f, 200.0f + 20.0f * float(i)).at(frameTime));
    }
    ASSERT_GE(published.size(), first + 2);
    for (std::size_t k = first + 1; k < published.size(); ++k) {
        EXPECT_GE(published[k].first - published[k - 1].first, 0.05 - 1e-9);
    }
    EXPECT_EQ(published.back().second, 1.0) << "400 and more at the standard level (350) is full";
    EXPECT_EQ(published[first].second, double(200.0f / 350.0f));
    EXPECT_TRUE(c.hasPressureSignal());

    frameTime = 1.205;
    play(frames().up(1.205));
    EXPECT_EQ(published.back(), (std::pair<double, double>{1.205, double(175.0f / 350.0f)}));
    EXPECT_EQ(c.lastPressureUpdate(), 1.205);
}

TEST_F(FrameRoadTest, ForceSensingIsKnownOnceAPressReachesTheLightestThreshold) {
    int changes = 0;
    QObject::connect(&c, &TrackpadController::hasForcePressSignalChanged, &c, [&] { ++changes; });
    // A contact's size on an ordinary pad stays below 200 units.
    play(frames().touch(1, 0.5f, 0.5f, 100).at(1.0).hold(1.2).up(1.25));
    EXPECT_TRUE(c.hasPressureSignal());
    EXPECT_FALSE(c.hasForcePressSignal());
    play(frames().touch(1, 0.5f, 0.5f, 199).at(2.0).press(1, 200).hold(2.2).up(2.25));
    EXPECT_TRUE(c.hasForcePressSignal());
    play(frames().touch(1, 0.5f, 0.5f, 400).at(3.0).up(3.1));
    EXPECT_EQ(changes, 1);
    c.resetGestureState();
    EXPECT_TRUE(c.hasForcePressSignal());
}

TEST_F(FrameRoadTest, ForcePressesAreLookedForOnlyWhenAWinningRuleHasAnAction) {
    const auto press = [](double t) {
        return frames().touch(1, 0.5f, 0.5f, 50).at(t).hold(t + 0.05).press(1, 420).hold(t + 0.3).up(t + 0.32);
    };
    auto otherApp = makeRule(Kind::forcePress, 1, GestureAction::copy);
    otherApp.appBundleID = QStringLiteral("com.example.browser");
    auto withShift = makeRule(Kind::forcePress, 1, GestureAction::copy);
    withShift.requiredModifiers = 0x20000;
    const auto noAction = makeRule(Kind::forcePress, 1, GestureAction::none);
    QSignalSpy announced(&c, &TrackpadController::gestureRecognized);
    for (const auto& rules : {std::vector{otherApp}, std::vector{withShift}, std::vector{noAction}}) {
        setRules(rules);
        play(press(h.time.clock.uptime() + 1.0));
    }
    EXPECT_EQ(announced.count(), 0);

    // The rule for this application outranks the earlier one without action.
    auto inEditor = makeRule(Kind::forcePress, 1, GestureAction::paste);
    inEditor.appBundleID = QStringLiteral("com.example.editor");
    setRules({noAction, inEditor});
    const auto script = press(10.0);
    const auto& all = script.build();
    const auto fired = std::find_if(all.begin(), all.end(), [](const test::Frame& f) { return f.time > 10.15; });
    play({all.begin(), fired});
    ASSERT_EQ(ranActions(), std::vector{GestureAction::paste}) << "while the finger is still down";
    const auto trackers = videoTrackers();
    play({fired, all.end() - 1});
    EXPECT_EQ(videoTrackers(), trackers) << "a fired press holds the session until the lift";
    play({all.back()});
    EXPECT_EQ(ranActions(), std::vector{GestureAction::paste});

    // Practice always looks for them.
    setRules({});
    c.setPracticeMode(true);
    play(press(12.0));
    EXPECT_EQ(c.lastRecognizedGesture(), QStringLiteral("单指用力按下"));
}

// --- physical clicks -----------------------------------------------------------------

TEST_F(FrameRoadTest, APhysicalTwoFingerClickAndALongPressReachTheirRules) {
    setRules({makeRule(Kind::click, 2, GestureAction::copy), makeRule(Kind::longPress, 2, GestureAction::paste),
              tapRule(2, 1, GestureAction::undo)});
    TrackpadClickMonitor& clicks = c.clickMonitor();
    const auto rest = [](double from, double until) {
        return frames().touch(1, 0.4f, 0.4f).touch(2, 0.5f, 0.4f).at(from).hold(until);
    };

    play(rest(1.0, 1.05));
    clicks.handleMouseEvent(trackpadButton(InputEvent::Type::leftMouseDown));
    EXPECT_TRUE(clicks.isPressed(kPad));
    play(rest(1.06, 1.15));
    clicks.handleMouseEvent(trackpadButton(InputEvent::Type::leftMouseUp));
    play(frames().up(1.17));
    EXPECT_TRUE(dispatched().empty()) << "the tap of that session is not dispatched";
    h.time.advanceTo(1.3);
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});

    play(rest(2.0, 2.05));
    clicks.handleMouseEvent(trackpadButton(InputEvent::Type::leftMouseDown));
    play(rest(2.06, 2.8));
    clicks.handleMouseEvent(trackpadButton(InputEvent::Type::leftMouseUp));
    play(frames().up(2.82));
    h.time.advanceTo(3.0);
    EXPECT_EQ(ranActions(), (std::vector{GestureAction::copy, GestureAction::paste}));
    EXPECT_EQ(c.deviceState().recognizers.at(kPad).lastTapTime, -std::numeric_limits<double>::infinity());

    // A two-finger tap without a press still runs its own rule.
    play(rest(4.0, 4.1));
    play(frames().up(4.12));
    EXPECT_EQ(ranActions(), (std::vector{GestureAction::copy, GestureAction::paste, GestureAction::undo}));
}

TEST_F(FrameRoadTest, AForcePressIsNeverAlsoAPhysicalClick) {
    setRules({makeRule(Kind::forcePress, 1, GestureAction::paste), makeRule(Kind::click, 1, GestureAction::copy)});
    play(frames().touch(1, 0.5f, 0.5f, 50).at(1.0).hold(1.05).press(1, 420).hold(1.2));
    EXPECT_TRUE(c.clickMonitor().recognizers.at(kPad).forcePressed);
    c.clickMonitor().handleMouseEvent(trackpadButton(InputEvent::Type::leftMouseDown));
    play(frames().touch(1, 0.5f, 0.5f, 420).at(1.21).hold(1.3));
    c.clickMonitor().handleMouseEvent(trackpadButton(InputEvent::Type::leftMouseUp));
    play(frames().up(1.32));
    h.time.advanceTo(2.0);
    EXPECT_EQ(ranActions(), std::vector{GestureAction::paste});
}

// --- practice contact points and notices -----------------------------------------------

TEST_F(FrameRoadTest, PracticeAndLearningFeedTheContactPresenter) {
    play(frames().touch(1, 0.5f, 0.5f).at(1.0));
    EXPECT_TRUE(c.activity().points().empty());

    c.setPracticeMode(true);
    play(frames().touch(1, 0.5f, 0.5f).at(2.0).touch(2, 0.7f, 0.5f).at(2.01));
    ASSERT_EQ(c.activity().points().size(), 1u) << "published at most every 0.05 s";
    EXPECT_EQ(c.activity().points()[0].id, QStringLiteral("%1:1").arg(kPad));
    EXPECT_EQ(c.activity().origin(), (TouchPoint{0, 0.5f, 0.5f, 0}));
    play(frames().up(2.02));
    EXPECT_TRUE(c.activity().points().empty());
}

TEST_F(FrameRoadTest, AnExecutorNoticeIsShownOnlyWhileControlIsOnAndListening) {
    const HUDNotice failure{QStringLiteral("截图失败"), QStringLiteral("xmark"), HUDNotice::Kind::error};
    const HUDNotice done{QStringLiteral("已截图"), QStringLiteral("camera"), HUDNotice::Kind::success};
    c.presentNotice(failure);
    EXPECT_EQ(c.actionIssue(), QStringLiteral("截图失败"));
    EXPECT_EQ(c.status(), QStringLiteral("截图失败"));
    c.presentNotice(done);
    EXPECT_FALSE(c.actionIssue().has_value());
    EXPECT_EQ(h.hud->notices, (std::vector{failure, done}));

    c.setListening(false);
    c.presentNotice(failure);
    EXPECT_EQ(c.status(), QStringLiteral("已截图"));
    EXPECT_EQ(h.hud->notices.size(), 2u);
}

}  // namespace
}  // namespace glidra
