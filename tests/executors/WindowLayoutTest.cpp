#include "executors/WindowAction.h"
#include "executors/WindowLayoutExecutor.h"
#include "executors/WindowLayoutGeometry.h"
#include "platform/sim/SimScreens.h"
#include "platform/sim/SimWindowControl.h"
#include "support/NoticePrinter.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRectF& rect, std::ostream* out) {
    *out << '(' << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height() << ')';
}
QT_END_NAMESPACE

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;
using sim::SimWindowControl;

// A laptop display with a top bar, and an external one to its right with a
// dock along its bottom.
const ScreenInfo kLaptop{QStringLiteral("eDP-1"), QRectF(0, 0, 1440, 900), QRectF(0, 30, 1440, 870)};
const ScreenInfo kExternal{QStringLiteral("HDMI-1"), QRectF(1440, 0, 1920, 1080), QRectF(1440, 0, 1920, 1000)};

TEST(WindowLayoutGeometryTest, HalvesMaximisesAndCentresWithinTheVisibleFrame) {
    const QRectF visible = kLaptop.visibleFrame;
    const QRectF window(100, 100, 600, 400);
    struct Case {
        GestureAction action;
        QRectF window;
        QRectF expected;
    };
    const Case cases[] = {
        {GestureAction::windowLeftHalf, window, QRectF(0, 30, 720, 870)},
        {GestureAction::windowRightHalf, window, QRectF(720, 30, 720, 870)},
        {GestureAction::maximizeWindow, window, visible},
        {GestureAction::centerWindow, window, QRectF(420, 265, 600, 400)},
        // Taller than the visible frame: the title bar stays at its top.
        {GestureAction::centerWindow, QRectF(0, 0, 600, 1200), QRectF(420, 30, 600, 1200)},
        // Wider: it overhangs both sides.
        {GestureAction::centerWindow, QRectF(0, 0, 1600, 400), QRectF(-80, 265, 1600, 400)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowLayoutGeometry::target(c.action, c.window, visible), c.expected) << enumRaw(c.action);
    }
    EXPECT_EQ(WindowLayoutGeometry::target(GestureAction::restoreWindow, window, visible), std::nullopt);
}

TEST(WindowLayoutGeometryTest, AWindowBelongsToTheScreenItOverlapsMostAndTheFirstOnATie) {
    const std::vector<ScreenInfo> screens{kLaptop, kExternal};
    EXPECT_EQ(WindowLayoutGeometry::screenIndex(QRectF(1300, 100, 400, 300), screens), 1u);
    EXPECT_EQ(WindowLayoutGeometry::screenIndex(QRectF(1240, 100, 400, 300), screens), 0u) << "equal overlap";
    EXPECT_EQ(WindowLayoutGeometry::screenIndex(QRectF(5000, 5000, 100, 100), screens), 0u) << "off every screen";
    EXPECT_EQ(WindowLayoutGeometry::screenIndex(QRectF(0, 0, 100, 100), {}), std::nullopt);
}

TEST(WindowLayoutGeometryTest, TheNextDisplayKeepsTheRelativePlaceAndShrinksOnlyToFit) {
    const QRectF visible(0, 0, 1000, 800);
    const QRectF next(1000, 0, 500, 400);
    // At the left edge: fx 0, same size.
    EXPECT_EQ(WindowLayoutGeometry::nextDisplayTarget(QRectF(0, 0, 100, 100), visible, next),
              QRectF(1000, 0, 100, 100));
    // Halfway along both axes.
    EXPECT_EQ(WindowLayoutGeometry::nextDisplayTarget(QRectF(450, 350, 100, 100), visible, next),
              QRectF(1200, 150, 100, 100));
    // Wider than the next visible frame: takes its width; as wide as its own
    // visible frame: fx 0.5.
    EXPECT_EQ(WindowLayoutGeometry::nextDisplayTarget(QRectF(0, 0, 1000, 100), visible, next),
              QRectF(1000, 0, 500, 100));
    // Hanging off the left: fx counts as 0; off the bottom: fy as 1.
    EXPECT_EQ(WindowLayoutGeometry::nextDisplayTarget(QRectF(-50, 900, 100, 100), visible, next),
              QRectF(1000, 300, 100, 100));
}

class WindowLayoutExecutorTest : public ::testing::Test {
protected:
    SimWindowControl windows;
    sim::SimScreens screens;
    WindowFrameHistory history;
    WindowLayoutExecutor layout{windows, screens, history};

    static constexpr WindowControl::WindowId kWindow = 7;
    const QRectF start{100, 100, 600, 400};

    void SetUp() override {
        screens.setScreens({kLaptop});
        windows.addWindow(kWindow, start);
        windows.setFocusedWindow(kWindow);
    }

    QRectF frame() { return windows.frameNow(kWindow).value_or(QRectF()); }
    HUDNotice perform(GestureAction action) { return test::completed(layout.perform(action)); }
    static HUDNotice applied(GestureAction action) { return {title(action), symbolName(action), Kind::success}; }
};

const HUDNotice kUnsupported = test::notice("当前窗口不支持调整布局", "macwindow", Kind::error);
const HUDNotice kNothingToRestore = test::notice("尚无可恢复的窗口布局", "macwindow", Kind::information);
const HUDNotice kLimited = test::notice("窗口尺寸受应用限制", "macwindow", Kind::information);
const HUDNotice kNoOtherDisplay = test::notice("请先连接另一台显示器", "display.2", Kind::information);

TEST_F(WindowLayoutExecutorTest, EachLayoutMovesTheFocusedWindowAndSaysSo) {
    struct Case {
        GestureAction action;
        QRectF expected;
    };
    for (const Case& c : {Case{GestureAction::windowLeftHalf, QRectF(0, 30, 720, 870)},
                          Case{GestureAction::windowRightHalf, QRectF(720, 30, 720, 870)},
                          Case{GestureAction::maximizeWindow, kLaptop.visibleFrame},
                          Case{GestureAction::centerWindow, QRectF(420, 265, 600, 400)}}) {
        windows.addWindow(kWindow, start);
        EXPECT_EQ(perform(c.action), applied(c.action)) << enumRaw(c.action);
        EXPECT_EQ(frame(), c.expected) << enumRaw(c.action);
    }
}

TEST_F(WindowLayoutExecutorTest, RestoreReturnsToTheFrameFromBeforeTheFirstLayoutOnce) {
    EXPECT_EQ(perform(GestureAction::windowLeftHalf).kind, Kind::success);
    EXPECT_EQ(perform(GestureAction::windowRightHalf).kind, Kind::success);
    EXPECT_EQ(history.frame(kWindow), start) << "the first frame is kept";

    EXPECT_EQ(perform(GestureAction::restoreWindow), applied(GestureAction::restoreWindow));
    EXPECT_EQ(frame(), start);
    EXPECT_TRUE(history.entries().empty());
    EXPECT_EQ(perform(GestureAction::restoreWindow), kNothingToRestore);
}

TEST_F(WindowLayoutExecutorTest, AFullScreenWindowIsLeftAlone) {
    windows.window(kWindow).fullScreen = true;
    for (GestureAction action : {GestureAction::maximizeWindow, GestureAction::restoreWindow}) {
        EXPECT_EQ(perform(action), test::notice("请先退出全屏再调整窗口", "macwindow", Kind::information));
    }
    EXPECT_TRUE(windows.requests().empty());
    EXPECT_TRUE(history.entries().empty());
}

TEST_F(WindowLayoutExecutorTest, AWindowThatKeepsALargerMinimumSizeIsReportedButCanBeRestored) {
    const QRectF wide(100, 100, 800, 400);
    windows.addWindow(kWindow, wide).minimumSize = QSizeF(780, 300);
    EXPECT_EQ(perform(GestureAction::windowLeftHalf), kLimited);
    EXPECT_EQ(frame(), QRectF(0, 30, 780, 870));
    EXPECT_EQ(history.frame(kWindow), wide) << "recorded before the change";

    EXPECT_EQ(perform(GestureAction::restoreWindow).kind, Kind::success);
    EXPECT_EQ(frame(), wide);
}

TEST_F(WindowLayoutExecutorTest, AWindowKeptOnItsScreenIsSizedAgainOnceItHasMoved) {
    const QRectF corner(800, 500, 600, 400);
    windows.addWindow(kWindow, corner).confinement = kLaptop.frame;
    EXPECT_EQ(perform(GestureAction::maximizeWindow), applied(GestureAction::maximizeWindow));
    EXPECT_EQ(frame(), kLaptop.visibleFrame);
    using Kind = SimWindowControl::Request::Kind;
    std::vector<Kind> asked;
    for (const auto& request : windows.requests()) asked.push_back(request.kind);
    EXPECT_EQ(asked, (std::vector{Kind::size, Kind::position, Kind::size}));
}

TEST_F(WindowLayoutExecutorTest, ARefusedRequestOrAnUnreadableWindowIsUnsupported) {
    windows.window(kWindow).refusesPosition = true;
    EXPECT_EQ(perform(GestureAction::maximizeWindow), kUnsupported);
    EXPECT_EQ(history.frame(kWindow), start) << "recorded even though the change failed";

    windows.addWindow(kWindow, start).refusesSize = true;
    EXPECT_EQ(perform(GestureAction::maximizeWindow), kUnsupported);

    windows.addWindow(kWindow, start).readable = false;
    EXPECT_EQ(perform(GestureAction::maximizeWindow), kUnsupported);

    windows.setFocusedWindow(std::nullopt);
    EXPECT_EQ(perform(GestureAction::maximizeWindow), kUnsupported);

    windows.addWindow(kWindow, start);
    windows.setFocusedWindow(kWindow);
    screens.setScreens({});
    EXPECT_EQ(perform(GestureAction::maximizeWindow), kUnsupported);
}

TEST_F(WindowLayoutExecutorTest, AWindowAlreadyCentredIsNeitherMovedNorRecorded) {
    windows.addWindow(kWindow, QRectF(420.5, 264.5, 600, 400));
    EXPECT_EQ(perform(GestureAction::centerWindow), applied(GestureAction::centerWindow));
    EXPECT_TRUE(windows.requests().empty());
    EXPECT_EQ(perform(GestureAction::restoreWindow), kNothingToRestore);
}

TEST_F(WindowLayoutExecutorTest, CentringThatDoesNotLandIsUnsupportedAndNotRecorded) {
    windows.window(kWindow).placementOffset = QPointF(0, 12);
    EXPECT_EQ(perform(GestureAction::centerWindow), kUnsupported);
    EXPECT_TRUE(history.entries().empty());

    windows.addWindow(kWindow, start).placementOffset = QPointF(3, -3);
    EXPECT_EQ(perform(GestureAction::centerWindow).kind, Kind::success) << "within 4 points";
    EXPECT_EQ(history.frame(kWindow), start);
}

TEST_F(WindowLayoutExecutorTest, MovingToTheNextDisplayNeedsASecondOneAndWrapsAround) {
    EXPECT_EQ(perform(GestureAction::moveWindowToNextDisplay), kNoOtherDisplay);
    EXPECT_TRUE(windows.requests().empty());

    screens.setScreens({kLaptop, kExternal});
    EXPECT_EQ(perform(GestureAction::moveWindowToNextDisplay), applied(GestureAction::moveWindowToNextDisplay));
    // From fx = 100/840 and fy = 70/470 on the laptop to the same place on the
    // external display.
    const QRectF onExternal = frame();
    EXPECT_DOUBLE_EQ(onExternal.left(), 1440 + 100.0 / 840 * 1320);
    EXPECT_DOUBLE_EQ(onExternal.top(), 70.0 / 470 * 600);
    EXPECT_EQ(onExternal.size(), start.size());

    EXPECT_EQ(perform(GestureAction::moveWindowToNextDisplay).kind, Kind::success);
    EXPECT_NEAR(frame().left(), start.left(), 1e-9) << "back on the first display";
    EXPECT_NEAR(frame().top(), start.top(), 1e-9);

    EXPECT_EQ(perform(GestureAction::restoreWindow).kind, Kind::success);
    EXPECT_EQ(frame(), start);
}

TEST_F(WindowLayoutExecutorTest, AWindowThatRefusesAnySizeStillMovesToTheNextDisplayWhenItFits) {
    screens.setScreens({kLaptop, kExternal});
    windows.window(kWindow).refusesSize = true;
    EXPECT_EQ(perform(GestureAction::moveWindowToNextDisplay).kind, Kind::success);

    // One that would have to shrink cannot.
    screens.setScreens(
        {kExternal, ScreenInfo{QStringLiteral("small"), QRectF(-400, 0, 400, 300), QRectF(-400, 0, 400, 300)}});
    EXPECT_EQ(perform(GestureAction::moveWindowToNextDisplay), kUnsupported);
}

TEST_F(WindowLayoutExecutorTest, TheHistoryKeepsThirtyTwoWindowsAndDropsTheOldest) {
    for (WindowControl::WindowId id = 1; id <= 33; ++id) {
        windows.addWindow(id, QRectF(double(id), 100, 600, 400));
        windows.setFocusedWindow(id);
        perform(GestureAction::maximizeWindow);
    }
    ASSERT_EQ(history.entries().size(), 32u);
    EXPECT_EQ(history.frame(1), std::nullopt);
    EXPECT_EQ(history.frame(2), QRectF(2, 100, 600, 400));
    EXPECT_EQ(history.entries().back().first, 33u);

    history.remove(17);
    EXPECT_EQ(history.entries().size(), 31u);
    EXPECT_EQ(history.entries()[15].first, 18u) << "the others keep their order";
}

TEST_F(WindowLayoutExecutorTest, ALayoutWhoseExecutorWentWhileTheDesktopAnsweredChangesNothingMore) {
    windows.setAnswersLater(true);
    std::optional<WindowLayoutExecutor> going(std::in_place, windows, screens, history);
    const auto notice = test::resultOf(going->perform(GestureAction::maximizeWindow));
    ASSERT_EQ(windows.waitingAnswers(), 1u) << "asking for the focused window";
    going.reset();
    windows.setAnswersLater(false);
    windows.releaseAnswers();
    test::SimTime::drain();
    EXPECT_EQ(*notice, kUnsupported);
    EXPECT_TRUE(windows.requests().empty());
    EXPECT_EQ(frame(), start);
}

TEST(WindowActionTest, MinimisesTheFocusedWindowOrLeavesItToTheDesktopsShortcut) {
    SimWindowControl windows;
    WindowAction action(windows);
    EXPECT_EQ(test::completed(action.minimizeFrontWindow()), std::nullopt) << "no focused window";

    windows.addWindow(1, QRectF(0, 0, 100, 100)).canMinimize = false;
    windows.setFocusedWindow(1);
    EXPECT_EQ(test::completed(action.minimizeFrontWindow()), std::nullopt);

    windows.addWindow(2, QRectF(0, 0, 100, 100));
    windows.setFocusedWindow(2);
    EXPECT_EQ(test::completed(action.minimizeFrontWindow()),
              test::notice("最小化窗口", "minus.rectangle", Kind::success));
    EXPECT_TRUE(windows.window(2).minimized);
}

TEST(WindowActionTest, ClosesTheFocusedWindowThroughItsCloseButton) {
    SimWindowControl windows;
    WindowAction action(windows);
    const HUDNotice cannotClose = test::notice("当前窗口无法关闭", "macwindow", Kind::error);
    EXPECT_EQ(test::completed(action.closeFrontWindow()), cannotClose) << "no focused window";

    windows.addWindow(1, QRectF(0, 0, 100, 100)).hasCloseButton = false;
    windows.setFocusedWindow(1);
    EXPECT_EQ(test::completed(action.closeFrontWindow()), cannotClose);

    windows.addWindow(2, QRectF(0, 0, 100, 100));
    windows.setFocusedWindow(2);
    EXPECT_EQ(test::completed(action.closeFrontWindow()), test::notice("关闭窗口", "xmark.square", Kind::success));
    EXPECT_TRUE(windows.window(2).closed);
}

}  // namespace
}  // namespace glidra
