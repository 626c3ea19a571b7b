// The drag hold: its actions and failures with the events they post, the
// tap's handling of the user's input, the watchdog on the manual clock, and
// the ways the button is let go.

#include "executors/ExecutorFixture.h"

namespace glidra::test {
namespace {

const QPointF kPointer(200, 150);

const HUDNotice kHeld{QStringLiteral("已按住左键 · 再做手势或 Esc 松开"), QStringLiteral("hand.draw"),
                      HUDNotice::Kind::information};
const HUDNotice kReleased{QStringLiteral("已松开鼠标左键"), QStringLiteral("hand.draw"), HUDNotice::Kind::success};
const HUDNotice kAlreadyHeld{QStringLiteral("正在拖拽 · Esc 松开"), QStringLiteral("hand.draw"),
                             HUDNotice::Kind::information};
const HUDNotice kNoTap{QStringLiteral("无法开始拖拽，请检查输入设备权限"), QStringLiteral("lock.fill"),
                       HUDNotice::Kind::error};
const HUDNotice kUnavailable{QStringLiteral("拖拽暂不可用"), QStringLiteral("hand.draw"), HUDNotice::Kind::error};

InputEvent button(Type type, std::uint64_t flags = shift) {
    InputEvent e;
    e.type = type;
    e.location = kPointer;
    e.clickState = 1;
    e.flags = flags;
    markOwnEvent(e, kMouseEventMarker);
    return e;
}

class MouseDragControllerTest : public ExecutorTest {
protected:
    MouseDragControllerTest() {
        poster.setPointerLocation(kPointer);
        h.keyboard.setCombinedFlags(shift);
    }

    void hold() {
        ASSERT_EQ(drag().perform(GestureAction::mouseHoldLeft), kHeld);
        clearEvents();
    }
};

TEST_F(MouseDragControllerTest, EachActionAnswersWithItsNoticeAndItsEvents) {
    struct Step {
        GestureAction action;
        HUDNotice notice;
        std::vector<InputEvent> posted;
        bool held;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const auto down = button(Type::leftMouseDown);
    const auto up = button(Type::leftMouseUp);
    const Case cases[] = {
        {"toggle twice",
         {{GestureAction::mouseToggleDrag, kHeld, {down}, true},
          {GestureAction::mouseToggleDrag, kReleased, {up}, false}}},
        {"hold, hold again, release",
         {{GestureAction::mouseHoldLeft, kHeld, {down}, true},
          {GestureAction::mouseHoldLeft, kAlreadyHeld, {}, true},
          {GestureAction::mouseReleaseLeft, kReleased, {up}, false}}},
        {"release with nothing held", {{GestureAction::mouseReleaseLeft, kReleased, {}, false}}},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.poster.setPointerLocation(kPointer);
        rig.h.keyboard.setCombinedFlags(shift);
        for (const Step& step : tc.steps) {
            rig.clearEvents();
            EXPECT_EQ(rig.drag().perform(step.action), step.notice) << tc.name;
            EXPECT_EQ(rig.poster.posted(), step.posted) << tc.name;
            // Our own button events pass our own tap untouched.
            EXPECT_EQ(rig.taps.delivered(), step.posted) << tc.name;
            EXPECT_EQ(rig.drag().state().isHeld, step.held) << tc.name;
            EXPECT_EQ(rig.executors->isMouseDragHeld(), step.held) << tc.name;
            EXPECT_EQ(rig.taps.installedCount(), step.held ? 1 : 0) << tc.name;
        }
        // Releases asked for by an action are reported by the action alone.
        EXPECT_TRUE(rig.dragHud->notices.empty()) << tc.name;
    }
}

TEST_F(MouseDragControllerTest, AHoldThatCannotStartLeavesTheButtonAloneAndNoTapBehind) {
    struct Case {
        const char* name;
        bool tapFails;
        int failingCreation;  // -1: none; 0: the pointer; 1: the mouse-down
        HUDNotice notice;
    };
    const Case cases[] = {
        {"no tap", true, -1, kNoTap},
        {"no pointer", false, 0, kUnavailable},
        {"no mouse-down", false, 1, kUnavailable},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.taps.setInstallFails(tc.tapFails);
        if (tc.failingCreation >= 0) rig.poster.failEventCreation(tc.failingCreation);

        EXPECT_EQ(rig.drag().perform(GestureAction::mouseToggleDrag), tc.notice) << tc.name;
        EXPECT_FALSE(rig.drag().state().isHeld) << tc.name;
        EXPECT_EQ(rig.taps.installedCount(), 0) << tc.name;
        // No mouse-up without the mouse-down it would answer.
        EXPECT_TRUE(rig.poster.posted().empty()) << tc.name;
        rig.h.time.advanceTo(60);
        EXPECT_TRUE(rig.poster.posted().empty()) << tc.name;
    }
}

TEST_F(MouseDragControllerTest, WhileHeldMovementsBecomeDragsOfTheLeftButton) {
    hold();
    for (Type type : {Type::mouseMoved, Type::leftMouseDragged}) {
        InputEvent moved = sim::SimEventTap::userMouse(type, QPointF(210, 150));
        moved.mouseButton = 5;
        const auto passed = taps.deliver(moved);
        ASSERT_TRUE(passed);
        EXPECT_EQ(passed->type, Type::leftMouseDragged);
        EXPECT_EQ(passed->mouseButton, 0);
        EXPECT_EQ(passed->location, QPointF(210, 150));
    }
    // Other keys and the right button are none of the drag's business.
    EXPECT_EQ(userKey(Type::keyDown, 0)->keyCode, 0);
    EXPECT_TRUE(userMouse(Type::rightMouseDown));
    EXPECT_TRUE(drag().state().isHeld);
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(MouseDragControllerTest, EscapeLetsGoAndIsSwallowedWhileARealClickLetsGoAndPasses) {
    hold();
    EXPECT_FALSE(userKey(Type::keyDown, 53));
    EXPECT_FALSE(drag().state().isHeld);
    EXPECT_EQ(poster.posted(), std::vector{button(Type::leftMouseUp)});
    EXPECT_EQ(dragHud->notices, std::vector{kReleased});
    // With nothing held there is no tap: Escape goes through.
    EXPECT_TRUE(userKey(Type::keyDown, 53));

    for (Type type : {Type::leftMouseDown, Type::leftMouseUp}) {
        ExecutorRig rig;
        rig.poster.setPointerLocation(kPointer);
        rig.drag().perform(GestureAction::mouseHoldLeft);
        rig.clearEvents();
        const auto passed = rig.userMouse(type, QPointF(1, 2));
        ASSERT_TRUE(passed);
        EXPECT_EQ(passed->type, type);
        EXPECT_FALSE(rig.drag().state().isHeld);
        EXPECT_EQ(rig.poster.posted(), std::vector{button(Type::leftMouseUp, 0)});
        EXPECT_TRUE(rig.dragHud->notices.empty());
    }
}

TEST_F(MouseDragControllerTest, ThirtySecondsWithoutMovementLetGo) {
    h.time.advanceTo(100);
    hold();
    h.time.advanceTo(129.5);
    EXPECT_TRUE(drag().state().isHeld);
    h.time.advanceTo(130);
    EXPECT_FALSE(drag().state().isHeld);
    EXPECT_EQ(poster.posted(), std::vector{button(Type::leftMouseUp)});
    EXPECT_EQ(dragHud->notices, std::vector{kReleased});
    EXPECT_EQ(h.time.scheduler.pendingCount(), 0u);

    // A movement starts the thirty seconds again; the watchdog looks once a
    // second.
    drag().perform(GestureAction::mouseHoldLeft);  // at 130
    h.time.advanceTo(150.5);
    userMouse(Type::mouseMoved);
    h.time.advanceTo(180);
    EXPECT_TRUE(drag().state().isHeld);
    h.time.advanceTo(180.9);
    EXPECT_TRUE(drag().state().isHeld);
    h.time.advanceTo(181);
    EXPECT_FALSE(drag().state().isHeld);
}

TEST_F(MouseDragControllerTest, SleepTerminationAndResetsLetGoSilentlyButASessionSwitchDoesNot) {
    struct Case {
        const char* name;
        std::function<void(ExecutorRig&)> event;
        bool released;
    };
    const Case cases[] = {
        {"sleep", [](ExecutorRig& r) { r.systemEvents.sleep(); }, true},
        {"termination", [](ExecutorRig& r) { r.systemEvents.terminate(); }, true},
        {"the tap is disabled", [](ExecutorRig& r) { r.taps.disableAll(EventTap::DisabledReason::timeout); }, true},
        {"a gesture-state reset", [](ExecutorRig& r) { r.c.setPracticeMode(true); }, true},
        {"the executor services", [](ExecutorRig& r) { r.executors->releaseMouseDrag(); }, true},
        {"the session resigns", [](ExecutorRig& r) { r.systemEvents.resignSession(); }, false},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.poster.setPointerLocation(kPointer);
        rig.drag().perform(GestureAction::mouseHoldLeft);
        rig.clearEvents();

        tc.event(rig);
        EXPECT_EQ(rig.drag().state().isHeld, !tc.released) << tc.name;
        EXPECT_EQ(rig.poster.posted().size(), tc.released ? 1u : 0u) << tc.name;
        EXPECT_EQ(rig.taps.installedCount(), tc.released ? 0 : 1) << tc.name;
        EXPECT_TRUE(rig.dragHud->notices.empty()) << tc.name;
    }
}

}  // namespace
}  // namespace glidra::test
