// Recognised gestures end to end: frame scripts through the frame handler on
// the manual clock, observed through the recording fakes.

#include "settings/DisabledApplication.h"
#include "trackpad/FramePathFixture.h"
#include "trackpad/TypingActivityMonitor.h"

#include <QSignalSpy>

namespace glidra {
namespace {

using test::FramePathTest;
using test::makeRule;
using test::swipeAt;
using test::swipeRule;
using test::tapAt;
using test::tapRule;
using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

constexpr std::uint64_t kShift = 0x20000;
constexpr std::uint64_t kCommand = 0x100000;

InputEvent keyFromKeyboard(std::uint16_t keyCode = 0) {
    InputEvent event;
    event.type = InputEvent::Type::keyDown;
    event.keyCode = keyCode;
    event.origin = EventOrigin::hardware;
    event.sourceProcessId = 4242;
    return event;
}

GestureSessionContext contextAt(float x, float y, std::optional<QString> app = QStringLiteral("com.example.editor"),
                                std::uint64_t modifiers = 0) {
    return GestureSessionContext{std::move(app), modifiers, {TouchPoint{1, x, y, 0}}, 0.08f};
}

using GestureHandlingTest = FramePathTest;

TEST_F(GestureHandlingTest, ATapRunsItsRuleInTheFrameOfItsLift) {
    setRules({tapRule(1, 1, GestureAction::playPause)});
    const auto script = tapAt(1.0);
    const auto& frames = script.build();
    play({frames.begin(), frames.end() - 1});
    EXPECT_TRUE(dispatched().empty());

    play({frames.back()});
    ASSERT_EQ(ranActions(), std::vector{GestureAction::playPause});
    EXPECT_EQ(dispatched()[0].trigger, GestureTrigger::leftUp);
    EXPECT_FALSE(dispatched()[0].slideDistance.has_value());
    EXPECT_EQ(c.lastRecognizedGesture(), QStringLiteral("单指轻点一下"));
}

TEST_F(GestureHandlingTest, ADoubleTapWinsOverTheSingleTapItBeganWith) {
    setRules({tapRule(1, 1, GestureAction::copy), tapRule(1, 2, GestureAction::paste)});
    play(tapAt(1.0).then(tapAt(1.25)));
    h.time.advanceTo(3.0);
    EXPECT_EQ(ranActions(), std::vector{GestureAction::paste});
}

TEST_F(GestureHandlingTest, ASingleTapFiresOnceItsWaitForASecondTapHasEnded) {
    setRules({tapRule(1, 1, GestureAction::copy), tapRule(1, 2, GestureAction::paste)});
    play(tapAt(1.0));  // lifts at 1.12; a double-tap rule asks for 0.36 s
    h.time.advanceTo(1.479);
    EXPECT_TRUE(dispatched().empty());
    h.time.advanceTo(1.481);
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});
    EXPECT_TRUE(c.deviceState().pendingTaps.empty());

    // The tap memory was cleared when it fired: the next tap counts from one.
    play(tapAt(1.55));
    h.time.advanceTo(3.0);
    EXPECT_EQ(ranActions(), (std::vector{GestureAction::copy, GestureAction::copy}));
}

TEST_F(GestureHandlingTest, TheMostSpecificMatchingRuleWinsAndTheEarlierOneOnATie) {
    auto anywhere = tapRule(1, 1, GestureAction::copy);
    auto anywhereLater = tapRule(1, 1, GestureAction::paste);
    auto inCenter = tapRule(1, 1, GestureAction::undo);
    inCenter.region = GestureRegion::center;
    auto inEditor = tapRule(1, 1, GestureAction::find);
    inEditor.appBundleID = QStringLiteral("com.example.editor");
    auto both = tapRule(1, 1, GestureAction::newTab);
    both.appBundleID = QStringLiteral("com.example.editor");
    both.region = GestureRegion::center;
    auto custom = tapRule(1, 1, GestureAction::closeTab);
    custom.region = GestureRegion::custom;
    custom.customRegion = NormalizedRegionRect{0.4f, 0.4f, 0.6f, 0.6f};

    const struct {
        const char* name;
        std::vector<GestureRule> rules;
        GestureAction expected;
    } cases[] = {
        {"tie keeps the earlier rule", {anywhere, anywhereLater}, GestureAction::copy},
        {"a region beats anywhere", {anywhere, inCenter}, GestureAction::undo},
        {"an application beats a region", {inCenter, inEditor}, GestureAction::find},
        {"application and region beat both", {inEditor, inCenter, both}, GestureAction::newTab},
        {"a custom region scores the region point", {anywhere, custom}, GestureAction::closeTab},
    };
    double t = 1.0;
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        setRules(testCase.rules);
        clearDispatched();
        play(tapAt(t));
        EXPECT_EQ(ranActions(), std::vector{testCase.expected});
        t += 1.0;
    }
}

TEST_F(GestureHandlingTest, RequiredModifiersMustEqualTheHeldOnesExactly) {
    auto plain = tapRule(1, 1, GestureAction::copy);
    auto withShift = tapRule(1, 1, GestureAction::paste);
    withShift.requiredModifiers = kShift;
    auto withCommand = tapRule(1, 1, GestureAction::undo);
    withCommand.requiredModifiers = kCommand;
    setRules({plain, withShift, withCommand});

    h.keyboard.press(56);  // left Shift, held as the finger lands
    play(tapAt(1.0));
    h.keyboard.releaseAll();
    h.keyboard.press(55);  // Command and Option: the Command rule is no subset match
    h.keyboard.press(58);
    play(tapAt(2.0));
    h.keyboard.releaseAll();
    play(tapAt(3.0));
    EXPECT_EQ(ranActions(), (std::vector{GestureAction::paste, GestureAction::copy}));
}

TEST_F(GestureHandlingTest, ModifiersAreThoseHeldAtFirstContactNotAtRecognition) {
    auto withShift = tapRule(1, 1, GestureAction::paste);
    withShift.requiredModifiers = kShift;
    setRules({withShift});
    const auto script = tapAt(1.0);
    const auto& frames = script.build();
    h.keyboard.press(60);  // right Shift
    play({frames.front()});
    h.keyboard.releaseAll();
    play({frames.begin() + 1, frames.end()});
    EXPECT_EQ(ranActions(), std::vector{GestureAction::paste});
}

TEST_F(GestureHandlingTest, AnApplicationRuleNeverMatchesWithoutAFrontApplication) {
    auto inEditor = tapRule(1, 1, GestureAction::find);
    inEditor.appBundleID = QStringLiteral("com.example.editor");
    setRules({inEditor});
    h.frontmost.setBundleIdentifier(std::nullopt);
    play(tapAt(1.0));
    EXPECT_TRUE(dispatched().empty());
}

TEST_F(GestureHandlingTest, KindFingersDirectionAndTapCountDecideWhatMatches) {
    auto pinch = makeRule(Kind::pinchIn, 2, GestureAction::zoomOut, Direction::up, 3);
    setRules({tapRule(2, 1, GestureAction::copy), swipeRule(3, Direction::right, GestureAction::nextTab), pinch});
    const struct {
        GestureDescriptor gesture;
        std::optional<GestureAction> expected;
    } cases[] = {
        {{Kind::tap, 2, Direction::right, 2}, std::nullopt},        // two taps, one-tap rule
        {{Kind::tap, 2, Direction::left, 1}, GestureAction::copy},  // direction of a tap is ignored
        {{Kind::swipe, 3, Direction::left, 1}, std::nullopt},
        {{Kind::swipe, 4, Direction::right, 1}, std::nullopt},
        {{Kind::swipe, 3, Direction::right, 2}, GestureAction::nextTab},  // tap count of a swipe is ignored
        {{Kind::pinchIn, 2, Direction::right, 1}, GestureAction::zoomOut},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(test::describe(testCase.gesture));
        clearDispatched();
        c.handleRecognizedGesture(testCase.gesture, contextAt(0.5f, 0.5f));
        if (testCase.expected) {
            EXPECT_EQ(ranActions(), std::vector{*testCase.expected});
        } else {
            EXPECT_TRUE(dispatched().empty());
        }
    }
}

TEST_F(GestureHandlingTest, ContinuousActionsStepOnceAndOthersAreSkippedOrRun) {
    // Taps: the trackers follow moving fingers only, so these reach the
    // gesture handler.
    setRules({tapRule(2, 1, GestureAction::volumeUp), tapRule(3, 1, GestureAction::keyboardBrightnessDown),
              tapRule(4, 1, GestureAction::scrubVideo), tapRule(1, 1, GestureAction::none)});
    play(tapAt(1.0, 0.4f, 0.5f, 2));
    play(tapAt(2.0, 0.4f, 0.5f, 3));
    const QString status = c.status();
    play(tapAt(3.0, 0.3f, 0.5f, 4));
    play(tapAt(4.0));
    QStringList steps;
    for (const QString& call : h.log.calls) {
        if (call.startsWith(QStringLiteral("adjust"))) steps.append(call);
    }
    EXPECT_EQ(steps, (QStringList{QStringLiteral("adjustOutputVolume(0.06)"),
                                  QStringLiteral("adjustKeyboardBacklight(-0.0625)")}));
    EXPECT_EQ(status, QStringLiteral("键盘背光")) << "the backlight's own notice";
    EXPECT_TRUE(h.videoScrubber->steps.empty());
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.status(), status);
    EXPECT_EQ(c.lastRecognizedGesture(), tapRule(1, 1, GestureAction::none).gesture.title());
}

TEST_F(GestureHandlingTest, AChangedFrontApplicationCancelsAWaitingTap) {
    setRules({tapRule(1, 1, GestureAction::copy), tapRule(1, 2, GestureAction::paste)});

    // No frame sees the change: the tap fires and the handler cancels it.
    play(tapAt(1.0));
    h.frontmost.setBundleIdentifier(QStringLiteral("com.example.browser"));
    h.time.advanceTo(2.0);
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.status(), QStringLiteral("前台应用已变化，已取消手势操作。"));
    EXPECT_TRUE(h.hud->notices.empty());

    // A frame sees the change first: the reset drops the waiting tap.
    c.setStatus(QStringLiteral("-"));
    play(tapAt(3.0));
    h.frontmost.setBundleIdentifier(QStringLiteral("com.example.editor"));
    play(test::frames().at(3.2));
    EXPECT_TRUE(c.deviceState().pendingTaps.empty());
    h.time.advanceTo(5.0);
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.status(), QStringLiteral("-"));
}

TEST_F(GestureHandlingTest, TypingProtectionIgnoresATouchJustAfterAKeyButNotAfterOurOwnKey) {
    setRules({tapRule(1, 1, GestureAction::copy)});
    h.time.advanceTo(10.0);
    c.typingMonitor().handleKeyDown(keyFromKeyboard());
    play(tapAt(10.5));
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.status(), QStringLiteral("打字防误触：已忽略本次接触"));
    EXPECT_TRUE(c.deviceState().recognizers.empty()) << "no recognizer saw the frames";

    // The window has passed; the lifted device is no longer blocked.
    play(tapAt(11.2));
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});

    // A key we synthesised ourselves is no typing.
    clearDispatched();
    h.time.advanceTo(20.0);
    InputEvent own = keyFromKeyboard();
    own.origin = EventOrigin::ownProcess;
    c.typingMonitor().handleKeyDown(own);
    play(tapAt(20.5));
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});
}

TEST_F(GestureHandlingTest, AGestureWithinTheTypingWindowIsDroppedUnlessPractisingOrLearning) {
    setRules({swipeRule(3, Direction::right, GestureAction::nextTab)});
    const GestureDescriptor swipe{Kind::swipe, 3, Direction::right, 1};
    h.time.advanceTo(10.0);
    c.typingMonitor().handleKeyDown(keyFromKeyboard());
    const QString before = c.lastRecognizedGesture();

    h.time.advanceTo(10.59);
    c.handleRecognizedGesture(swipe, contextAt(0.5f, 0.5f));
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.lastRecognizedGesture(), before) << "a dropped gesture leaves every output alone";

    c.setPracticeMode(true);
    c.handleRecognizedGesture(swipe, contextAt(0.5f, 0.5f));
    EXPECT_EQ(c.lastRecognizedGesture(), QStringLiteral("三指向右滑动"));
    c.setPracticeMode(false);

    h.time.advanceTo(10.61);
    c.handleRecognizedGesture(swipe, contextAt(0.5f, 0.5f));
    EXPECT_EQ(ranActions(), std::vector{GestureAction::nextTab});

    h.settings.setTypingProtectionEnabled(false);
    h.time.advanceTo(11.0);
    c.typingMonitor().handleKeyDown(keyFromKeyboard());
    c.handleRecognizedGesture(swipe, contextAt(0.5f, 0.5f));
    EXPECT_EQ(dispatched().size(), 2u);
}

TEST_F(GestureHandlingTest, PracticeReportsWhatWouldRunAndRunsNothing) {
    setRules({tapRule(1, 1, GestureAction::playPause)});
    c.setPracticeMode(true);
    play(tapAt(1.0));
    h.time.advanceTo(1.519);
    EXPECT_TRUE(h.hud->notices.empty()) << "practice waits a fixed 0.4 s for a further tap";
    h.time.advanceTo(1.521);
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.status(), QStringLiteral("单指轻点一下 → 播放 / 暂停（仅练习）"));
    ASSERT_EQ(h.hud->notices.size(), 1u);
    EXPECT_EQ(h.hud->notices[0], (HUDNotice{c.status(), QStringLiteral("hand.draw"), HUDNotice::Kind::information}));
    EXPECT_EQ(c.menuStatusText(), QStringLiteral("练习中"));

    // A gesture without any rule: the diagnosis names the reason.
    play(swipeAt(2.0, 3, 0.2f, 0));
    EXPECT_EQ(c.status(), QStringLiteral("还没有绑定这个手势"));

    // In a disabled application practice still reports, and says so.
    h.settings.setDisabledApplications(
        {DisabledApplication{QStringLiteral("com.example.editor"), QStringLiteral("Ed")}});
    play(tapAt(3.0));
    h.time.advanceTo(4.0);
    EXPECT_EQ(c.status(), QStringLiteral("此应用已禁用自定义手势（仅练习）"));
    EXPECT_TRUE(dispatched().empty());
}

TEST_F(GestureHandlingTest, LearningCapturesTheNextGestureOnceAndRunsNothing) {
    setRules({swipeRule(3, Direction::right, GestureAction::nextTab)});
    h.settings.setDisabledApplications(
        {DisabledApplication{QStringLiteral("com.example.editor"), QStringLiteral("Ed")}});
    c.setSettingUpGesture(true);
    EXPECT_EQ(c.menuStatusText(), QStringLiteral("设置中 · 控制暂停"));
    play(swipeAt(1.0, 3, 0.2f, 0));
    EXPECT_FALSE(c.learnedGesture().has_value()) << "an open editor that is not capturing ignores gestures";

    c.setLearningGesture(true);
    EXPECT_EQ(c.menuStatusText(), QStringLiteral("正在录入手势"));
    QSignalSpy resets(&c, &TrackpadController::actionEpochChanged);
    play(swipeAt(2.0, 3, 0.2f, 0));
    EXPECT_EQ(c.learnedGesture(), (GestureDescriptor{Kind::swipe, 3, Direction::right, 1}));
    EXPECT_FALSE(c.isLearningGesture());
    EXPECT_GE(resets.count(), 1);
    EXPECT_EQ(c.status(), QStringLiteral("已录入：三指向右滑动"));
    ASSERT_FALSE(h.hud->notices.empty());
    EXPECT_EQ(h.hud->notices.back(),
              (HUDNotice{QStringLiteral("三指向右滑动"), QStringLiteral("checkmark"), HUDNotice::Kind::information}));
    EXPECT_TRUE(dispatched().empty());

    // One-shot: the next gesture is ignored again (the editor is still open).
    play(swipeAt(3.0, 3, 0, 0.2f, 0.3f, 0.3f));
    EXPECT_EQ(c.learnedGesture(), (GestureDescriptor{Kind::swipe, 3, Direction::right, 1}));
}

TEST_F(GestureHandlingTest, LearningWaitsAFixedTapWindowAndCapturesADoubleTap) {
    c.setSettingUpGesture(true);
    c.setLearningGesture(true);
    play(tapAt(1.0).then(tapAt(1.3)));  // second tap 0.3 s after the first lift
    EXPECT_FALSE(c.learnedGesture().has_value());
    h.time.advanceTo(1.42 + 0.399);
    EXPECT_FALSE(c.learnedGesture().has_value());
    h.time.advanceTo(1.42 + 0.401);
    ASSERT_TRUE(c.learnedGesture().has_value());
    EXPECT_TRUE(c.learnedGesture()->isSameGesture(GestureDescriptor{Kind::tap, 1, Direction::right, 2}));
}

TEST_F(GestureHandlingTest, EveryGestureReachingTheHandlerIsAnnouncedEvenWhenDropped) {
    QSignalSpy announced(&c, &TrackpadController::gestureRecognized);
    const GestureDescriptor swipe{Kind::swipe, 3, Direction::left, 1};
    c.setEnabled(false);
    c.handleRecognizedGesture(swipe, contextAt(0.5f, 0.5f));
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(announced.at(0).at(0).value<GestureDescriptor>(), swipe);
    EXPECT_EQ(c.lastRecognizedGesture(), QStringLiteral("尚未识别手势"));
}

TEST_F(GestureHandlingTest, APhysicalClickPassesOnlyWhileControlIsOnAndNotSuspended) {
    setRules({makeRule(Kind::click, 2, GestureAction::copy)});
    const GestureDescriptor click{Kind::click, 2, Direction::right, 1};
    c.setReviewingConflicts(true);
    c.handleClick(click, contextAt(0.5f, 0.5f));
    c.setReviewingConflicts(false);
    c.setEnabled(false);
    c.handleClick(click, contextAt(0.5f, 0.5f));
    EXPECT_TRUE(dispatched().empty());
    c.setEnabled(true);
    c.handleClick(click, contextAt(0.5f, 0.5f));
    EXPECT_EQ(ranActions(), std::vector{GestureAction::copy});
}

}  // namespace
}  // namespace glidra
