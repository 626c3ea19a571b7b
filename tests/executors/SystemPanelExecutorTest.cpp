#include "executors/SystemPanelExecutor.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimWorkspace.h"
#include "support/NoticePrinter.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using sim::SimElement;

constexpr std::int32_t kControlCenter = 100;
constexpr std::int32_t kSystemUi = 101;

class SystemPanelExecutorTest : public ::testing::Test {
protected:
    test::SimTime time;
    sim::SimWorkspace workspace;
    sim::SimAccessibility accessibility{time.clock};
    SystemPanelExecutor executor{workspace, accessibility};

    void SetUp() override {
        workspace.launch({kControlCenter, QStringLiteral("com.apple.controlcenter"), {}, ActivationPolicy::accessory});
        workspace.launch({kSystemUi, QStringLiteral("com.apple.systemuiserver"), {}, ActivationPolicy::accessory});
    }

    // A top bar of the process holding the given items.
    SimElement bar(std::int32_t process, const char* attribute, AccessibilityElementList items) {
        SimElement menuBar = accessibility.element(QStringLiteral("AXMenuBar"));
        menuBar->children(std::move(items));
        accessibility.application(process)->set(QString::fromLatin1(attribute), AccessibilityElementRef(menuBar));
        return menuBar;
    }

    SimElement item(const char* attribute, const QString& value) {
        SimElement created = accessibility.element(QStringLiteral("AXMenuBarItem"));
        created->set(QString::fromLatin1(attribute), value);
        created->acceptAction(QStringLiteral("AXPress"));
        return created;
    }

    std::optional<HUDNotice> open(GestureAction action) {
        auto result = test::resultOf(executor.openPanel(action));
        time.drain();
        return *result;
    }

    static HUDNotice opened(GestureAction action) {
        return {title(action), symbolName(action), HUDNotice::Kind::success};
    }
    static HUDNotice failed(GestureAction action) {
        return {QStringLiteral("未能打开系统面板，请重试"), symbolName(action), HUDNotice::Kind::error};
    }
};

TEST_F(SystemPanelExecutorTest, PressesTheControlCenterItemOfTheExtrasMenuBar) {
    SimElement wifi = item("AXIdentifier", QStringLiteral("com.apple.menuextra.wifi"));
    SimElement controlCenter = item("AXIdentifier", QStringLiteral("com.apple.menuextra.controlcenter"));
    bar(kControlCenter, "AXExtrasMenuBar", {wifi, controlCenter});

    EXPECT_EQ(open(GestureAction::openControlCenter), opened(GestureAction::openControlCenter));
    EXPECT_EQ(controlCenter->performedActions(), QStringList{QStringLiteral("AXPress")});
    EXPECT_TRUE(wifi->performedActions().isEmpty());
    EXPECT_EQ(accessibility.application(kControlCenter)->messagingTimeout(), 0.3);
}

TEST_F(SystemPanelExecutorTest, AClockDescriptionMatchesOnlyWithTheCommaBeforeTheTime) {
    SimElement plain = item("AXDescription", QStringLiteral("时钟 10:42"));
    bar(kControlCenter, "AXExtrasMenuBar", {plain});
    EXPECT_EQ(open(GestureAction::openNotificationCenter), failed(GestureAction::openNotificationCenter));
    EXPECT_TRUE(plain->performedActions().isEmpty());

    SimElement clock = item("AXDescription", QStringLiteral("时钟,10:42"));
    bar(kControlCenter, "AXExtrasMenuBar", {plain, clock});
    EXPECT_EQ(open(GestureAction::openNotificationCenter), opened(GestureAction::openNotificationCenter));
    EXPECT_EQ(clock->performedActions(), QStringList{QStringLiteral("AXPress")});
}

TEST_F(SystemPanelExecutorTest, GoesOnToTheNextBarAndProcessWhenAnItemIsMissingOrRefuses) {
    SimElement refusing = item("AXTitle", QStringLiteral("Control Center"));
    refusing->failAction(QStringLiteral("AXPress"));
    bar(kControlCenter, "AXExtrasMenuBar", {refusing});
    bar(kControlCenter, "AXMenuBar", {item("AXTitle", QStringLiteral("Wi-Fi"))});
    SimElement fallback = item("AXTitle", QStringLiteral("控制中心"));
    bar(kSystemUi, "AXMenuBar", {fallback});

    EXPECT_EQ(open(GestureAction::openControlCenter), opened(GestureAction::openControlCenter));
    EXPECT_EQ(refusing->performedActions(), QStringList{QStringLiteral("AXPress")});
    EXPECT_EQ(fallback->performedActions(), QStringList{QStringLiteral("AXPress")});

    // Without the Control Center process the system UI server is searched.
    workspace.terminate(kControlCenter);
    EXPECT_EQ(open(GestureAction::openControlCenter), opened(GestureAction::openControlCenter));
    EXPECT_EQ(fallback->performedActions().size(), 2);
}

TEST_F(SystemPanelExecutorTest, ItemsTooDeepOrBeyondTheEightiethChildAreNeverFound) {
    // Five levels below the bar.
    SimElement deep = item("AXIdentifier", QStringLiteral("ControlCenter"));
    SimElement parent = accessibility.nested(deep, 4);
    AccessibilityElementList crowded;
    for (int i = 0; i < 80; ++i) crowded.push_back(accessibility.element(QStringLiteral("AXGroup")));
    SimElement late = item("AXIdentifier", QStringLiteral("ControlCenter"));
    crowded.push_back(late);
    SimElement crowd = accessibility.element(QStringLiteral("AXGroup"));
    crowd->children(crowded);
    bar(kControlCenter, "AXExtrasMenuBar", {parent, crowd});

    EXPECT_EQ(open(GestureAction::openControlCenter), failed(GestureAction::openControlCenter));
    EXPECT_TRUE(deep->performedActions().isEmpty());
    EXPECT_TRUE(late->performedActions().isEmpty());

    // Four levels below the bar are still searched.
    SimElement reachable = item("AXIdentifier", QStringLiteral("ControlCenter"));
    SimElement menuBar = bar(kControlCenter, "AXExtrasMenuBar", {accessibility.nested(reachable, 3)});
    EXPECT_EQ(SystemPanelExecutor::findElement(menuBar, {QStringLiteral("ControlCenter")}, 0), reachable);
}

TEST_F(SystemPanelExecutorTest, AnyOtherActionLooksForTheNotificationCenterAndMissingProcessesFail) {
    SimElement clock = item("AXIdentifier", QStringLiteral("com.apple.menuextra.clock"));
    bar(kSystemUi, "AXExtrasMenuBar", {clock});
    EXPECT_EQ(open(GestureAction::copy), opened(GestureAction::copy));
    EXPECT_EQ(clock->performedActions().size(), 1);

    workspace.terminate(kControlCenter);
    workspace.terminate(kSystemUi);
    EXPECT_EQ(open(GestureAction::openNotificationCenter), failed(GestureAction::openNotificationCenter));
}

}  // namespace
}  // namespace glidra
