#include "support/ApplicationChooserDriver.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/actions/ActionParameterEditor.h"
#include "views/actions/ApplicationTargetPicker.h"
#include "views/actions/ResourceTargetPicker.h"
#include "views/actions/ShortcutTargetPicker.h"
#include "views/kit/StyledLabel.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace glidra {
namespace {

struct PickersTest : ::testing::Test {
    test::UiHarness ui;

    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    // The Shortcuts tool's latest run ends with this output.
    void finishList(int status, const QByteArray& output = {}) {
        ui.processes.exit(ui.processes.children().size() - 1, status, output);
        settle();
    }
};

TEST_F(PickersTest, TheAddressCaptionFollowsEveryKeystroke) {
    struct Case {
        QString typed;
        bool red;
    };
    const Case cases[] = {
        {QStringLiteral("example.com"), false},
        {QString(), false},
        {QStringLiteral("EXAMPLE.com/path"), false},
        {QStringLiteral("HTTP://example.com"), false},
        {QStringLiteral("   "), true},
        {QStringLiteral("ftp://example.com"), true},
        {QStringLiteral("mailto:a@example.com"), true},
        {QStringLiteral("https://user@example.com"), true},
        {QStringLiteral("example.com:8080"), true},
    };
    ActionParameterEditor editor(ui.context, GestureAction::openURL);
    auto* field = editor.findChild<QLineEdit*>(QStringLiteral("websiteField"));
    auto* caption = editor.findChild<kit::StyledLabel*>(QStringLiteral("websiteCaption"));
    ASSERT_NE(field, nullptr);
    QSignalSpy edits(&editor, &ActionParameterEditor::parametersChanged);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, c.typed);
        // Stored exactly as typed; an emptied field is the empty text.
        EXPECT_EQ(editor.parameters().website, std::optional(c.typed));
        EXPECT_EQ(caption->colour(), c.red ? kit::KitColour::red : kit::KitColour::secondary);
        EXPECT_EQ(caption->text(), c.red ? QStringLiteral("请输入有效网址，例如 example.com。")
                                         : QStringLiteral("使用默认浏览器打开，无需填写 https://。"));
    }
    EXPECT_GT(edits.count(), 0);
    // Shown, not edited: nothing is written.
    edits.clear();
    editor.setParameters(ActionParameters{std::nullopt, QStringLiteral("a.example"), std::nullopt});
    EXPECT_EQ(field->text(), QStringLiteral("a.example"));
    EXPECT_EQ(edits.count(), 0);
}

TEST_F(PickersTest, TheEditorShowsAPickerOnlyForItsFourActions) {
    for (GestureAction action : enumAllCases<GestureAction>()) {
        ActionParameterEditor editor(ui.context, action);
        const bool expected = action == GestureAction::openFile || action == GestureAction::openFolder ||
                              action == GestureAction::openURL || action == GestureAction::runShortcut;
        EXPECT_EQ(editor.hasContent(), expected) << title(action).toStdString();
    }
}

TEST_F(PickersTest, TheResourcePickerReplacesTheWholeTargetAndKeepsItOnCancel) {
    ActionParameterEditor editor(ui.context, GestureAction::openFolder);
    auto* picker = editor.findChild<ResourceTargetPicker*>();
    auto* choose = editor.findChild<QPushButton*>(QStringLiteral("chooseResource"));
    EXPECT_EQ(choose->text(), QStringLiteral("选择…"));
    QSignalSpy edits(&editor, &ActionParameterEditor::parametersChanged);
    QTest::mouseClick(choose, Qt::LeftButton);
    EXPECT_EQ(edits.count(), 0) << "nothing until the panel answers";
    ASSERT_TRUE(ui.fileDialogs.answer(QStringLiteral("/home/user/文档")));
    ASSERT_EQ(ui.fileDialogs.openRequests().size(), 1u);
    EXPECT_TRUE(ui.fileDialogs.openRequests().back().choosesDirectories);
    EXPECT_EQ(ui.fileDialogs.openRequests().back().acceptLabel, QStringLiteral("选择"));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(editor.parameters().resource,
              (ResourceTarget{QStringLiteral("/home/user/文档"), QStringLiteral("文档"), std::nullopt}));
    EXPECT_EQ(choose->text(), QStringLiteral("更换…"));
    // A cancelled panel changes nothing.
    QTest::mouseClick(choose, Qt::LeftButton);
    ASSERT_TRUE(ui.fileDialogs.answer(std::nullopt));
    EXPECT_EQ(edits.count(), 1);
    EXPECT_EQ(picker->selection()->name, QStringLiteral("文档"));
}

TEST_F(PickersTest, TheApplicationPickerReportsAnUnreadableChoiceAndClearsItOnAGoodOne) {
    const QString entry = QStringLiteral("/usr/share/applications/org.example.Editor.desktop");
    ui.workspace.addBundle(entry, {QStringLiteral("org.example.Editor.desktop"), QStringLiteral("编辑器")});
    ApplicationTargetPicker picker(ui.context);
    picker.show();
    auto* choose = picker.findChild<QPushButton*>(QStringLiteral("chooseApplication"));
    auto* testOpen = picker.findChild<QPushButton*>(QStringLiteral("testOpen"));
    EXPECT_EQ(choose->text(), QStringLiteral("选择应用…"));
    EXPECT_FALSE(testOpen->isVisible());
    QSignalSpy changes(&picker, &ApplicationTargetPicker::selectionChanged);

    QTest::mouseClick(choose, Qt::LeftButton);
    test::chooseFromFile(&picker, ui.fileDialogs, QStringLiteral("/home/user/notes.txt"));
    EXPECT_EQ(picker.errorMessage(), QStringLiteral("无法读取此应用，请重新选择。"));
    EXPECT_EQ(changes.count(), 0);
    // A cancel keeps the message.
    QTest::mouseClick(choose, Qt::LeftButton);
    test::cancelChooser(&picker);
    EXPECT_EQ(picker.errorMessage(), QStringLiteral("无法读取此应用，请重新选择。"));

    QTest::mouseClick(choose, Qt::LeftButton);
    test::chooseFromFile(&picker, ui.fileDialogs, entry);
    EXPECT_TRUE(picker.errorMessage().isEmpty());
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(picker.selection()->name, QStringLiteral("编辑器"));
    EXPECT_EQ(choose->text(), QStringLiteral("更换…"));
    EXPECT_TRUE(testOpen->isVisible());
}

TEST_F(PickersTest, ATestOpenRunsTheCopiedTargetThroughTheDispatcherAndShowsOnlyErrors) {
    const ApplicationTarget target{QStringLiteral("/usr/share/applications/a.desktop"), QStringLiteral("a.desktop"),
                                   QStringLiteral("A")};
    auto picker = std::make_unique<ApplicationTargetPicker>(ui.context);
    picker->setSelection(target);
    auto* testOpen = picker->findChild<QPushButton*>(QStringLiteral("testOpen"));
    ui.dispatcher.seconds = 1;
    ui.dispatcher.notice = {QStringLiteral("找不到应用，请重新选择"), QStringLiteral("xmark"), HUDNotice::Kind::error};
    QTest::mouseClick(testOpen, Qt::LeftButton);
    EXPECT_TRUE(picker->isOpening());
    EXPECT_FALSE(testOpen->isEnabled());
    // Changing the selection meanwhile does not change what opens.
    picker->setSelection(std::nullopt);
    ASSERT_EQ(ui.dispatcher.performed.size(), 1u);
    EXPECT_EQ(ui.dispatcher.performed[0].action, GestureAction::openApplication);
    EXPECT_EQ(ui.dispatcher.performed[0].trigger, GestureTrigger::leftUp);
    EXPECT_EQ(ui.dispatcher.performed[0].applicationTarget, target);
    ui.advanceBy(1);
    settle();
    EXPECT_FALSE(picker->isOpening());
    EXPECT_EQ(picker->errorMessage(), QStringLiteral("找不到应用，请重新选择"));

    // A success clears the message; a picker gone meanwhile is left alone.
    picker->setSelection(target);
    ui.dispatcher.notice = {QStringLiteral("已打开"), QStringLiteral("checkmark"), HUDNotice::Kind::information};
    picker->testOpen();
    ui.advanceBy(1);
    settle();
    EXPECT_TRUE(picker->errorMessage().isEmpty());
    picker->testOpen();
    picker.reset();
    ui.advanceBy(1);
    settle();
    EXPECT_EQ(ui.dispatcher.finished, 3);
}

TEST_F(PickersTest, TheShortcutsListLoadsOnShowKeepsAMissingChoiceAndAdoptsARename) {
    ShortcutTargetPicker picker(ui.context.shortcuts, ui.context.workspace);
    auto* list = picker.findChild<QComboBox*>(QStringLiteral("shortcutList"));
    auto* reload = picker.findChild<QPushButton*>(QStringLiteral("reloadShortcuts"));
    QSignalSpy changes(&picker, &ShortcutTargetPicker::selectionChanged);
    picker.setSelection(
        ShortcutTarget{QStringLiteral("BBBBBBBB-0000-0000-0000-000000000002"), QStringLiteral("旧名字")});
    picker.show();
    EXPECT_TRUE(picker.isLoading());
    EXPECT_FALSE(reload->isEnabled());
    // Until the list arrives the stored shortcut is marked, and selected.
    EXPECT_EQ(list->currentText(), QStringLiteral("旧名字（未在列表中找到）"));
    // A second read while one runs does nothing.
    const auto runs = ui.processes.children().size();
    picker.loadShortcuts();
    EXPECT_EQ(ui.processes.children().size(), runs);

    finishList(0,
               "Alpha (AAAAAAAA-0000-0000-0000-000000000001)\n新名字 (BBBBBBBB-0000-0000-0000-000000000002)\nAlpha "
               "(CCCCCCCC-0000-0000-0000-000000000003)\n");
    EXPECT_FALSE(picker.isLoading());
    EXPECT_EQ(picker.targets().size(), 3u);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(picker.selection(),
              (ShortcutTarget{QStringLiteral("BBBBBBBB-0000-0000-0000-000000000002"), QStringLiteral("新名字")}));
    EXPECT_EQ(list->currentText(), QStringLiteral("新名字"));
    EXPECT_EQ(list->count(), 4);  // "请选择" and three, both Alphas
    EXPECT_FALSE(picker.message());

    // A failed reload keeps the rows and says so; nothing is written.
    QTest::mouseClick(reload, Qt::LeftButton);
    finishList(1);
    EXPECT_EQ(picker.message(),
              std::optional(QStringLiteral("无法读取快捷指令列表：这台电脑没有可用的 shortcuts 命令。")));
    EXPECT_EQ(picker.targets().size(), 3u);
    EXPECT_EQ(changes.count(), 1);

    // An empty list: only "请选择" and the marked stored shortcut.
    QTest::mouseClick(reload, Qt::LeftButton);
    finishList(0);
    EXPECT_EQ(picker.message(), std::optional(QStringLiteral("还没有快捷指令，请先用 shortcuts 命令创建一个。")));
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentText(), QStringLiteral("新名字（未在列表中找到）"));

    // "请选择" clears the choice. No button leads to an application that
    // this desktop does not have.
    list->activated(0);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_FALSE(picker.selection());
    EXPECT_EQ(picker.findChild<QPushButton*>(QStringLiteral("openShortcutsApp")), nullptr);
    EXPECT_TRUE(ui.workspace.openedUrls().isEmpty());
}

TEST_F(PickersTest, APickerGoneWhileTheListLoadsIsLeftAlone) {
    auto picker = std::make_unique<ShortcutTargetPicker>(ui.context.shortcuts, ui.context.workspace);
    picker->show();
    picker.reset();
    finishList(0, "Alpha (AAAAAAAA-0000-0000-0000-000000000001)\n");
    SUCCEED();
}

TEST_F(PickersTest, Pictures) {
    QWidget column;
    column.resize(420, 10);
    auto* layout = new QVBoxLayout(&column);
    auto* url = new ActionParameterEditor(ui.context, GestureAction::openURL);
    url->setParameters(ActionParameters{std::nullopt, QStringLiteral("ftp://x"), std::nullopt});
    layout->addWidget(url);
    auto* file = new ActionParameterEditor(ui.context, GestureAction::openFile);
    file->setParameters(
        ActionParameters{ResourceTarget{QStringLiteral("/tmp/报告.pdf"), QStringLiteral("报告.pdf"), std::nullopt},
                         std::nullopt, std::nullopt});
    layout->addWidget(file);
    layout->addWidget(new ActionParameterEditor(ui.context, GestureAction::openFolder));
    auto* application = new ApplicationTargetPicker(ui.context);
    application->setSelection(
        ApplicationTarget{QStringLiteral("/x.desktop"), std::nullopt, QStringLiteral("文本编辑器")});
    layout->addWidget(application);
    layout->addWidget(new ActionParameterEditor(ui.context, GestureAction::runShortcut));
    column.show();
    column.adjustSize();
    test::saveForReview(test::pictureOf(column), QStringLiteral("action-pickers"));
}

}  // namespace
}  // namespace glidra
