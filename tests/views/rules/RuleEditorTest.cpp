// The rule editor: recording a gesture from frames, the hand picker, the
// step-1 checks and button, saving, and the close work on every way out.

#include "views/rules/RulePageFixture.h"

#include "app/ApplicationShell.h"
#include "app/SettingsWindow.h"
#include "platform/DesktopIntegration.h"
#include "platform/sim/SimSystemTray.h"
#include "support/ApplicationChooserDriver.h"
#include "views/actions/GestureActionCategoryTabs.h"
#include "views/actions/GestureActionLibraryView.h"
#include "views/actions/GestureActionListView.h"
#include "views/kit/ScreenRoom.h"
#include "views/pages/ForcePressSettingsView.h"
#include "views/rules/GestureActionStepView.h"
#include "views/rules/GestureConflictNotice.h"
#include "views/rules/GestureRuleOptionsView.h"
#include "views/rules/SystemGestureAdviceView.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace glidra {
namespace {

using test::child;
using test::rule;
using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

class RuleEditorTest : public test::RulePageTest {
protected:
    // Chooses an action with a click on its row in the step's library.
    void chooseAction(GestureRuleEditor& editor, GestureAction action) {
        auto* library = child<GestureActionLibraryView>(&editor, {});
        ASSERT_NE(library, nullptr);
        const auto category = glidra::category(action);
        auto* tab = child<QAbstractButton>(library, GestureActionCategoryTabs::tabName(category));
        ASSERT_NE(tab, nullptr);
        QTest::mouseClick(tab, Qt::LeftButton);
        auto* list = child<GestureActionListView>(library, {});
        const QModelIndex row = list->indexOf(action);
        ASSERT_TRUE(row.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
        settle();
    }
};

// The size a step opens at on the test's screen.
QSize shownSize(QSize wanted, QSize minimum) {
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size() - kit::windowFrameAllowance;
    return kit::fittedSize(wanted, minimum.boundedTo(room), room);
}

TEST(RuleEditorSizeTest, TheDefaultSizesFitTheScreenDownToAMinimumThatFitsA1366By768Screen) {
    using E = GestureRuleEditor;
    struct Case {
        const char* what;
        QSize wanted, minimum, room, expected;
    };
    const Case cases[] = {
        {"a large screen keeps the default", E::actionSize, E::actionMinimumSize, {1584, 952}, E::actionSize},
        {"1366x768 with panels: shorter", E::actionSize, E::actionMinimumSize, {1350, 652}, {800, 652}},
        {"the capture step fits as it is", E::captureSize, E::captureMinimumSize, {1350, 688}, E::captureSize},
        {"never below the minimum", E::actionSize, E::actionMinimumSize, {624, 352}, E::actionMinimumSize},
        {"no screen known", E::captureSize, E::captureMinimumSize, {}, E::captureSize},
    };
    for (const auto& c : cases) EXPECT_EQ(kit::fittedSize(c.wanted, c.minimum, c.room), c.expected) << c.what;
    // Both minimums, with the frame, fit a 1366x768 screen at 100 %.
    for (const QSize minimum : {E::captureMinimumSize, E::actionMinimumSize}) {
        EXPECT_LE(minimum.width() + kit::windowFrameAllowance.width(), 1366);
        EXPECT_LE(minimum.height() + kit::windowFrameAllowance.height(), 768 - 32);
    }
}

TEST_F(RuleEditorTest, AtItsMinimumTheActionStepKeepsItsButtonsInside) {
    const MultitouchDevice device = ui.framework.addDevice();
    GestureRuleEditor& editor = add();
    click(&editor, QStringLiteral("record"));
    swipeLeftWithThreeFingers(device);
    ASSERT_EQ(editor.step(), 1);
    editor.resize(GestureRuleEditor::actionMinimumSize);
    settle();
    for (const char* name : {"cancel", "primary"}) {
        auto* button = child<QPushButton>(&editor, QString::fromLatin1(name));
        const QRect inEditor(button->mapTo(&editor, QPoint(0, 0)), button->size());
        EXPECT_TRUE(editor.rect().contains(inEditor)) << name;
    }
    review(editor, QStringLiteral("rule-editor-action-minimum"));
}

TEST_F(RuleEditorTest, ARecordedSwipeBecomesASavedRuleAndTheEditorLeavesControlAsItWas) {
    const MultitouchDevice device = ui.framework.addDevice();
    GestureRuleEditor& editor = add();
    EXPECT_EQ(editor.size(), shownSize(GestureRuleEditor::captureSize, GestureRuleEditor::captureMinimumSize));
    EXPECT_EQ(text(&editor, QStringLiteral("title")), QStringLiteral("添加手势"));
    EXPECT_FALSE(controller().isEnabled());
    EXPECT_TRUE(controller().isSettingUpGesture());
    EXPECT_FALSE(editor.hasGesture()) << "filling the pickers is no edit";
    EXPECT_EQ(text(&editor, QStringLiteral("recordTitle")), QStringLiteral("录入你的手势"));
    review(editor, QStringLiteral("rule-editor-capture-idle"));

    click(&editor, QStringLiteral("record"));
    EXPECT_TRUE(controller().isEnabled());
    EXPECT_TRUE(controller().isLearningGesture());
    EXPECT_EQ(text(&editor, QStringLiteral("recordTitle")), QStringLiteral("请在触控板上做手势"));
    EXPECT_EQ(child<QPushButton>(&editor, QStringLiteral("record"))->text(), QStringLiteral("停止录入"));
    EXPECT_TRUE(child<ForcePressSettingsView>(&editor, QStringLiteral("forcePressSettings"))->isVisible());
    EXPECT_FALSE(primary(editor)->isEnabled());
    review(editor, QStringLiteral("rule-editor-capture-listening"));

    swipeLeftWithThreeFingers(device);
    ASSERT_EQ(editor.step(), 1);
    EXPECT_EQ(editor.size(), shownSize(GestureRuleEditor::actionSize, GestureRuleEditor::actionMinimumSize));
    EXPECT_EQ(editor.minimumSize(), GestureRuleEditor::actionMinimumSize);
    EXPECT_GT(editor.maximumSize().height(), editor.minimumSize().height()) << "resizable";
    EXPECT_EQ(text(&editor, QStringLiteral("title")), QStringLiteral("选择动作"));
    EXPECT_EQ(editor.rule().gesture, (GestureDescriptor{Kind::swipe, 3, Direction::left, 1}));
    EXPECT_FALSE(controller().isLearningGesture());
    EXPECT_FALSE(primary(editor)->isEnabled()) << "no action yet";
    EXPECT_EQ(text(&editor, QStringLiteral("message")), QString());
    review(editor, QStringLiteral("rule-editor-action-empty"));

    chooseAction(editor, GestureAction::mouseLeftClick);
    click(&editor, QStringLiteral("addModifiers"));
    click(&editor, QStringLiteral("command"));
    click(&editor, QStringLiteral("shift"));
    review(editor, QStringLiteral("rule-editor-action-options"));
    QPointer<GestureRuleEditor> closing(&editor);
    click(&editor, QStringLiteral("primary"));
    settle();
    EXPECT_FALSE(closing);

    ASSERT_EQ(settings().rules().size(), 1u);
    const GestureRule& saved = settings().rules().front();
    EXPECT_EQ(saved.requiredModifiers, 0x120000u);
    EXPECT_EQ(saved.action, GestureAction::mouseLeftClick);
    EXPECT_EQ(saved.gesture, (GestureDescriptor{Kind::swipe, 3, Direction::left, 1}));
    ControlSettings reloaded(core.defaults);
    EXPECT_EQ(reloaded.rules(), settings().rules()) << "persisted under \"freeformRules\"";
    EXPECT_EQ(text(&page(), QStringLiteral("ruleCount")), QStringLiteral("1 个手势"));
    auto* row =
        page().findChild<QWidget*>(QStringLiteral("ruleRow:") + saved.id.toString(QUuid::WithoutBraces).toUpper());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(text(row, QStringLiteral("modifiers")), QStringLiteral("需同时按住组合键"));
    EXPECT_FALSE(controller().isEnabled());
    EXPECT_FALSE(settings().restoreEnabled());
    expectFlagsDown();
}

TEST_F(RuleEditorTest, RecordingTheSameGestureAgainAfterChangingItTakesItAgain) {
    const MultitouchDevice device = ui.framework.addDevice();
    GestureRuleEditor& editor = add();
    click(&editor, QStringLiteral("record"));
    swipeLeftWithThreeFingers(device);
    ASSERT_EQ(editor.step(), 1);

    click(&editor, QStringLiteral("changeGesture"));
    ASSERT_EQ(editor.step(), 0);
    click(&editor, QStringLiteral("record"));
    ASSERT_TRUE(controller().isLearningGesture());
    swipeLeftWithThreeFingers(device);
    EXPECT_EQ(editor.step(), 1);
    EXPECT_EQ(editor.rule().gesture, (GestureDescriptor{Kind::swipe, 3, Direction::left, 1}));
    EXPECT_FALSE(controller().isLearningGesture());
}

// What the action step's parameter editor takes in is what is saved.
TEST_F(RuleEditorTest, AWebsiteTypedAndAFileChosenInTheActionStepAreSaved) {
    const auto saved = [this](GestureAction action) -> std::optional<ActionParameters> {
        for (const GestureRule& stored : settings().rules()) {
            if (stored.action == action) return stored.parameters;
        }
        return std::nullopt;
    };

    GestureRule site = rule(GestureAction::openURL);
    site.parameters = ActionParameters{};
    site.parameters->website = QStringLiteral("example.com");
    GestureRuleEditor& siteEditor = open(site);
    auto* field = child<QLineEdit>(&siteEditor, QStringLiteral("websiteField"));
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("glidra.example.org"));
    click(&siteEditor, QStringLiteral("primary"));
    settle();
    ASSERT_TRUE(saved(GestureAction::openURL));
    EXPECT_EQ(saved(GestureAction::openURL)->website, QStringLiteral("glidra.example.org"));

    GestureRuleEditor& fileEditor = open(rule(GestureAction::openFile, {Kind::tap, 4, Direction::right, 1}));
    EXPECT_FALSE(primary(fileEditor)->isEnabled()) << "no file yet";
    click(&fileEditor, QStringLiteral("chooseResource"));
    ASSERT_TRUE(ui.fileDialogs.answer(QStringLiteral("/home/user/notes.txt")));
    click(&fileEditor, QStringLiteral("primary"));
    settle();
    ASSERT_TRUE(saved(GestureAction::openFile));
    ASSERT_TRUE(saved(GestureAction::openFile)->resource);
    EXPECT_EQ(saved(GestureAction::openFile)->resource->path, QStringLiteral("/home/user/notes.txt"));
}

TEST_F(RuleEditorTest, ARegionAndTheControlKeyChosenInTheOptionsSurviveSaveAndLoad) {
    GestureRuleEditor& editor = open(rule(GestureAction::copy));
    click(&editor, QStringLiteral("addRegion"));
    click(&editor, QStringLiteral("regionButton"));
    auto* sheet = editor.findChild<QDialog*>(QStringLiteral("regionSelectionSheet"));
    ASSERT_NE(sheet, nullptr);
    click(sheet, QStringLiteral("quickPreset:top"));
    click(sheet, QStringLiteral("confirm"));
    click(&editor, QStringLiteral("addModifiers"));
    click(&editor, QStringLiteral("control"));
    click(&editor, QStringLiteral("primary"));
    settle();

    ASSERT_EQ(settings().rules().size(), 1u);
    const GestureRule saved = settings().rules().front();
    EXPECT_EQ(saved.requiredModifiers, 0x40000u);
    EXPECT_EQ(saved.region, GestureRegion::custom);
    EXPECT_EQ(saved.customRegionList(), (std::vector<NormalizedRegionRect>{{0, 0.75f, 1, 1}}));
    ControlSettings reloaded(core.defaults);
    ASSERT_EQ(reloaded.rules(), settings().rules());

    GestureRuleEditor& again = open(reloaded.rules().front());
    EXPECT_TRUE(child<QCheckBox>(&again, QStringLiteral("control"))->isChecked());
    EXPECT_EQ(again.preparedRule().requiredModifiers, 0x40000u);
    EXPECT_EQ(again.preparedRule(), saved);
}

TEST_F(RuleEditorTest, TheSystemGestureAdviceFollowsTheActionAndTheKeys) {
    GestureRuleEditor& editor = open(rule(GestureAction::copy, {Kind::tap, 1, Direction::right, 1}));
    const auto advised = [&editor] {
        QStringList ids;
        for (const auto& advice : child<SystemGestureAdviceView>(&editor, {})->advice()) ids.append(advice.id);
        return ids;
    };
    EXPECT_EQ(advised(), QStringList{QStringLiteral("ordinary-click")});
    chooseAction(editor, GestureAction::closeWindow);
    EXPECT_EQ(advised(), (QStringList{QStringLiteral("ordinary-click"), QStringLiteral("low-effort-danger")}));
    click(&editor, QStringLiteral("addModifiers"));
    click(&editor, QStringLiteral("control"));
    EXPECT_EQ(advised(), QStringList{QStringLiteral("ordinary-click")});
}

TEST_F(RuleEditorTest, OnGnomeTheAdviceWarnsOfItsThreeFingerSwipes) {
    const GestureRule swipe = rule(GestureAction::missionControl, {Kind::swipe, 3, Direction::left, 1});
    ui.desktop.setDesktop(SystemGestureDesktop::gnome, DesktopIntegration::Companion::gnomeShellExtension, true);
    GestureRuleEditor& editor = open(swipe);
    const auto& advice = child<SystemGestureAdviceView>(&editor, {})->advice();
    ASSERT_EQ(advice.size(), 1u);
    EXPECT_EQ(advice.front(), SystemGestureAdvice::advice(swipe, SystemGestureDesktop::gnome).front());
}

TEST_F(RuleEditorTest, OnPlasmaThreeFingerSwipesAreGlidrasAlone) {
    ui.desktop.setDesktop(SystemGestureDesktop::plasmaWayland, DesktopIntegration::Companion::kwinScript, true);
    GestureRuleEditor& editor = open(rule(GestureAction::missionControl, {Kind::swipe, 3, Direction::left, 1}));
    EXPECT_TRUE(child<SystemGestureAdviceView>(&editor, {})->advice().empty());
}

TEST_F(RuleEditorTest, StepOneChecksTheRuleBeforeItCanBeSaved) {
    GestureRule urlRule = rule(GestureAction::openURL);
    urlRule.parameters = ActionParameters{};
    urlRule.parameters->website = QStringLiteral(" ");
    const GestureRule scrubUp = rule(GestureAction::scrubVideo, {Kind::swipe, 2, Direction::up, 1});
    const GestureRule scrubLeft = rule(GestureAction::scrubVideo, {Kind::swipe, 2, Direction::left, 1});
    const struct {
        const char* name;
        GestureRule made;
        QString message;
        bool enabled;
    } cases[] = {
        {"scrub on a swipe up", scrubUp, QStringLiteral("视频进度需要左右滑动，请更换手势。"), false},
        {"scrub on a swipe left", scrubLeft, QString(), true},
        {"an address of spaces", urlRule, urlRule.validationMessage().value_or(QStringLiteral("?")), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GestureRuleEditor& editor = open(c.made);
        EXPECT_EQ(editor.step(), 1);
        EXPECT_EQ(text(&editor, QStringLiteral("title")), QStringLiteral("编辑手势"));
        EXPECT_EQ(text(&editor, QStringLiteral("message")), c.message);
        EXPECT_EQ(primary(editor)->isEnabled(), c.enabled);
        editor.reject();
        settle();
    }

    // A new rule goes to step 1 without a recording, keeping its default
    // gesture; without an action nothing is said and nothing can be saved.
    GestureRuleEditor& editor = add();
    click(&editor, QStringLiteral("primary"));
    EXPECT_EQ(editor.step(), 1);
    EXPECT_EQ(editor.rule().gesture, GestureDescriptor{});
    EXPECT_EQ(text(&editor, QStringLiteral("message")), QString());
    EXPECT_FALSE(primary(editor)->isEnabled());
    EXPECT_EQ(primary(editor)->text(), QStringLiteral("保存"));
}

TEST_F(RuleEditorTest, TheHandPickerKeepsTheFingerCountAllowedAndMarksTheGestureChosen) {
    GestureRuleEditor& editor = add();
    auto* fingers = child<QComboBox>(&editor, QStringLiteral("fingers"));

    pick(&editor, QStringLiteral("fingers"), QStringLiteral("4 根"));
    EXPECT_TRUE(editor.hasGesture());
    pick(&editor, QStringLiteral("kind"), title(Kind::rotateClockwise));
    EXPECT_EQ(editor.rule().gesture.fingers, 2);
    EXPECT_FALSE(fingers->isEnabled());
    EXPECT_EQ(fingers->count(), 1);

    pick(&editor, QStringLiteral("kind"), title(Kind::tap));
    pick(&editor, QStringLiteral("fingers"), QStringLiteral("1 根"));
    EXPECT_FALSE(child<QComboBox>(&editor, QStringLiteral("direction"))->isVisibleTo(&editor));
    EXPECT_TRUE(child<QComboBox>(&editor, QStringLiteral("tapCount"))->isVisibleTo(&editor));
    pick(&editor, QStringLiteral("kind"), title(Kind::pinchIn));
    EXPECT_EQ(editor.rule().gesture.fingers, 2);
    EXPECT_EQ(fingers->count(), 3);
    EXPECT_TRUE(child<QWidget>(&editor, QStringLiteral("pinchNote"))->isVisibleTo(&editor));
    EXPECT_EQ(text(&editor, QStringLiteral("recordTitle")), editor.rule().gesture.title());
    EXPECT_EQ(child<QPushButton>(&editor, QStringLiteral("record"))->text(), QStringLiteral("重新录入"));
}

// The note under a pinch sends the user to the touchpad settings of the
// desktop that runs, by the name they have there.
TEST_F(RuleEditorTest, ThePinchNoteNamesTheRunningDesktopsTouchpadSettings) {
    using Companion = DesktopIntegration::Companion;
    struct Case {
        SystemGestureDesktop desktop;
        const char* note;
    };
    const Case cases[] = {
        {SystemGestureDesktop::gnome, "支持双指、三指、四指。若同时触发系统手势，可在设置 → 鼠标和触摸板中调整。"},
        {SystemGestureDesktop::plasmaWayland,
         "支持双指、三指、四指。若同时触发系统手势，可在系统设置 → 输入设备 → 触摸板中调整。"},
        {SystemGestureDesktop::withoutGestures,
         "支持双指、三指、四指。若同时触发系统手势，可在桌面的触控板设置中调整。"},
        {SystemGestureDesktop::unknown, "支持双指、三指、四指。若同时触发系统手势，可在桌面的触控板设置中调整。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.desktop));
        ui.desktop.setDesktop(c.desktop, Companion::none, false);
        GestureRuleEditor& editor = add();
        pick(&editor, QStringLiteral("kind"), title(Kind::pinchOut));
        EXPECT_EQ(text(&editor, QStringLiteral("pinchNote")), QString::fromUtf8(c.note));
        editor.reject();
        settle();
    }
}

// Each step's window is titled as its heading says; a screen reader names
// the sheet, its library and each picker by what they are.
TEST_F(RuleEditorTest, TheStepsAreTitledAndTheirPickersNamedByTheirLabels) {
    GestureRuleEditor& editor = add();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("添加手势"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&editor)->text(QAccessible::Name), QStringLiteral("添加手势"));
    const std::pair<const char*, const char*> pickers[] = {
        {"kind", "想做什么手势"}, {"fingers", "用几根手指"}, {"direction", "往哪个方向"}};
    for (const auto& [name, label] : pickers) {
        QAccessibleInterface* picker =
            QAccessible::queryAccessibleInterface(child<QComboBox>(&editor, QString::fromLatin1(name)));
        const auto labels = picker->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1u) << name;
        EXPECT_EQ(labels.front().first->text(QAccessible::Name), QString::fromUtf8(label));
    }
    click(&editor, QStringLiteral("primary"));
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("选择动作"));
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(child<GestureActionLibraryView>(&editor, {}))->text(QAccessible::Name),
        QStringLiteral("选择动作"));
    editor.reject();
    settle();
    EXPECT_EQ(open(rule(GestureAction::copy)).windowTitle(), QStringLiteral("编辑手势"));
}

// Tab goes through the edit view as it reads: the title's button, the left
// pane top to bottom (the shortcut recorder and manual keys the action
// brings first), the library on the right, then the buttons below.
TEST_F(RuleEditorTest, TabFollowsTheEditViewInTheOrderItReads) {
    GestureRule shortcut = rule(GestureAction::customShortcut);
    shortcut.shortcut = KeyboardShortcut{17, 0x40000, QStringLiteral("Ctrl+T"), std::nullopt};
    GestureRuleEditor& editor = open(shortcut);
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    // Another action and back: the panel is built again, after the library.
    chooseAction(editor, GestureAction::copy);
    chooseAction(editor, GestureAction::customShortcut);

    QStringList order;
    QWidget* start = child<QWidget>(&editor, QStringLiteral("changeGesture"));
    start->setFocus(Qt::TabFocusReason);
    for (QWidget* at = start; order.size() < 200; at = QApplication::focusWidget()) {
        order << at->objectName();
        QTest::keyClick(at, Qt::Key_Tab);
        if (QApplication::focusWidget() == start) break;
    }
    const auto at = [&order](const char* name) { return order.indexOf(QString::fromLatin1(name)); };
    for (const char* name : {"shortcutField", "keyPicker", "addRegion", "actionSearch", "cancel", "primary"}) {
        EXPECT_GE(at(name), 0) << name << " is never reached: " << order.join(QStringLiteral(" → "));
    }
    EXPECT_EQ(at("changeGesture"), 0);
    EXPECT_LT(at("shortcutField"), at("keyPicker"));
    EXPECT_LT(at("keyPicker"), at("addRegion"));
    EXPECT_LT(at("addRegion"), at("actionSearch")) << order.join(QStringLiteral(" → "));
    EXPECT_LT(at("actionSearch"), at("cancel"));
    EXPECT_LT(at("cancel"), at("primary"));
}

TEST_F(RuleEditorTest, ADuplicateAsksToSaveAnywayAndAnApplicationRuleNeverShows) {
    const GestureRule stored = rule(GestureAction::missionControl);
    const GestureRule forApp = test::forApplication(rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1}),
                                                    QStringLiteral("a.desktop"));
    settings().setRules({stored, forApp});

    GestureRuleEditor& duplicate = open(rule(GestureAction::showDesktop));
    EXPECT_EQ(primary(duplicate)->text(), QStringLiteral("仍然保存"));
    EXPECT_TRUE(child<GestureConflictNotice>(&duplicate, {})->isVisibleTo(&duplicate));
    review(duplicate, QStringLiteral("rule-editor-action-conflict"));
    click(&duplicate, QStringLiteral("primary"));
    EXPECT_EQ(settings().rules().size(), 3u);

    GestureRuleEditor& general = open(rule(GestureAction::paste, {Kind::tap, 2, Direction::right, 1}));
    EXPECT_EQ(primary(general)->text(), QStringLiteral("保存"));
    EXPECT_FALSE(child<GestureConflictNotice>(&general, {})->isVisibleTo(&general));
}

TEST_F(RuleEditorTest, RecordingWithoutATouchpadSaysWhyAndLearnsNothing) {
    GestureRuleEditor& editor = add();
    click(&editor, QStringLiteral("record"));
    EXPECT_FALSE(controller().isLearningGesture());
    EXPECT_FALSE(controller().status().isEmpty());
    EXPECT_EQ(text(&editor, QStringLiteral("message")), controller().status());
    EXPECT_EQ(child<kit::StyledLabel>(&editor, QStringLiteral("message"))->colour(), kit::KitColour::red);
    editor.reject();
    settle();
    EXPECT_FALSE(controller().isEnabled());
    expectFlagsDown();
}

// Every way of closing ends learning, lowers the flags and gives control back
// as it was, also with a region sheet open over the editor.
TEST_F(RuleEditorTest, EveryWayOutLowersTheFlagsAndRestoresControl) {
    ui.framework.addDevice();
    const struct {
        const char* name;
        std::function<void(GestureRuleEditor&)> close;
    } ways[] = {
        {"取消",
         [this](GestureRuleEditor& e) {
             // The editor's own, not the sheet's of the same name.
             for (auto* cancel : e.findChildren<QAbstractButton*>(QStringLiteral("cancel"))) {
                 if (cancel->window() != &e) continue;
                 QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
                 settle();
                 return;
             }
             ADD_FAILURE() << "no cancel button of the editor";
         }},
        {"Escape", [](GestureRuleEditor& e) { QTest::keyClick(&e, Qt::Key_Escape); }},
        {"deleted", [](GestureRuleEditor& e) { delete &e; }},
        {"page deleted", [this](GestureRuleEditor&) { page_.reset(); }},
    };
    for (const bool wasOn : {false, true}) {
        for (const bool withRegionSheet : {false, true}) {
            for (const auto& way : ways) {
                SCOPED_TRACE(std::string(way.name) + (wasOn ? ", control on" : ", control off") +
                             (withRegionSheet ? ", region sheet open" : ", recording"));
                if (controller().isEnabled() != wasOn) controller().toggleEnabled();
                GestureRuleEditor& editor = open(test::inRegion(rule(GestureAction::copy), GestureRegion::left));
                if (withRegionSheet) {
                    click(&editor, QStringLiteral("regionButton"));
                    ASSERT_NE(editor.findChild<QDialog*>(QStringLiteral("regionSelectionSheet")), nullptr);
                } else {
                    click(&editor, QStringLiteral("changeGesture"));
                    click(&editor, QStringLiteral("record"));
                    ASSERT_TRUE(controller().isLearningGesture());
                }
                way.close(editor);
                settle();
                EXPECT_EQ(controller().isEnabled(), wasOn);
                EXPECT_EQ(settings().restoreEnabled(), wasOn);
                expectFlagsDown();
            }
        }
    }
}

TEST_F(RuleEditorTest, ReturnSavesNothingAndModifiersClearTogether) {
    GestureRuleEditor& editor = open(rule(GestureAction::copy));
    auto* search = child<QLineEdit>(&editor, QStringLiteral("actionSearch"));
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("paste"));
    QTest::keyClick(search, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Return);
    settle();
    EXPECT_TRUE(settings().rules().empty());
    ASSERT_NE(page().editor(), nullptr);

    // Back to the gesture and forward again: the library starts anew.
    click(&editor, QStringLiteral("changeGesture"));
    EXPECT_EQ(text(&editor, QStringLiteral("title")), QStringLiteral("添加手势"));
    click(&editor, QStringLiteral("primary"));
    EXPECT_TRUE(child<QLineEdit>(&editor, QStringLiteral("actionSearch"))->text().isEmpty());
    EXPECT_FALSE(child<GestureActionLibraryView>(&editor, {})->category());
    EXPECT_EQ(editor.rule().action, GestureAction::copy);

    click(&editor, QStringLiteral("addModifiers"));
    // The boxes name the keys as the desktop does, in its order.
    auto* toggles = child<QWidget>(&editor, QStringLiteral("modifierSection"));
    QStringList shown;
    for (auto* box : toggles->findChildren<QCheckBox*>()) {
        shown << box->text();
        EXPECT_EQ(box->accessibleName(), box->text());
    }
    EXPECT_EQ(shown, (QStringList{"Ctrl", "Alt", "Shift", "Super"}));
    click(&editor, QStringLiteral("option"));
    EXPECT_EQ(editor.preparedRule().requiredModifiers, 0x80000u);
    click(&editor, QStringLiteral("clearModifiers"));
    EXPECT_EQ(editor.preparedRule().requiredModifiers, 0u);
    EXPECT_FALSE(child<QWidget>(&editor, QStringLiteral("modifierSection"))->isVisibleTo(&editor));
    EXPECT_TRUE(child<QWidget>(&editor, QStringLiteral("addModifiers"))->isVisibleTo(&editor));
}

TEST_F(RuleEditorTest, TheApplicationChooserTakesADesktopEntryAndChangesNothingOtherwise) {
    const QString path = QStringLiteral("/usr/share/applications/org.gnome.Nautilus.desktop");
    workspace.addMenuApplication(
        path, ApplicationBundle{QStringLiteral("org.gnome.Nautilus.desktop"), QStringLiteral("文件")});
    GestureRuleEditor& editor = open(rule(GestureAction::copy));

    click(&editor, QStringLiteral("addApplication"));
    test::cancelChooser(&editor);
    click(&editor, QStringLiteral("addApplication"));
    test::chooseFromFile(&editor, ui.fileDialogs, QStringLiteral("/tmp/notes.txt"));
    EXPECT_EQ(editor.rule().appBundleID, QString());
    EXPECT_EQ(editor.errorMessage(), QString());

    click(&editor, QStringLiteral("addApplication"));
    test::chooseListed(&editor, QStringLiteral("文件"));
    EXPECT_EQ(editor.rule().appBundleID, QStringLiteral("org.gnome.Nautilus.desktop"));
    EXPECT_TRUE(child<QWidget>(&editor, QStringLiteral("applicationSection"))->isVisibleTo(&editor));
    click(&editor, QStringLiteral("clearApplication"));
    EXPECT_EQ(editor.rule().appBundleID, QString());

    click(&editor, QStringLiteral("addApplication"));
    test::chooseFromFile(&editor, ui.fileDialogs, path);
    EXPECT_EQ(editor.rule().appBundleID, QStringLiteral("org.gnome.Nautilus.desktop"));

    // The editor closed while the panel was open: the answer goes nowhere.
    click(&editor, QStringLiteral("addApplication"));
    test::pressInChooser(&editor, "chooseApplicationFile");
    ASSERT_TRUE(ui.fileDialogs.isOpen());
    page_.reset();
    EXPECT_FALSE(ui.fileDialogs.isOpen());
    EXPECT_FALSE(ui.fileDialogs.answer(path));
    expectFlagsDown();
}

// Quitting from the tray closes the window with the editor in it while the
// controller lives: control switched on only to record is off again, and the
// next launch does not turn it on.
TEST_F(RuleEditorTest, QuittingWhileRecordingLeavesControlOffForTheNextLaunch) {
    ui.framework.addDevice();
    PageFactories pages;
    pages[SettingsPage::gestures] = [](UiContext& shared) -> QWidget* { return new FreeformRulesView(shared); };
    sim::SimSystemTray tray(true);
    ApplicationShell shell(ApplicationShell::Environment{context, pages, tray, [] {}, [] {}});
    shell.openSettings();
    settle();
    auto* rules = shell.window()->findChild<FreeformRulesView*>();
    ASSERT_NE(rules, nullptr);
    click(rules, QStringLiteral("addRule"));
    click(rules->editor(), QStringLiteral("record"));
    ASSERT_TRUE(controller().isLearningGesture());
    ASSERT_TRUE(settings().restoreEnabled());

    shell.quit();
    EXPECT_FALSE(controller().isEnabled());
    EXPECT_FALSE(settings().restoreEnabled());
    expectFlagsDown();
}

}  // namespace
}  // namespace glidra
