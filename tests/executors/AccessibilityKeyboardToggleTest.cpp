#include "executors/AccessibilityKeyboardToggle.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimAccessibilityKeyboardSettings.h"
#include "platform/sim/SimWorkspace.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using sim::SimElement;

constexpr std::int32_t kEditor = 10;
constexpr std::int32_t kBrowser = 20;
constexpr std::int32_t kSettings = 300;

class AccessibilityKeyboardToggleTest : public ::testing::Test {
protected:
    test::SimTime time;
    sim::SimWorkspace workspace;
    sim::SimAccessibility accessibility{time.clock};
    sim::SimAccessibilityKeyboardSettings settings{
        workspace, accessibility, {kSettings, QStringLiteral("org.gnome.Settings.desktop"), QStringLiteral("设置")}};
    AccessibilityKeyboardToggle toggle{workspace, settings, time.scheduler};

    SimElement window;
    SimElement checkbox;

    void SetUp() override {
        workspace.launch({kEditor, QStringLiteral("org.gnome.TextEditor.desktop"), QStringLiteral("文本编辑器")});
        workspace.launch({kBrowser, QStringLiteral("firefox.desktop"), QStringLiteral("Firefox")});
        workspace.bringToFront(kEditor);

        checkbox = accessibility.element(QStringLiteral("AXCheckBox"));
        checkbox->set(QStringLiteral("AXIdentifier"), QStringLiteral("AX_VIRTUAL_KEYBOARD"));
        checkbox->set(QStringLiteral("AXValue"), 0.0);
        // The switch reports on a little after it was pressed.
        checkbox->onAction(QStringLiteral("AXPress"), [this] {
            checkbox->set(QStringLiteral("AXValue"), 1.0, time.clock.uptime() + 0.25);
            return true;
        });
        SimElement group = accessibility.element(QStringLiteral("AXGroup"));
        group->children({accessibility.element(QStringLiteral("AXStaticText"), QStringLiteral("键盘")), checkbox});
        window = accessibility.element(QStringLiteral("AXWindow"), QStringLiteral("辅助功能"));
        window->children({group});
        accessibility.application(kSettings)->set(QStringLiteral("AXWindows"), AccessibilityElementList{window});
    }

    std::shared_ptr<std::optional<bool>> start() {
        auto result = test::resultOf(toggle.toggleAccessibilityKeyboard());
        time.drain();
        return result;
    }
};

TEST_F(AccessibilityKeyboardToggleTest, SwitchesTheKeyboardOnAndWaitsUntilItReportsOn) {
    auto result = start();
    EXPECT_EQ(checkbox->performedActions(), QStringList{QStringLiteral("AXPress")});
    EXPECT_EQ(accessibility.application(kSettings)->messagingTimeout(), 0.25);
    EXPECT_TRUE(toggle.isBusy());

    auto second = start();
    EXPECT_EQ(*second, false) << "a run is in progress";
    EXPECT_EQ(settings.openings(), 1);

    time.advanceTo(0.25);
    EXPECT_FALSE(result->has_value()) << "the next read is at 0.3";
    time.advanceTo(0.35);
    EXPECT_EQ(*result, true);
    EXPECT_FALSE(toggle.isBusy());
    EXPECT_TRUE(workspace.activated().isEmpty()) << "the page never took the focus";
}

TEST_F(AccessibilityKeyboardToggleTest, AKeyboardAlreadyOnIsLeftOn) {
    checkbox->set(QStringLiteral("AXValue"), 1.0);
    EXPECT_EQ(*start(), true);
    EXPECT_TRUE(checkbox->performedActions().isEmpty());
}

TEST_F(AccessibilityKeyboardToggleTest, ASlowPageIsFoundWithinTwentyAttempts) {
    window->appearAt(1.45);
    auto slow = start();
    time.advanceTo(1.45);
    EXPECT_TRUE(checkbox->performedActions().isEmpty());
    time.advanceTo(1.55);
    EXPECT_EQ(checkbox->performedActions().size(), 1);
    time.advanceTo(1.85);
    EXPECT_EQ(*slow, true);

    // A page that takes longer is given up after the twentieth attempt's wait.
    window->appearAt(10);
    checkbox->set(QStringLiteral("AXValue"), 0.0);
    auto tooSlow = start();
    time.advanceBy(1.95);
    EXPECT_FALSE(tooSlow->has_value());
    time.advanceBy(0.1);
    EXPECT_EQ(*tooSlow, false);
    EXPECT_EQ(checkbox->performedActions().size(), 1);
}

TEST_F(AccessibilityKeyboardToggleTest, OnlyACheckboxOutsideOutlinesCounts) {
    // The right identifier on another role, and the real switch inside an
    // outline, are both passed over.
    SimElement button = accessibility.element(QStringLiteral("AXButton"));
    button->set(QStringLiteral("AXIdentifier"), QStringLiteral("AX_VIRTUAL_KEYBOARD"));
    button->acceptAction(QStringLiteral("AXPress"));
    SimElement outline = accessibility.element(QStringLiteral("AXOutline"));
    outline->children({checkbox});
    window->children({button, outline});

    auto result = start();
    time.advanceBy(2.05);
    EXPECT_EQ(*result, false);
    EXPECT_TRUE(button->performedActions().isEmpty());
    EXPECT_TRUE(checkbox->performedActions().isEmpty());
    EXPECT_EQ(AccessibilityKeyboardToggle::findKeyboardCheckbox(outline, 0), nullptr);
}

TEST_F(AccessibilityKeyboardToggleTest, ARefusedPressOrASwitchThatStaysOffFails) {
    checkbox->failAction(QStringLiteral("AXPress"));
    EXPECT_EQ(*start(), false);

    checkbox->failAction(QStringLiteral("AXPress"), false);
    checkbox->acceptAction(QStringLiteral("AXPress"));  // pressed, but it stays off
    const int readsBefore = checkbox->reads(QStringLiteral("AXValue"));
    auto stuck = start();
    time.advanceBy(0.95);
    EXPECT_FALSE(stuck->has_value());
    EXPECT_EQ(checkbox->reads(QStringLiteral("AXValue")) - readsBefore, 1 + 10)
        << "one look before the press, ten after";
    time.advanceBy(0.1);
    EXPECT_EQ(*stuck, false);
}

TEST_F(AccessibilityKeyboardToggleTest, APageThatDoesNotOpenFailsWithoutTouchingTheFocus) {
    settings.setRefusesToOpen(true);
    EXPECT_EQ(*start(), false);
    EXPECT_FALSE(toggle.isBusy());
    EXPECT_TRUE(workspace.activated().isEmpty());
}

TEST_F(AccessibilityKeyboardToggleTest, GivesTheFocusBackOnlyWhenTheSettingsStillHaveIt) {
    // The settings application comes to the front when the switch is pressed.
    checkbox->onAction(QStringLiteral("AXPress"), [this] {
        workspace.bringToFront(kSettings);
        checkbox->set(QStringLiteral("AXValue"), 1.0);
        return true;
    });
    EXPECT_EQ(*start(), true);
    EXPECT_EQ(workspace.activated(), QList<std::int32_t>{kEditor});
    EXPECT_EQ(workspace.frontmostApplication().application->processIdentifier, kEditor);

    // The user moved on to another application meanwhile: it keeps the focus.
    checkbox->set(QStringLiteral("AXValue"), 0.0);
    checkbox->onAction(QStringLiteral("AXPress"), [this] {
        workspace.bringToFront(kBrowser);
        return true;
    });
    checkbox->set(QStringLiteral("AXValue"), 1.0, 5.0);
    auto moved = start();
    time.advanceTo(5.0);
    EXPECT_EQ(*moved, false) << "the switch did not report on within a second";
    EXPECT_EQ(workspace.activated(), QList<std::int32_t>{kEditor});
    EXPECT_EQ(workspace.frontmostApplication().application->processIdentifier, kBrowser);
}

}  // namespace
}  // namespace glidra
