// Running a bound action: the gate before and inside the task, the front
// application, the application switcher, and the notice that is presented
// only while the generation, the epoch and the gate are still those of the
// gesture. The dispatcher is the recording fake; an action takes the time
// the test gives it on the manual clock.

#include "settings/DisabledApplication.h"
#include "support/LogCapture.h"
#include "trackpad/FramePathFixture.h"
#include "trackpad/TypingActivityMonitor.h"

namespace glidra::test {
namespace {

using A = GestureAction;

const QString kEditor = QStringLiteral("com.example.editor");

GestureBinding bound(GestureAction action) {
    GestureBinding binding;
    binding.action = action;
    return binding;
}

InputEvent typedKey() {
    InputEvent event;
    event.type = InputEvent::Type::keyDown;
    event.keyCode = 0;  // A
    event.origin = EventOrigin::hardware;
    event.sourceProcessId = 4242;
    return event;
}

struct ActionRunRig : FramePathRig {
    // Runs `action` for a gesture in the editor and lets its task run.
    void run(GestureAction action, std::optional<QString> application = kEditor) {
        c.runBoundAction(bound(action), application);
        SimTime::drain();
    }
    std::vector<HUDNotice> shown() const { return h.hud->notices; }
};

class ActionRunTest : public ::testing::Test, protected ActionRunRig {};

TEST_F(ActionRunTest, TheGateRefusesSilentlyWhileAnyConditionFails) {
    struct Case {
        const char* name;
        std::function<void(ActionRunRig&)> arrange;
    };
    const Case cases[] = {
        {"keyboard locked", [](ActionRunRig& t) { t.h.executors.keyboardLocked = true; }},
        {"control off", [](ActionRunRig& t) { t.c.setEnabled(false); }},
        {"not listening", [](ActionRunRig& t) { t.c.setListening(false); }},
        {"a modal sheet", [](ActionRunRig& t) { t.c.setReviewingConflicts(true); }},
        {"practice", [](ActionRunRig& t) { t.c.setPracticeMode(true); }},
        {"learning", [](ActionRunRig& t) { t.c.setLearningGesture(true); }},
        {"typing", [](ActionRunRig& t) { t.c.typingMonitor().handleKeyDown(typedKey()); }},
        {"disabled application",
         [](ActionRunRig& t) {
             t.h.settings.setDisabledApplications({{kEditor, QStringLiteral("编辑器")}});
         }},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        ActionRunRig t;
        t.h.time.advanceTo(10);
        const QString status = t.c.status();
        tc.arrange(t);
        EXPECT_FALSE(t.c.canPerformActions(kEditor));
        t.run(A::copy);
        EXPECT_TRUE(t.dispatched().empty());
        EXPECT_TRUE(t.shown().empty());
        EXPECT_EQ(t.c.status(), status);
    }
    h.time.advanceTo(10);
    EXPECT_TRUE(c.canPerformActions(kEditor));
}

TEST_F(ActionRunTest, TypingHoldsActionsBackForSixTenthsOfASecondWhileProtectionIsOn) {
    h.time.advanceTo(2);
    c.typingMonitor().handleKeyDown(typedKey());
    h.time.advanceTo(2.599);
    run(A::copy);
    EXPECT_TRUE(dispatched().empty());
    h.time.advanceTo(2.6);
    run(A::copy);
    EXPECT_EQ(ranActions(), std::vector{A::copy});

    c.typingMonitor().handleKeyDown(typedKey());
    h.settings.setTypingProtectionEnabled(false);
    run(A::paste);
    EXPECT_EQ(ranActions(), (std::vector{A::copy, A::paste}));
}

TEST_F(ActionRunTest, AnEmptyApplicationIdentifierIsNeverDisabled) {
    h.settings.setDisabledApplications({{QString(), QStringLiteral("无名")}});
    h.frontmost.setBundleIdentifier(QString());
    EXPECT_TRUE(c.canPerformActions(QString()));
    run(A::copy, QString());
    EXPECT_EQ(ranActions(), std::vector{A::copy});
}

TEST_F(ActionRunTest, APlainKeyboardLockLetsOnlyItsOwnToggleThrough) {
    h.executors.keyboardLocked = true;
    EXPECT_FALSE(c.canPerformActions(kEditor));
    run(A::copy);
    run(A::startCleaningMode);
    run(A::toggleKeyboardLock);
    EXPECT_EQ(ranActions(), std::vector{A::toggleKeyboardLock});
    EXPECT_EQ(shown().size(), 1u) << "its notice is shown";

    // The cleaning mode ends by itself; nothing gets through it.
    h.executors.keyboardCleaning = true;
    run(A::toggleKeyboardLock);
    EXPECT_EQ(ranActions(), std::vector{A::toggleKeyboardLock});
}

TEST_F(ActionRunTest, AnOpenSwitcherIsDismissedBeforeTheTaskUnlessTheActionKeepsIt) {
    h.executors.applicationSwitcherOpen = true;
    run(A::volumeUp);
    run(A::mouseDoubleClick);
    EXPECT_EQ(h.log.count(QStringLiteral("endApplicationSwitcher(1)")), 0);

    h.log.calls.clear();
    c.runBoundAction(bound(A::copy), kEditor);
    EXPECT_EQ(h.log.calls, QStringList{QStringLiteral("endApplicationSwitcher(1)")}) << "before the task starts";
    SimTime::drain();
    EXPECT_EQ(h.log.calls.at(1), QStringLiteral("perform(copy)"));
}

TEST_F(ActionRunTest, TheActionRunsOnlyWhileTheGesturesApplicationIsInFront) {
    const auto attempt = [this](std::optional<QString> application, std::optional<QString> front) {
        clearDispatched();
        c.runBoundAction(bound(A::copy), application);
        h.frontmost.setBundleIdentifier(std::move(front));  // before the task starts
        return !dispatched().empty();
    };
    EXPECT_TRUE(attempt(kEditor, kEditor));
    EXPECT_FALSE(attempt(QStringLiteral("org.gnome.Nautilus.desktop"), kEditor));
    EXPECT_TRUE(attempt(std::nullopt, std::nullopt));
    EXPECT_FALSE(attempt(std::nullopt, kEditor));
    EXPECT_FALSE(attempt(kEditor, std::nullopt));
    EXPECT_EQ(shown().size(), 2u) << "a cancelled action says nothing";
}

TEST_F(ActionRunTest, TheNoticeBecomesTheStatusAndAnErrorTheActionIssue) {
    const HUDNotice failed{QStringLiteral("无法打开网页"), QStringLiteral("globe"), HUDNotice::Kind::error};
    const HUDNotice hint{QStringLiteral("尚未设置动作"), QStringLiteral("info.circle"), HUDNotice::Kind::information};
    h.dispatcher.answer = failed;
    run(A::openURL);
    EXPECT_EQ(c.actionIssue(), failed.text);
    EXPECT_EQ(c.status(), failed.text);
    h.dispatcher.answer = hint;
    run(A::none);
    EXPECT_EQ(c.actionIssue(), std::nullopt);
    EXPECT_EQ(c.status(), hint.text);
    EXPECT_EQ(shown(), (std::vector{failed, hint}));
}

TEST_F(ActionRunTest, AResultThatArrivesAfterTheWorldMovedOnIsDropped) {
    struct Case {
        const char* name;
        std::function<void(ActionRunRig&)> moveOn;
    };
    const Case cases[] = {
        {"control switched off", [](ActionRunRig& t) { t.c.toggleEnabled(); }},
        {"listening stopped", [](ActionRunRig& t) { t.c.stopListening(); }},
        {"the gesture state reset", [](ActionRunRig& t) { t.c.resetGestureState(); }},
        {"practice started", [](ActionRunRig& t) { t.c.setPracticeMode(true); }},
        {"the keyboard locked", [](ActionRunRig& t) { t.h.executors.keyboardLocked = true; }},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        ActionRunRig t;
        t.h.dispatcher.answer = HUDNotice{QStringLiteral("失败"), QStringLiteral("xmark"), HUDNotice::Kind::error};
        t.h.dispatcher.duration = 1.0;
        t.run(A::copy);
        ASSERT_EQ(t.ranActions(), std::vector{A::copy});

        t.h.time.advanceBy(0.5);
        tc.moveOn(t);
        const auto status = t.c.status();
        const auto shownBefore = t.shown().size();
        t.h.time.advanceBy(1.0);
        EXPECT_EQ(t.shown().size(), shownBefore);
        EXPECT_EQ(t.c.status(), status);
        EXPECT_EQ(t.c.actionIssue(), std::nullopt);
    }
}

TEST_F(ActionRunTest, ATaskCancelledBeforeItStartsNeverReachesTheDispatcher) {
    c.runBoundAction(bound(A::copy), kEditor);
    c.resetGestureState();
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.actionTasks().runningCount(), 0u);
}

TEST_F(ActionRunTest, AFailedActionIsLoggedWithTheActionAndItsReason) {
    h.time.advanceTo(10);
    LogCapture log(true);
    run(A::copy);
    EXPECT_TRUE(log.texts("glidra.actions").empty());
    EXPECT_EQ(log.texts("glidra.actions", QtDebugMsg), QStringList{QStringLiteral("running copy")});

    h.dispatcher.answer = HUDNotice{QStringLiteral("无法打开 报告.pdf"), QStringLiteral("doc"), HUDNotice::Kind::error};
    run(A::openFile);
    EXPECT_EQ(log.texts("glidra.actions"), QStringList{QStringLiteral("openFile failed: 无法打开 报告.pdf")});
}

}  // namespace
}  // namespace glidra::test
