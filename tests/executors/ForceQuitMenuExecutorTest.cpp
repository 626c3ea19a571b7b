#include "executors/ForceQuitMenuExecutor.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimWorkspace.h"
#include "support/NoticePrinter.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;
using sim::SimElement;

constexpr std::int32_t kEditor = 10;
constexpr std::int32_t kLoginWindow = 200;

HUDNotice forceQuit(const char* text, Kind kind) { return test::notice(text, "stop.circle", kind); }

const HUDNotice kOpened = forceQuit("已打开强制退出窗口", Kind::success);
const QStringList kCancelled{QStringLiteral("AXCancel")};
const QStringList kPressed{QStringLiteral("AXPress")};

class ForceQuitMenuExecutorTest : public ::testing::Test {
protected:
    test::SimTime time;
    sim::SimWorkspace workspace;
    sim::SimAccessibility accessibility{time.clock};
    ForceQuitMenuExecutor executor{workspace, accessibility, time.scheduler};

    SimElement appleMenu;
    SimElement menu;
    SimElement aboutItem;
    SimElement forceQuitItem;
    SimElement forceQuitWindow;

    void SetUp() override {
        workspace.launch({kEditor, QStringLiteral("org.gnome.TextEditor.desktop"), QStringLiteral("文本编辑器")});
        workspace.launch({kLoginWindow, QStringLiteral("com.apple.loginwindow"), {}, ActivationPolicy::prohibited});
        workspace.bringToFront(kEditor);

        aboutItem = accessibility.element(QStringLiteral("AXMenuItem"), QStringLiteral("关于本机"));
        forceQuitItem = accessibility.element(QStringLiteral("AXMenuItem"), QStringLiteral("强制退出…"));
        menu = accessibility.element(QStringLiteral("AXMenu"));
        menu->children({aboutItem, forceQuitItem});
        appleMenu = accessibility.element(QStringLiteral("AXMenuBarItem"), QStringLiteral("Apple"));
        appleMenu->children({menu});
        appleMenu->acceptAction(QStringLiteral("AXPress"));
        SimElement menuBar = accessibility.element(QStringLiteral("AXMenuBar"));
        menuBar->children({appleMenu, accessibility.element(QStringLiteral("AXMenuBarItem"), QStringLiteral("文件"))});
        accessibility.application(kEditor)->set(QStringLiteral("AXMenuBar"), AccessibilityElementRef(menuBar));

        // The window shows a while after the item was pressed.
        forceQuitWindow = accessibility.element(QStringLiteral("AXWindow"), QStringLiteral("强制退出应用程序"));
        forceQuitWindow->appearAt(1e9);
        accessibility.application(kLoginWindow)
            ->set(QStringLiteral("AXWindows"), AccessibilityElementList{forceQuitWindow});
        forceQuitItem->onAction(QStringLiteral("AXPress"), [this] {
            forceQuitWindow->appearAt(time.clock.uptime() + 0.3);
            return true;
        });
    }

    std::shared_ptr<std::optional<HUDNotice>> start(CancellationToken token = {}) {
        auto result = test::resultOf(executor.openForceQuitWindow(std::move(token)));
        time.drain();
        return result;
    }
};

TEST_F(ForceQuitMenuExecutorTest, PressesTheItemOfTheFirstMenuAndWaitsForTheWindow) {
    auto result = start();
    EXPECT_EQ(appleMenu->performedActions(), kPressed);
    EXPECT_TRUE(forceQuitItem->performedActions().isEmpty()) << "the menu gets 0.12 s to open";
    EXPECT_TRUE(executor.isOpening());

    auto second = start();
    EXPECT_EQ(*second, forceQuit("正在打开强制退出窗口", Kind::information));

    time.advanceTo(0.12);
    EXPECT_EQ(forceQuitItem->performedActions(), kPressed);
    EXPECT_FALSE(result->has_value());
    time.advanceTo(0.45);  // the window showed at 0.42, the next look is at 0.44
    EXPECT_EQ(*result, kOpened);
    EXPECT_FALSE(executor.isOpening());
    EXPECT_EQ(appleMenu->performedActions(), kPressed) << "the second request pressed nothing";
    EXPECT_TRUE(aboutItem->performedActions().isEmpty());
}

TEST_F(ForceQuitMenuExecutorTest, AWindowAlreadyShowingIsSuccessWithoutPressingAnything) {
    forceQuitWindow->appearAt(sim::SimAccessibilityElement::kAlways);
    EXPECT_EQ(*start(), kOpened);
    EXPECT_TRUE(appleMenu->performedActions().isEmpty());

    // Found among the children too, and by containment.
    forceQuitWindow->appearAt(1e9);
    SimElement child = accessibility.element(QStringLiteral("AXWindow"), QStringLiteral("FORCE QUIT Applications"));
    accessibility.application(kLoginWindow)->children({child});
    EXPECT_TRUE(executor.isForceQuitWindowOpen());
}

TEST_F(ForceQuitMenuExecutorTest, GivesUpAfterTwelveLooksAndPointsToTheSystemMonitor) {
    forceQuitItem->acceptAction(QStringLiteral("AXPress"));  // the window never shows
    auto result = start();
    time.advanceTo(1.05);  // the twelfth look was at 1.00
    EXPECT_FALSE(result->has_value());
    EXPECT_EQ(forceQuitWindow->reads(QStringLiteral("AXTitle")), 0);
    EXPECT_EQ(accessibility.application(kLoginWindow)->reads(QStringLiteral("AXWindows")), 13)
        << "one look before the attempt and twelve after the press";
    time.advanceTo(1.09);  // the twelfth sleep ends at 1.08
    EXPECT_EQ(*result, forceQuit("未能打开，请尝试系统监视器", Kind::error));
    EXPECT_FALSE(executor.isOpening());
}

TEST_F(ForceQuitMenuExecutorTest, EachFailureOfTheMenuHasItsNoticeAndLeavesNoMenuOpen) {
    workspace.setFront(FrontApplication::unknown());
    EXPECT_EQ(*start(), forceQuit("无法获取前台应用", Kind::error));
    workspace.bringToFront(kEditor);

    forceQuitItem->failAction(QStringLiteral("AXPress"));
    auto refused = start();
    time.advanceTo(0.12);
    EXPECT_EQ(*refused, forceQuit("无法执行强制退出菜单", Kind::error));
    EXPECT_EQ(menu->performedActions(), kCancelled) << "the open menu is closed again";

    menu->children({aboutItem});
    auto missing = start();
    time.advanceBy(0.12);
    EXPECT_EQ(*missing, forceQuit("应用菜单中未找到强制退出窗口", Kind::error));
    EXPECT_EQ(menu->performedActions().size(), 2);

    appleMenu->failAction(QStringLiteral("AXPress"));
    EXPECT_EQ(*start(), forceQuit("无法打开应用菜单", Kind::error));

    accessibility.application(kEditor)->failAttribute(QStringLiteral("AXMenuBar"));
    EXPECT_EQ(*start(), forceQuit("无法读取应用菜单", Kind::error));
    EXPECT_EQ(menu->performedActions().size(), 2) << "nothing was opened, nothing is closed";
    EXPECT_FALSE(executor.isOpening());
}

TEST_F(ForceQuitMenuExecutorTest, ACancelledTaskStopsWaitingAndClosesTheMenu) {
    CancellationSource whileMenuOpens;
    auto early = start(whileMenuOpens.token());
    time.advanceTo(0.05);
    whileMenuOpens.cancel();
    time.drain();
    EXPECT_EQ(*early, forceQuit("已取消打开", Kind::error));
    EXPECT_EQ(menu->performedActions(), kCancelled);
    EXPECT_TRUE(forceQuitItem->performedActions().isEmpty());
    EXPECT_FALSE(executor.isOpening());

    forceQuitItem->acceptAction(QStringLiteral("AXPress"));
    CancellationSource whilePolling;
    auto late = start(whilePolling.token());
    time.advanceBy(0.5);
    whilePolling.cancel();
    time.drain();
    EXPECT_EQ(*late, forceQuit("已取消打开", Kind::information));
    EXPECT_FALSE(executor.isOpening());
}

TEST(ForceQuitMenuItemTest, MatchesByShortcutOrByCleanedTitle) {
    test::SimTime time;
    sim::SimAccessibility accessibility(time.clock);
    struct Case {
        const char* title;
        std::optional<double> key;
        std::optional<double> modifiers;
        bool matches;
    };
    const Case cases[] = {
        {"Force Quit...", std::nullopt, std::nullopt, true},
        {"  强制退出… ", std::nullopt, std::nullopt, true},
        {"force quit", std::nullopt, std::nullopt, true},
        {"강제 종료", std::nullopt, std::nullopt, true},
        {"强制退出 Safari", std::nullopt, std::nullopt, false},
        {"Anything", 53, 2, true},
        {"Force Quit…", 53, 0, false},
        {"Force Quit…", 53, std::nullopt, true},
        {"Sleep", 53, std::nullopt, false},
        {"Force Quit…", std::nullopt, 2, true},
        {"Force Quit…", 12, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SimElement item = accessibility.element(QStringLiteral("AXMenuItem"), QString::fromUtf8(c.title));
        if (c.key) item->set(QStringLiteral("AXMenuItemCmdVirtualKey"), *c.key);
        if (c.modifiers) item->set(QStringLiteral("AXMenuItemCmdModifiers"), *c.modifiers);
        EXPECT_EQ(ForceQuitMenuExecutor::findMenuItem(item, 0) != nullptr, c.matches) << c.title;
    }

    // Three levels below the menu are searched, not four.
    SimElement item = accessibility.element(QStringLiteral("AXMenuItem"), QStringLiteral("Force Quit"));
    SimElement chain = accessibility.nested(item, 3);
    EXPECT_EQ(ForceQuitMenuExecutor::findMenuItem(chain, 0), item);
    EXPECT_EQ(ForceQuitMenuExecutor::findMenuItem(chain, 1), nullptr);
}

}  // namespace
}  // namespace glidra
