#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/actions/ActionParameterEditor.h"
#include "views/actions/ActionPermissionHelpView.h"
#include "views/actions/ApplicationTargetPicker.h"
#include "views/actions/GestureActionCanvas.h"
#include "views/actions/GestureActionConfigurationView.h"
#include "views/actions/ShortcutRecorder.h"
#include "views/kit/SymbolLabel.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace glidra {
namespace {

struct ConfigurationTest : ::testing::Test {
    test::UiHarness ui;

    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    static ActionConfiguration configuration(GestureAction action) {
        ActionConfiguration c;
        c.action = action;
        return c;
    }
    template <typename T = QWidget>
    static bool shows(const QWidget& parent, const QString& name) {
        auto* child = parent.findChild<T*>(name);
        return child && child->isVisibleTo(&parent);
    }
};

TEST_F(ConfigurationTest, EachActionGetsItsRows) {
    struct Case {
        GestureAction action;
        bool parameters, preview, application, recorder, keepAwake;
        QString previewTitle;
    };
    const Case cases[] = {
        {GestureAction::openFile, true, false, false, false, false, {}},
        {GestureAction::openURL, true, false, false, false, false, {}},
        {GestureAction::openApplication, false, false, true, false, false, {}},
        {GestureAction::customShortcut, false, false, false, true, false, {}},
        {GestureAction::toggleKeepAwake, false, false, false, false, true, {}},
        {GestureAction::openControlCenter, false, true, false, false, false, QStringLiteral("试一下")},
        {GestureAction::missionControl, false, true, false, false, false, QStringLiteral("打开看看")},
        {GestureAction::copyPageLink, false, false, false, false, false, {}},
        {GestureAction::copy, false, false, false, false, false, {}},
    };
    GestureActionConfigurationView panel(ui.context);
    panel.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(title(c.action).toStdString());
        panel.setConfiguration(configuration(c.action));
        test::UiHarness::flushDeletes();
        EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("actionTitle"))->text(), title(c.action));
        EXPECT_EQ(bool(panel.parameterEditor()), c.parameters);
        EXPECT_EQ(bool(panel.applicationPicker()), c.application);
        EXPECT_EQ(shows(panel, QStringLiteral("applicationDivider")), c.application);
        EXPECT_EQ(bool(panel.shortcutRecorder()), c.recorder);
        EXPECT_EQ(shows(panel, QStringLiteral("shortcutHint")), c.recorder);
        EXPECT_EQ(shows(panel, QStringLiteral("keepAwakeState")), c.keepAwake);
        auto* preview = panel.findChild<QPushButton*>(QStringLiteral("previewAction"));
        EXPECT_EQ(bool(preview), c.preview);
        if (preview) {
            EXPECT_EQ(preview->text(), c.previewTitle);
        }
        // No automation settings pane to open on Linux.
        EXPECT_FALSE(shows(panel, QStringLiteral("automationSettings")));
    }
}

TEST_F(ConfigurationTest, TheKeepAwakeLineFollowsTheController) {
    GestureActionConfigurationView panel(ui.context);
    panel.setConfiguration(configuration(GestureAction::toggleKeepAwake));
    auto* line = panel.findChild<kit::SymbolLabel*>(QStringLiteral("keepAwakeState"));
    EXPECT_EQ(line->text(), QStringLiteral("当前：保持唤醒未开启"));
    EXPECT_EQ(line->symbol(), QStringLiteral("cup.and.saucer"));
    ui.context.keepAwake.setActive(true);
    EXPECT_EQ(line->text(), QStringLiteral("当前：保持唤醒已开启"));
    EXPECT_EQ(line->symbol(), QStringLiteral("cup.and.saucer.fill"));
    ui.context.keepAwake.setActive(false);
}

TEST_F(ConfigurationTest, TwoQuickClicksRunThePreviewOnceAndShowItsText) {
    GestureActionConfigurationView panel(ui.context);
    panel.setConfiguration(configuration(GestureAction::openControlCenter));
    auto* button = panel.findChild<QPushButton*>(QStringLiteral("previewAction"));
    QTest::mouseClick(button, Qt::LeftButton);
    ui.advanceBy(0.1);
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
    ui.advanceBy(0.1);
    settle();
    EXPECT_TRUE(ui.dispatcher.performed.empty()) << "each click waits its own 0.2 s";
    ui.advanceBy(0.1);
    settle();
    ASSERT_EQ(ui.dispatcher.performed.size(), 1u);
    EXPECT_EQ(ui.dispatcher.performed[0], (GestureBinding{GestureTrigger::leftUp, GestureAction::openControlCenter,
                                                          std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(panel.previewMessage(), std::optional(QStringLiteral("已完成")));
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("previewMessage"))->text(), QStringLiteral("已完成"));
}

TEST_F(ConfigurationTest, AnotherActionCancelsTheWaitingPreviewAndClearsTheMessage) {
    GestureActionConfigurationView panel(ui.context);
    panel.setConfiguration(configuration(GestureAction::missionControl));
    panel.previewCurrentAction();
    ui.advanceBy(0.3);
    settle();
    ASSERT_TRUE(panel.previewMessage());
    panel.previewCurrentAction();
    panel.setConfiguration(configuration(GestureAction::copy));
    EXPECT_FALSE(panel.previewMessage());
    ui.advanceBy(1);
    settle();
    EXPECT_EQ(ui.dispatcher.performed.size(), 1u);

    // A result that comes back after a newer click is dropped.
    panel.setConfiguration(configuration(GestureAction::missionControl));
    ui.dispatcher.seconds = 1;
    panel.previewCurrentAction();
    ui.advanceBy(0.2);
    settle();
    ASSERT_EQ(ui.dispatcher.performed.size(), 2u);
    ui.dispatcher.notice.text = QStringLiteral("第二次");
    panel.previewCurrentAction();
    ui.advanceBy(1);
    settle();
    EXPECT_FALSE(panel.previewMessage()) << "the first result is dropped";
    ui.advanceBy(1);
    settle();
    EXPECT_EQ(panel.previewMessage(), std::optional(QStringLiteral("第二次")));
}

TEST_F(ConfigurationTest, APanelDeletedMidDispatchIsLeftAlone) {
    auto panel = std::make_unique<GestureActionConfigurationView>(ui.context);
    panel->setConfiguration(configuration(GestureAction::openNotificationCenter));
    ui.dispatcher.seconds = 1;
    panel->previewCurrentAction();
    ui.advanceBy(0.2);
    settle();
    ASSERT_EQ(ui.dispatcher.performed.size(), 1u);
    panel.reset();
    ui.advanceBy(1);
    settle();
    EXPECT_EQ(ui.dispatcher.finished, 1);
}

TEST_F(ConfigurationTest, EditsComeBackWholeAndShowingWritesNothing) {
    GestureActionConfigurationView panel(ui.context);
    QSignalSpy edits(&panel, &GestureActionConfigurationView::configurationChanged);
    ActionConfiguration c = configuration(GestureAction::openApplication);
    c.shortcut = KeyboardShortcut{40, 0x100000, QStringLiteral("⌘K"), std::nullopt};
    panel.setConfiguration(c);
    panel.setConfiguration(configuration(GestureAction::openFile));
    EXPECT_EQ(edits.count(), 0);
    // The first edit of never-set parameters stores them.
    QTest::mouseClick(panel.findChild<QPushButton*>(QStringLiteral("chooseResource")), Qt::LeftButton);
    ASSERT_TRUE(ui.fileDialogs.answer(QStringLiteral("/tmp/a.txt")));
    ASSERT_EQ(edits.count(), 1);
    const auto edited = edits.at(0).at(0).value<ActionConfiguration>();
    EXPECT_EQ(edited.action, GestureAction::openFile);
    ASSERT_TRUE(edited.parameters);
    EXPECT_EQ(edited.parameters->resource->path, QStringLiteral("/tmp/a.txt"));
}

TEST_F(ConfigurationTest, ThePermissionNoticeFollowsTrustAndAction) {
    struct Case {
        bool trusted;
        GestureAction action;
        bool shown;
    };
    const Case cases[] = {
        {false, GestureAction::copy, true},  {false, GestureAction::openURL, false},
        {false, GestureAction::none, false}, {false, GestureAction::openApplicationSwitcher, true},
        {true, GestureAction::copy, false},  {true, GestureAction::mouseLeftClick, false},
    };
    for (const auto& c : cases) {
        ui.rig.h.accessibilityTrust.setTrusted(c.trusted);
        ActionPermissionHelpView help(ui.rig.h.accessibilityTrust, ui.scenePhase, c.action);
        EXPECT_EQ(help.isNoticeShown(), c.shown) << title(c.action).toStdString();
        // No settings page to open on Linux: only "重新检查".
        EXPECT_EQ(help.findChildren<QPushButton*>().size(), 1);
    }

    ui.rig.h.accessibilityTrust.setTrusted(false);
    ActionPermissionHelpView help(ui.rig.h.accessibilityTrust, ui.scenePhase, GestureAction::copy);
    ui.rig.h.accessibilityTrust.setTrusted(true);
    ui.scenePhase.setPhase(ScenePhase::Phase::inactive);
    EXPECT_TRUE(help.isNoticeShown());
    ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_FALSE(help.isNoticeShown());
    ui.rig.h.accessibilityTrust.setTrusted(false);
    help.setAction(GestureAction::paste);
    EXPECT_TRUE(help.isNoticeShown()) << "a new action reads the trust again";
    ui.rig.h.accessibilityTrust.setTrusted(true);
    QTest::mouseClick(help.findChild<QPushButton*>(QStringLiteral("recheckPermission")), Qt::LeftButton);
    EXPECT_FALSE(help.isNoticeShown());
}

TEST_F(ConfigurationTest, TheCanvasSwitchesBetweenThePlaceholderAndThePanel) {
    auto* options = new QWidget;
    auto* warnings = new QWidget;
    GestureActionCanvas canvas(ui.context, warnings, options);
    canvas.resize(520, 700);
    canvas.show();
    GestureRule rule;
    canvas.setRule(rule);
    EXPECT_TRUE(canvas.placeholder()->isVisible());
    EXPECT_FALSE(canvas.configurationView()->isVisible());
    EXPECT_FALSE(options->isVisible());
    EXPECT_FALSE(warnings->isVisible());
    EXPECT_EQ(canvas.findChild<kit::SymbolLabel*>(QStringLiteral("triggerGesture"))->text(), rule.gesture.title());
    test::saveForReview(test::pictureOf(canvas), QStringLiteral("action-canvas-empty"));

    rule.action = GestureAction::customShortcut;
    canvas.setRule(rule);
    EXPECT_FALSE(canvas.placeholder()->isVisible());
    EXPECT_TRUE(canvas.configurationView()->isVisible());
    EXPECT_TRUE(options->isVisible());
    EXPECT_TRUE(warnings->isVisible());
    EXPECT_LT(options->mapTo(&canvas, QPoint()).y(), warnings->mapTo(&canvas, QPoint()).y());
    test::saveForReview(test::pictureOf(canvas), QStringLiteral("action-canvas-shortcut"));

    rule.action = GestureAction::none;
    canvas.setRule(rule);
    EXPECT_TRUE(canvas.placeholder()->isVisible());
    EXPECT_FALSE(options->isVisible());
}

TEST_F(ConfigurationTest, Pictures) {
    for (GestureAction action : {GestureAction::openApplication, GestureAction::toggleKeepAwake,
                                 GestureAction::openControlCenter, GestureAction::copy}) {
        GestureActionConfigurationView panel(ui.context);
        panel.resize(480, 10);
        panel.setConfiguration(configuration(action));
        panel.show();
        panel.adjustSize();
        test::saveForReview(test::pictureOf(panel), QStringLiteral("action-panel-") + enumRaw(action));
    }
}

}  // namespace
}  // namespace glidra
