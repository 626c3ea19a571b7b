// Synthesised clicks, scrolls and media keys: the events posted for each
// action and failure, the click sequence, and the desktop views.

#include "executors/ExecutorFixture.h"
#include "support/TaskResult.h"

namespace glidra::test {
namespace {

const QPointF kPointer(512.5, 300.25);

InputEvent mouse(Type type, std::int32_t button, std::int64_t clicks, std::uint64_t flags, QPointF at = kPointer) {
    InputEvent e;
    e.type = type;
    e.mouseButton = button;
    e.clickState = clicks;
    e.flags = flags;
    e.location = at;
    markOwnEvent(e, kMouseEventMarker);
    return e;
}

InputEvent scroll(std::int32_t vertical, std::int32_t horizontal, std::uint64_t flags) {
    InputEvent e;
    e.type = Type::scrollWheel;
    e.scrollDeltaY = vertical;
    e.scrollDeltaX = horizontal;
    e.flags = flags;
    e.location = kPointer;
    markOwnEvent(e, 0);
    return e;
}

std::vector<std::int64_t> clickStates(const std::vector<InputEvent>& events) {
    std::vector<std::int64_t> states;
    for (const InputEvent& e : events) states.push_back(e.clickState);
    return states;
}

const HUDNotice kMouseUnavailable{QStringLiteral("鼠标操作暂不可用"), QStringLiteral("computermouse"),
                                  HUDNotice::Kind::error};

class SyntheticInputTest : public ExecutorTest {
protected:
    SyntheticInputTest() {
        poster.setPointerLocation(kPointer);
        poster.setDoubleClickInterval(0.5);
        h.frontmost.setProcessIdentifier(4100);
    }

    std::vector<std::int64_t> click(GestureAction action, double at) {
        h.time.advanceTo(at);
        poster.clearPosted();
        EXPECT_EQ(input().performMouseAction(action).kind, HUDNotice::Kind::success);
        return clickStates(poster.posted());
    }
};

TEST_F(SyntheticInputTest, EachMouseActionPostsItsEventsAtThePointerWithTheHeldModifiers) {
    // Caps Lock stays as the system reports it; Control is stale (no key is
    // down), Shift is held.
    const std::uint64_t flags = capsLock | shift;
    struct Case {
        GestureAction action;
        std::vector<InputEvent> events;
        const char* title;
        const char* symbol;
    };
    const Case cases[] = {
        {GestureAction::mouseLeftClick,
         {mouse(Type::leftMouseDown, 0, 1, flags), mouse(Type::leftMouseUp, 0, 1, flags)},
         "鼠标左键点击",
         "computermouse.fill"},
        {GestureAction::mouseRightClick,
         {mouse(Type::rightMouseDown, 1, 1, flags), mouse(Type::rightMouseUp, 1, 1, flags)},
         "鼠标右键点击",
         "computermouse"},
        {GestureAction::mouseMiddleClick,
         {mouse(Type::otherMouseDown, 2, 1, flags), mouse(Type::otherMouseUp, 2, 1, flags)},
         "鼠标中键点击",
         "computermouse"},
        {GestureAction::mouseDoubleClick,
         {mouse(Type::leftMouseDown, 0, 1, flags), mouse(Type::leftMouseUp, 0, 1, flags),
          mouse(Type::leftMouseDown, 0, 2, flags), mouse(Type::leftMouseUp, 0, 2, flags)},
         "鼠标双击",
         "computermouse.fill"},
        {GestureAction::mouseScrollUp, {scroll(120, 0, flags)}, "滚轮向上滚动", "arrow.up.circle"},
        {GestureAction::mouseScrollDown, {scroll(-120, 0, flags)}, "滚轮向下滚动", "arrow.down.circle"},
        {GestureAction::mouseScrollLeft, {scroll(0, 120, flags)}, "滚轮向左滚动", "arrow.left.circle.fill"},
        {GestureAction::mouseScrollRight, {scroll(0, -120, flags)}, "滚轮向右滚动", "arrow.right.circle.fill"},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.poster.setPointerLocation(kPointer);
        rig.h.keyboard.setCombinedFlags(capsLock | control);
        rig.h.keyboard.press(60);  // right Shift

        EXPECT_EQ(rig.input().performMouseAction(tc.action),
                  (HUDNotice{QString::fromUtf8(tc.title), QString::fromUtf8(tc.symbol), HUDNotice::Kind::success}))
            << enumRaw(tc.action).toStdString();
        EXPECT_EQ(rig.poster.posted(), tc.events) << enumRaw(tc.action).toStdString();
    }
}

TEST_F(SyntheticInputTest, AnEventThatCannotBeMadePostsNothingAndKeepsTheSequence) {
    struct Case {
        GestureAction action;
        int creations;  // the pointer, then each event in order
    };
    const Case cases[] = {
        {GestureAction::mouseLeftClick, 3},
        {GestureAction::mouseDoubleClick, 5},
        {GestureAction::mouseScrollUp, 2},
    };
    for (const auto& tc : cases) {
        for (int failing = 0; failing < tc.creations; ++failing) {
            ExecutorRig rig;
            rig.input().performMouseAction(GestureAction::mouseLeftClick);
            const MouseClickSequence before = rig.input().clickSequence();
            rig.poster.clearPosted();

            rig.poster.failEventCreation(failing);
            EXPECT_EQ(rig.input().performMouseAction(tc.action), kMouseUnavailable)
                << enumRaw(tc.action).toStdString() << " failing " << failing;
            EXPECT_TRUE(rig.poster.posted().empty()) << enumRaw(tc.action).toStdString() << " failing " << failing;
            EXPECT_EQ(rig.input().clickSequence(), before) << enumRaw(tc.action).toStdString();
        }
    }
    // Not a mouse action at all.
    EXPECT_EQ(input().performMouseAction(GestureAction::copy), kMouseUnavailable);
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(SyntheticInputTest, RepeatedClicksCountUpUntilSomethingElseComesBetween) {
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 1.0), (std::vector<std::int64_t>{1, 1}));
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 1.4), (std::vector<std::int64_t>{2, 2}));
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 1.8), (std::vector<std::int64_t>{3, 3}));
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 2.2), (std::vector<std::int64_t>{4, 4}));
    // Another button starts over.
    EXPECT_EQ(click(GestureAction::mouseRightClick, 2.4), (std::vector<std::int64_t>{1, 1}));
    EXPECT_EQ(click(GestureAction::mouseRightClick, 2.5), (std::vector<std::int64_t>{2, 2}));

    // A held Shift is another kind of click.
    h.keyboard.press(56);
    EXPECT_EQ(click(GestureAction::mouseRightClick, 2.6), (std::vector<std::int64_t>{1, 1}));
    h.keyboard.releaseAll();

    // So is a click in another application.
    EXPECT_EQ(click(GestureAction::mouseMiddleClick, 2.7), (std::vector<std::int64_t>{1, 1}));
    h.frontmost.setProcessIdentifier(4200);
    EXPECT_EQ(click(GestureAction::mouseMiddleClick, 2.8), (std::vector<std::int64_t>{1, 1}));

    // A scroll or a double click ends the sequence; a double click always
    // counts 1 then 2.
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 3.0), (std::vector<std::int64_t>{1, 1}));
    click(GestureAction::mouseScrollDown, 3.1);
    EXPECT_EQ(input().clickSequence(), MouseClickSequence());
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 3.2), (std::vector<std::int64_t>{1, 1}));
    EXPECT_EQ(click(GestureAction::mouseDoubleClick, 3.3), (std::vector<std::int64_t>{1, 1, 2, 2}));
    EXPECT_EQ(input().clickSequence(), MouseClickSequence());
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 3.4), (std::vector<std::int64_t>{1, 1}));

    // The controller's gesture-state reset forgets it too.
    c.resetGestureState();
    EXPECT_EQ(click(GestureAction::mouseLeftClick, 3.5), (std::vector<std::int64_t>{1, 1}));
}

TEST(MouseClickSequenceTest, AClickContinuesOnlyWithinTheIntervalAndDistanceOfItsSequence) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto left = GestureAction::mouseLeftClick;
    const auto first = MouseClickSequence().next({left, QPointF(100, 100), 10.0, 0.5, 0, 7}).record;
    ASSERT_EQ(first.clickCount, 1);

    struct Case {
        const char* name;
        MouseClickSequence::Click click;
        std::int64_t count;
        bool emptyRecord;
    };
    const Case cases[] = {
        {"the interval exactly", {left, QPointF(100, 100), 10.5, 0.5, 0, 7}, 2, false},
        {"just past the interval", {left, QPointF(100, 100), 10.5001, 0.5, 0, 7}, 1, false},
        {"before the last click", {left, QPointF(100, 100), 9.9, 0.5, 0, 7}, 1, false},
        {"4 points away", {left, QPointF(104, 100), 10.2, 0.5, 0, 7}, 2, false},
        {"4.01 points away", {left, QPointF(100, 104.01), 10.2, 0.5, 0, 7}, 1, false},
        {"other flags", {left, QPointF(100, 100), 10.2, 0.5, 0x20000, 7}, 1, false},
        {"another process", {left, QPointF(100, 100), 10.2, 0.5, 0, 8}, 1, false},
        {"no front application", {left, QPointF(100, 100), 10.2, 0.5, 0, std::nullopt}, 1, false},
        {"another button", {GestureAction::mouseRightClick, QPointF(100, 100), 10.2, 0.5, 0, 7}, 1, false},
        {"no interval", {left, QPointF(100, 100), 10.2, 0.0, 0, 7}, 1, true},
        {"an endless interval", {left, QPointF(100, 100), 10.2, inf, 0, 7}, 1, true},
        {"no time", {left, QPointF(100, 100), nan, 0.5, 0, 7}, 1, true},
        {"no pointer", {left, QPointF(inf, 100), 10.2, 0.5, 0, 7}, 1, true},
    };
    for (const auto& tc : cases) {
        const auto step = first.next(tc.click);
        EXPECT_EQ(step.count, tc.count) << tc.name;
        EXPECT_EQ(step.record == MouseClickSequence(), tc.emptyRecord) << tc.name;
        if (!tc.emptyRecord) {
            EXPECT_EQ(step.record.clickCount, tc.count) << tc.name;
            EXPECT_EQ(step.record.time, tc.click.now) << tc.name;
        }
    }

    // Without a front application twice, the click still continues.
    const auto alone = MouseClickSequence().next({left, QPointF(0, 0), 1.0, 0.5, 0, std::nullopt}).record;
    EXPECT_EQ(alone.next({left, QPointF(0, 0), 1.1, 0.5, 0, std::nullopt}).count, 2);

    // The distance is measured from the first click, not the last.
    auto sequence = MouseClickSequence();
    std::vector<std::int64_t> counts;
    for (int i = 0; i < 3; ++i) {
        const auto step = sequence.next({left, QPointF(100 + 3 * i, 100), 1.0 + 0.1 * i, 0.5, 0, 7});
        counts.push_back(step.count);
        sequence = step.record;
    }
    EXPECT_EQ(counts, (std::vector<std::int64_t>{1, 2, 1}));
}

TEST_F(SyntheticInputTest, AClickNeverCarriesTheSwitchersCommand) {
    h.keyboard.press(55);
    input().performMouseAction(GestureAction::mouseLeftClick);
    EXPECT_EQ(poster.posted()[0].flags, command);

    switcher().begin();
    poster.clearPosted();
    input().performMouseAction(GestureAction::mouseLeftClick);
    ASSERT_EQ(poster.posted().size(), 2u);
    EXPECT_EQ(poster.posted()[0].flags, 0u);
    EXPECT_EQ(poster.posted()[1].flags, 0u);
}

TEST_F(SyntheticInputTest, AMediaKeyIsPostedAsADownAndUpPairOrNotAtAll) {
    const auto systemDefined = [](std::int64_t data1, std::uint64_t flags) {
        InputEvent e;
        e.type = Type::systemDefined;
        e.subtype = 8;
        e.data1 = data1;
        e.data2 = -1;
        e.flags = flags;
        markOwnEvent(e, 0);
        return e;
    };
    struct Case {
        ShortcutMediaKey key;
        std::int64_t keyType;
    };
    for (const Case tc : {Case{ShortcutMediaKey::volumeUp, 0}, Case{ShortcutMediaKey::playPause, 16},
                          Case{ShortcutMediaKey::keyboardBrightnessDown, 22}}) {
        poster.clearPosted();
        EXPECT_EQ(input().postMediaKey(shift | option, QStringLiteral("某个按键"), tc.key),
                  (HUDNotice{QStringLiteral("某个按键"), QStringLiteral("keyboard"), HUDNotice::Kind::success}));
        EXPECT_EQ(poster.posted(), (std::vector{systemDefined((tc.keyType << 16) | 0xA00, shift | option),
                                                systemDefined((tc.keyType << 16) | 0xB00, shift | option)}));
    }

    poster.clearPosted();
    EXPECT_EQ(input().postMediaKey(0, QStringLiteral("x"), std::nullopt),
              (HUDNotice{QStringLiteral("未选择媒体按键"), QStringLiteral("keyboard"), HUDNotice::Kind::error}));
    for (int failing : {0, 1}) {
        poster.failEventCreation(failing);
        EXPECT_EQ(input().postMediaKey(0, QStringLiteral("x"), ShortcutMediaKey::mute),
                  (HUDNotice{QStringLiteral("媒体按键暂不可用"), QStringLiteral("keyboard"), HUDNotice::Kind::error}))
            << failing;
    }
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(SyntheticInputTest, TheDesktopViewsSayHowTheyWent) {
    using Outcome = DesktopViews::Outcome;
    struct Case {
        Outcome outcome;
        const char* desktop;
        const char* overview;
        HUDNotice::Kind kind;
    };
    const Case cases[] = {
        {Outcome::shown, "显示桌面", "桌面概览", HUDNotice::Kind::success},
        {Outcome::unavailable, "无法显示桌面", "找不到桌面概览", HUDNotice::Kind::error},
        {Outcome::failed, "无法显示桌面", "无法打开桌面概览", HUDNotice::Kind::error},
    };
    for (const auto& tc : cases) {
        desktopViews.setDesktopOutcome(tc.outcome);
        desktopViews.setOverviewOutcome(tc.outcome);
        EXPECT_EQ(executors->desktopViewLauncher().showDesktop(),
                  (HUDNotice{QString::fromUtf8(tc.desktop), QStringLiteral("desktopcomputer"), tc.kind}));
        EXPECT_EQ(waitForResult(executors->desktopViewLauncher().openMissionControl()),
                  (HUDNotice{QString::fromUtf8(tc.overview), QStringLiteral("rectangle.3.group"), tc.kind}));
    }
    EXPECT_EQ(desktopViews.desktopRequests(), 3);
    EXPECT_EQ(desktopViews.overviewRequests(), 3);
}

}  // namespace
}  // namespace glidra::test
