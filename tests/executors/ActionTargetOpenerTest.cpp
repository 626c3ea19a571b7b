#include "executors/ActionTargetOpener.h"
#include "executors/ExecutorFixture.h"
#include "platform/sim/SimFileBookmarks.h"
#include "platform/sim/SimWorkspace.h"
#include "support/NoticePrinter.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;

class ActionTargetOpenerTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    sim::SimWorkspace workspace;
    sim::SimFileBookmarks bookmarks;
    ActionTargetOpener opener{workspace, bookmarks};

    QString file(const QString& name, const QByteArray& contents = "notes\n",
                 QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) {
        const QString path = folder.filePath(name);
        QFile created(path);
        EXPECT_TRUE(created.open(QIODevice::WriteOnly));
        created.write(contents);
        created.close();
        created.setPermissions(permissions);
        return path;
    }

    std::optional<HUDNotice> open(GestureAction action, std::optional<ActionParameters> parameters) {
        GestureBinding binding;
        binding.action = action;
        binding.parameters = std::move(parameters);
        auto result = test::resultOf(opener.openActionTarget(binding));
        test::SimTime::drain();
        EXPECT_TRUE(result->has_value());
        return result->value_or(std::nullopt);
    }

    static ActionParameters resource(const QString& path, const QString& name,
                                     std::optional<QByteArray> bookmark = std::nullopt) {
        return ActionParameters{ResourceTarget{path, name, std::move(bookmark)}, std::nullopt, std::nullopt};
    }
    static ActionParameters website(const QString& text) { return {std::nullopt, text, std::nullopt}; }
};

TEST_F(ActionTargetOpenerTest, OpensFilesAndFoldersWithTheirDefaultHandler) {
    const QString notes = file(QStringLiteral("notes.txt"));
    EXPECT_EQ(open(GestureAction::openFile, resource(notes, QStringLiteral("笔记"))),
              test::notice("打开 笔记", "doc", Kind::success));
    EXPECT_EQ(open(GestureAction::openFolder, resource(folder.path(), QStringLiteral("资料"))),
              test::notice("打开 资料", "folder.fill", Kind::success));
    EXPECT_EQ(workspace.openedUrls(), (QList<QUrl>{QUrl::fromLocalFile(notes), QUrl::fromLocalFile(folder.path())}));

    workspace.setRefusesToOpen(true);
    EXPECT_EQ(open(GestureAction::openFile, resource(notes, QStringLiteral("笔记"))),
              test::notice("无法打开 笔记", "doc", Kind::error));
}

TEST_F(ActionTargetOpenerTest, ABookmarkFindsAMovedItemAndThePathStandsInWhenItDoesNot) {
    const QString moved = file(QStringLiteral("moved.txt"));
    const QString stored = file(QStringLiteral("stored.txt"));
    bookmarks.setPath("moved", moved);
    bookmarks.setPath("gone", folder.filePath(QStringLiteral("deleted.txt")));

    EXPECT_EQ(open(GestureAction::openFile,
                   resource(folder.filePath(QStringLiteral("old.txt")), QStringLiteral("报告"), QByteArray("moved"))),
              test::notice("打开 报告", "doc", Kind::success))
        << "the stored name, not the new file name";
    EXPECT_EQ(open(GestureAction::openFile, resource(stored, QStringLiteral("a"), QByteArray("unknown"))),
              test::notice("打开 a", "doc", Kind::success));
    EXPECT_EQ(open(GestureAction::openFile, resource(stored, QStringLiteral("b"), QByteArray("gone"))),
              test::notice("打开 b", "doc", Kind::success));
    EXPECT_EQ(workspace.openedUrls(),
              (QList<QUrl>{QUrl::fromLocalFile(moved), QUrl::fromLocalFile(stored), QUrl::fromLocalFile(stored)}));
}

TEST_F(ActionTargetOpenerTest, AMissingTargetAsksToChooseAgain) {
    const HUDNotice notFound = test::notice("找不到目标，请重新选择", "folder.fill", Kind::error);
    EXPECT_EQ(open(GestureAction::openFolder, std::nullopt), notFound);
    EXPECT_EQ(open(GestureAction::openFolder, ActionParameters{}), notFound);
    EXPECT_EQ(open(GestureAction::openFolder,
                   resource(folder.filePath(QStringLiteral("nowhere")), QStringLiteral("x"), QByteArray("unknown"))),
              notFound);
    EXPECT_TRUE(workspace.openedUrls().isEmpty());
}

TEST_F(ActionTargetOpenerTest, ProgramsAndDesktopEntriesAreShownNeverRun) {
    const QString script = file(QStringLiteral("setup.sh"), "#!/bin/sh\nrm -rf ~\n",
                                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString entry =
        file(QStringLiteral("launcher.desktop"), "[Desktop Entry]\nType=Application\nName=X\nExec=rm -rf ~\n");
    const QString disguised = file(QStringLiteral("launcher"), "[Desktop Entry]\nType=Application\nExec=true\n");
    const QString binary = file(QStringLiteral("tool.bin"), QByteArray("\x7f"
                                                                       "ELF\x02\x01\x01",
                                                                       7) +
                                                                QByteArray(64, '\0'));

    for (const QString& path : {script, entry, binary}) {
        EXPECT_TRUE(ActionTargetOpener::runsWhenOpened(path)) << path;
        EXPECT_EQ(open(GestureAction::openFile, resource(path, QStringLiteral("工具"))),
                  test::notice("打开 工具", "doc", Kind::success));
    }
    EXPECT_EQ(workspace.shownInFileManager(), (QStringList{script, entry, binary}));
    EXPECT_TRUE(workspace.openedUrls().isEmpty());
    EXPECT_TRUE(ActionTargetOpener::runsWhenOpened(disguised)) << "recognised by its contents";
    EXPECT_FALSE(ActionTargetOpener::runsWhenOpened(folder.path())) << "folders may be searchable";
    EXPECT_FALSE(ActionTargetOpener::runsWhenOpened(file(QStringLiteral("photo.txt")))) << "plain files open";

    workspace.setRefusesToShowInFileManager(true);
    EXPECT_EQ(open(GestureAction::openFile, resource(script, QStringLiteral("工具"))),
              test::notice("无法打开 工具", "doc", Kind::error));
}

TEST_F(ActionTargetOpenerTest, OpensWebAddressesAndNamesTheirHost) {
    EXPECT_EQ(open(GestureAction::openURL, website(QStringLiteral(" example.com/docs "))),
              test::notice("打开 example.com", "globe", Kind::success));
    EXPECT_EQ(workspace.openedUrls(), QList<QUrl>{QUrl(QStringLiteral("https://example.com/docs"))});

    const HUDNotice invalid = test::notice("请先填写有效网址", "globe", Kind::error);
    EXPECT_EQ(open(GestureAction::openURL, website(QStringLiteral("   "))), invalid);
    EXPECT_EQ(open(GestureAction::openURL, std::nullopt), invalid);
    EXPECT_EQ(open(GestureAction::openURL, website(QStringLiteral("file:///etc/passwd"))), invalid);

    workspace.setRefusesToOpen(true);
    EXPECT_EQ(open(GestureAction::openURL, website(QStringLiteral("http://example.org"))),
              test::notice("无法打开网页", "globe", Kind::error));
}

// A shortcut run that takes a while, as the Shortcuts tool does.
QCoro::Task<HUDNotice> runShortcut(Scheduler* scheduler, ShortcutTarget target, QStringList* ran) {
    ran->append(target.id);
    co_await scheduler->sleep(2.0);
    co_return HUDNotice{QStringLiteral("已运行 ") + target.name, QStringLiteral("checkmark.circle"),
                        HUDNotice::Kind::success};
}

TEST_F(ActionTargetOpenerTest, RunsTheChosenShortcutAndPassesItsNoticeOn) {
    const ActionParameters chosen{std::nullopt, std::nullopt,
                                  ShortcutTarget{QStringLiteral("id-1"), QStringLiteral("晨间")}};
    EXPECT_EQ(open(GestureAction::runShortcut, chosen), std::nullopt) << "no shortcut service yet";

    test::SimTime time;
    QStringList ran;
    Scheduler* scheduler = &time.scheduler;
    opener.setStartShortcut([scheduler, &ran](ShortcutTarget target) { return runShortcut(scheduler, target, &ran); });
    EXPECT_EQ(open(GestureAction::runShortcut, ActionParameters{}),
              test::notice("请先选择快捷指令", "square.stack.3d.up", Kind::error));
    EXPECT_TRUE(ran.isEmpty());

    GestureBinding binding;
    binding.action = GestureAction::runShortcut;
    binding.parameters = chosen;
    auto result = test::resultOf(opener.openActionTarget(binding));
    time.drain();
    EXPECT_EQ(ran, QStringList{QStringLiteral("id-1")});
    EXPECT_FALSE(result->has_value());
    time.advanceBy(2.0);
    EXPECT_EQ(*result, std::optional<HUDNotice>(test::notice("已运行 晨间", "checkmark.circle", Kind::success)));
}

// The opener the action executors own runs shortcuts through the shared
// shortcut service.
TEST(SharedActionTargetOpenerTest, RunsShortcutsThroughTheShortcutService) {
    test::ExecutorRig rig;
    const QString id = QStringLiteral("0C2F1B36-9A8E-4D5B-8F0E-3F6C1A2B4D5E");
    GestureBinding binding;
    binding.action = GestureAction::runShortcut;
    binding.parameters = ActionParameters{std::nullopt, std::nullopt, ShortcutTarget{id, QStringLiteral("晚安")}};
    auto result = test::resultOf(rig.executors->actionTargetOpener().openActionTarget(binding));
    rig.h.time.drain();
    ASSERT_EQ(rig.processes.children().size(), 1u);
    EXPECT_EQ(rig.processes.children()[0]->command.arguments, (QStringList{QStringLiteral("run"), id}));
    EXPECT_TRUE(rig.executors->shortcuts().isRunning(id));
    rig.processes.exit(0, 0);
    rig.h.time.drain();
    ASSERT_TRUE(result->has_value());
    EXPECT_EQ(**result, std::optional<HUDNotice>(test::notice("已运行 晚安", "checkmark", Kind::success)));
}

TEST_F(ActionTargetOpenerTest, OtherActionsAreNotItsBusiness) {
    for (GestureAction action : {GestureAction::copy, GestureAction::openApplication, GestureAction::none}) {
        EXPECT_EQ(open(action, website(QStringLiteral("example.com"))), std::nullopt) << enumRaw(action);
    }
    EXPECT_TRUE(workspace.openedUrls().isEmpty());
}

}  // namespace
}  // namespace glidra
