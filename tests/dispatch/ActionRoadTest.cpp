// The whole road of an action on the sim platform: contact frames through the
// frame handler and the gesture handler, the controller's action task, the
// dispatcher and the executors, to the events posted and the notice shown.

#include "executors/ExecutorFixture.h"
#include "trackpad/FramePathFixture.h"

#include <map>
#include <set>

namespace glidra::test {
namespace {

using A = GestureAction;
using Direction = GestureDescriptor::Direction;

const QString kNautilus = QStringLiteral("org.gnome.Nautilus.desktop");

class ActionRoadTest : public ExecutorTest {
protected:
    ActionRoadTest() {
        h.frontmost.setBundleIdentifier(kNautilus);
        c.setCurrentApplicationID(h.frontmost.bundleIdentifier());
    }

    // A three-finger swipe to the right at time t, then the action's task.
    void swipe(double t, int fingers = 3, Direction direction = Direction::right) {
        const float dx = direction == Direction::right ? 0.2f : direction == Direction::left ? -0.2f : 0;
        const float dy = direction == Direction::up ? 0.2f : direction == Direction::down ? -0.2f : 0;
        const FrameBuilder script = swipeAt(t, fingers, dx, dy, 0.3f, 0.4f);
        for (const Frame& frame : script.build()) {
            if (frame.time > h.time.clock.uptime()) h.time.advanceTo(frame.time);
            c.handleFrame(0x5100, frame.points, frame.time);
        }
        SimTime::drain();
    }

    std::vector<HUDNotice>& shown() { return h.hud->notices; }
};

TEST_F(ActionRoadTest, GesturesReachTheirExecutorsAndTheirNoticesTheHUD) {
    GestureRule custom = swipeRule(4, Direction::right, A::customShortcut);
    custom.shortcut = KeyboardShortcut{17, control | option, QStringLiteral("⌃⌥T"), std::nullopt};
    h.settings.setRules({swipeRule(3, Direction::right, A::copy), swipeRule(3, Direction::left, A::playPause),
                         swipeRule(3, Direction::up, A::mouseRightClick),
                         swipeRule(3, Direction::down, A::mouseToggleDrag), custom});
    struct Step {
        int fingers;
        Direction direction;
        HUDNotice notice;
        std::vector<Type> events;
    };
    const auto done = [](GestureAction action) {
        return HUDNotice{title(action), symbolName(action), HUDNotice::Kind::success};
    };
    const Step steps[] = {
        {3, Direction::right, done(A::copy), {Type::keyDown, Type::keyUp}},
        {3, Direction::left, done(A::playPause), {Type::systemDefined, Type::systemDefined}},
        {3, Direction::up, done(A::mouseRightClick), {Type::rightMouseDown, Type::rightMouseUp}},
        {3,
         Direction::down,
         HUDNotice{QStringLiteral("已按住左键 · 再做手势或 Esc 松开"), QStringLiteral("hand.draw"),
                   HUDNotice::Kind::information},
         {Type::leftMouseDown}},
        {4,
         Direction::right,
         HUDNotice{QStringLiteral("Ctrl+Alt+T"), QStringLiteral("keyboard"), HUDNotice::Kind::success},
         {Type::keyDown, Type::keyUp}},
    };
    double t = 1;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.notice.text.toStdString());
        clearEvents();
        shown().clear();
        swipe(t += 2, step.fingers, step.direction);
        EXPECT_EQ(shown(), std::vector{step.notice});
        EXPECT_EQ(c.status(), step.notice.text);
        std::vector<Type> types;
        for (const InputEvent& event : poster.posted()) types.push_back(event.type);
        EXPECT_EQ(types, step.events);
    }
    EXPECT_EQ(keysOf(std::vector{poster.posted().at(0)}),
              (std::vector<PostedKey>{{Type::keyDown, 17, control | option}}));
}

// Every discrete action of the catalogue, bound to a gesture, ends in its own
// notice or its own events: none reaches the end of the road unhandled, and no
// two are carried out alike. The system and application executors stand in
// with an answer of their own per action.
TEST_F(ActionRoadTest, EveryDiscreteActionOfTheCatalogueIsCarriedOutItsOwnWay) {
    const std::set<GestureAction> elsewhere{A::brightnessUp, A::brightnessDown,       A::volumeUp,
                                            A::volumeDown,   A::keyboardBrightnessUp, A::keyboardBrightnessDown,
                                            A::scrubVideo};
    const std::set<GestureAction> systemActions{A::missionControl,
                                                A::showDesktop,
                                                A::sleepComputer,
                                                A::toggleKeyboardLock,
                                                A::startCleaningMode,
                                                A::toggleDesktopIcons,
                                                A::enableKeepAwake,
                                                A::disableKeepAwake,
                                                A::toggleKeepAwake,
                                                A::openFinder,
                                                A::openSystemSettings,
                                                A::emojiPicker,
                                                A::hideApplication,
                                                A::hideOtherApplications,
                                                A::toggleMute,
                                                A::toggleMicrophoneMute,
                                                A::switchToPreviousApplication};
    const std::set<GestureAction> targetActions{A::openFile, A::openFolder, A::openURL, A::runShortcut};
    const auto ownAnswer = [](GestureAction action) {
        return HUDNotice{enumRaw(action), QStringLiteral("checkmark"), HUDNotice::Kind::success};
    };
    for (GestureAction action : systemActions) groups.systemAnswers[action] = ownAnswer(action);
    for (GestureAction action : targetActions) groups.targetAnswers[action] = ownAnswer(action);
    // Toggling a released drag holds it: the one pair alike by design.
    const std::map<GestureAction, GestureAction> alike{{A::mouseToggleDrag, A::mouseHoldLeft}};
    const QString firefox = QStringLiteral("firefox-esr.desktop");
    browserPages.setPage(QStringLiteral("Glidra"), QStringLiteral("https://example.org/glidra"));
    workspace.installApplication(QStringLiteral("org.gnome.TextEditor.desktop"),
                                 QStringLiteral("/usr/share/applications/org.gnome.TextEditor.desktop"));

    std::map<QString, GestureAction> outcomes;
    double t = 1;
    for (GestureAction action : enumAllCases<GestureAction>()) {
        if (elsewhere.contains(action)) continue;
        SCOPED_TRACE(enumRaw(action).toStdString());
        GestureRule rule = swipeRule(3, Direction::right, action);
        rule.applicationTarget =
            ApplicationTarget{QStringLiteral("/usr/share/applications/org.gnome.TextEditor.desktop"),
                              QStringLiteral("org.gnome.TextEditor.desktop"), QStringLiteral("文本编辑器")};
        rule.shortcut = KeyboardShortcut{17, control | option, QStringLiteral("⌃⌥T"), std::nullopt};
        h.settings.setRules({rule});
        // The file actions act in the file manager, the rest in a browser.
        const QString front = action == A::quickLook || action == A::copyFilePath ? kNautilus : firefox;
        h.frontmost.setBundleIdentifier(front);
        c.setCurrentApplicationID(front);
        clearEvents();
        shown().clear();
        groups.calls.clear();

        swipe(t += 2);

        if (action == A::none) {
            // A rule bound to nothing is never matched.
            EXPECT_TRUE(shown().empty());
            EXPECT_TRUE(poster.posted().empty());
            continue;
        }
        ASSERT_FALSE(shown().empty()) << "no notice at all";
        const HUDNotice nothingToDo{QStringLiteral("尚未设置动作"), QStringLiteral("info.circle"),
                                    HUDNotice::Kind::information};
        EXPECT_NE(shown().back(), nothingToDo) << "fell through to the end of the road";
        QString outcome;
        for (const HUDNotice& n : shown()) outcome += n.text + u'|' + n.symbol + u';';
        for (const InputEvent& e : poster.posted()) {
            outcome += QStringLiteral("%1:%2:%3;").arg(int(e.type)).arg(e.keyCode).arg(e.flags);
        }
        // The stand-in executors' answers are alike; their calls are not.
        for (const QString& call : groups.calls) {
            if (!call.startsWith(u"clipboard(") && !call.startsWith(u"target(") && !call.startsWith(u"system(")) {
                outcome += call + u';';
            }
        }
        const auto [same, added] = outcomes.emplace(outcome, action);
        if (!added) {
            const auto pair = alike.find(action);
            EXPECT_TRUE(pair != alike.end() && pair->second == same->second)
                << "carried out as " << enumRaw(same->second).toStdString() << " is";
        }

        // Leave nothing held or open for the next action.
        drag().release(false);
        switcher().end(true);
        executors->windowScreenshot().cancel();
        SimTime::drain();
    }
}

TEST_F(ActionRoadTest, PageLinksAndWindowPicturesReachTheClipboard) {
    const QString firefox = QStringLiteral("firefox-esr.desktop");
    h.frontmost.setBundleIdentifier(firefox);
    c.setCurrentApplicationID(firefox);
    browserPages.setPage(QStringLiteral("Glidra"), QStringLiteral("https://example.org/glidra"));
    h.settings.setRules(
        {swipeRule(3, Direction::right, A::copyPageLink), swipeRule(3, Direction::left, A::screenshotWindowClipboard)});

    swipe(1);
    EXPECT_EQ(browserPages.reads(), QStringList{firefox});
    EXPECT_EQ(pasteboard.text(), QStringLiteral("https://example.org/glidra"));
    EXPECT_EQ(shown(), (std::vector{HUDNotice{QStringLiteral("已复制网页链接"), QStringLiteral("doc.on.clipboard"),
                                              HUDNotice::Kind::success}}));

    // The selection's flag resets the gesture state, so the service shows its
    // own notices; the picture is reported once it is on the clipboard.
    shown().clear();
    swipe(3, 3, Direction::left);
    EXPECT_TRUE(c.isSelectingScreenshot());
    screenshots.pickWindow();
    SimTime::drain();
    EXPECT_FALSE(c.isSelectingScreenshot());
    EXPECT_EQ(shown(),
              (std::vector{
                  HUDNotice{QStringLiteral("点击选择窗口 · Esc 取消"), QStringLiteral("camera.viewfinder"),
                            HUDNotice::Kind::information},
                  HUDNotice{QStringLiteral("窗口截图已复制"), QStringLiteral("checkmark"), HUDNotice::Kind::success},
              }));
}

TEST_F(ActionRoadTest, TheGestureThatLockedTheKeyboardUnlocksItAndNothingElseRunsMeanwhile) {
    KeyboardLockController& lock = executors->keyboardLock();
    groups.systemExecutor = [&lock](GestureAction action) -> std::optional<HUDNotice> {
        if (action == A::toggleKeyboardLock) return lock.toggleKeyboardLock();
        return std::nullopt;
    };
    h.settings.setRules(
        {swipeRule(3, Direction::right, A::toggleKeyboardLock), swipeRule(3, Direction::left, A::copy)});

    swipe(1);
    ASSERT_TRUE(lock.isLocked());
    EXPECT_EQ(shown().size(), 1u);

    clearEvents();
    shown().clear();
    swipe(3, 3, Direction::left);
    EXPECT_TRUE(poster.posted().empty()) << "no copy while locked";
    EXPECT_TRUE(shown().empty());

    swipe(5);
    EXPECT_FALSE(lock.isLocked());
    EXPECT_EQ(shown().size(), 1u);

    // The cleaning mode lets nothing through, its own toggle neither.
    lock.startCleaningMode();
    ASSERT_TRUE(lock.isCleaning());
    shown().clear();
    swipe(7);
    EXPECT_TRUE(lock.isCleaning());
    EXPECT_TRUE(shown().empty());
    lock.stop();
}

TEST_F(ActionRoadTest, TheHintOfTheSwitcherAGestureOpensIsSeenOnceAndEachStepShowsItAgain) {
    const HUDNotice hint{QStringLiteral("点击应用或方向键选择 · 回车切换 · Esc 取消"), QStringLiteral("app.switcher"),
                         HUDNotice::Kind::information};
    h.settings.setRules({swipeRule(3, Direction::up, A::openApplicationSwitcher)});
    swipe(1, 3, Direction::up);
    EXPECT_TRUE(switcher().isOpen());
    EXPECT_EQ(shown(), std::vector{hint}) << "opening reset the gesture state; the switcher showed the hint";

    // The open switcher holds a synthetic Super; the next gesture is no
    // Super-gesture for that, and steps the selection.
    h.keyboard.setCombinedFlags(command);
    swipe(3, 3, Direction::up);
    EXPECT_EQ(shown(), (std::vector{hint, hint}));
    EXPECT_TRUE(switcher().isOpen());
}

}  // namespace
}  // namespace glidra::test
