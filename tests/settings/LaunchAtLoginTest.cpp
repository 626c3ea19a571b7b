#include "settings/LoginItemController.h"

#include "platform/linux/XdgAutostartLoginItems.h"
#include "platform/sim/SimLoginItems.h"
#include "support/TestEnvironment.h"
#include "support/WriteFailures.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

namespace glidra {
namespace {

using Status = LoginItems::Status;
using linux_platform::XdgAutostartLoginItems;

const QString offText = QStringLiteral("开机启动未开启。");
const QString onText = QStringLiteral("已设置为登录时启动。");
const QString approvalText = QStringLiteral("请在桌面的自启动设置中重新允许 Glidra，或先关闭再开启开机启动。");

TEST(LoginItemController, ShowsEachStatus) {
    struct Row {
        Status status;
        bool registered;
        bool needsApproval;
        QString message;
    };
    const Row rows[] = {
        {Status::notRegistered, false, false, offText},
        {Status::enabled, true, false, onText},
        {Status::requiresApproval, true, true, approvalText},
        {Status::notFound, false, false, offText},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.status));
        sim::SimLoginItems items;
        items.setStatus(row.status);
        LoginItemController controller(items);
        EXPECT_FALSE(controller.isRegistered());
        EXPECT_TRUE(controller.message().isEmpty());
        controller.refresh();
        EXPECT_EQ(controller.isRegistered(), row.registered);
        EXPECT_EQ(controller.needsApproval(), row.needsApproval);
        EXPECT_EQ(controller.message(), row.message);
    }
}

TEST(LoginItemController, TogglesThroughTheSystem) {
    sim::SimLoginItems items;
    items.setStatusAfterRegistering(Status::requiresApproval);
    LoginItemController controller(items);
    controller.refresh();

    controller.toggle();
    EXPECT_EQ(items.registerCalls(), 1);
    EXPECT_TRUE(controller.isRegistered());
    EXPECT_TRUE(controller.needsApproval());
    EXPECT_EQ(controller.message(), approvalText);

    // Awaiting approval counts as registered, so the switch takes it off.
    controller.toggle();
    EXPECT_EQ(items.unregisterCalls(), 1);
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_FALSE(controller.needsApproval());
    EXPECT_EQ(controller.message(), offText);

    // A change made in the system's settings shows at the next refresh.
    items.setStatus(Status::enabled);
    controller.refresh();
    EXPECT_EQ(controller.message(), onText);
}

TEST(LoginItemController, FailureShowsTheRealStateWithTheReason) {
    sim::SimLoginItems items;
    items.setStatus(Status::notFound);
    items.setRegisterFailure(QStringLiteral("找不到应用程序。"));
    LoginItemController controller(items);
    controller.refresh();

    controller.toggle();
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_EQ(controller.message(), QStringLiteral("设置失败：找不到应用程序。"));
    controller.refresh();
    EXPECT_EQ(controller.message(), offText);

    items.setStatus(Status::enabled);
    items.setUnregisterFailure(QStringLiteral("Permission denied"));
    controller.refresh();
    controller.toggle();
    EXPECT_TRUE(controller.isRegistered());
    EXPECT_EQ(controller.message(), QStringLiteral("设置失败：Permission denied"));
}

TEST(LoginItemController, UnchangedStatusNotifiesNobody) {
    sim::SimLoginItems items;
    items.setStatus(Status::requiresApproval);
    LoginItemController controller(items);
    controller.refresh();

    QSignalSpy registered(&controller, &LoginItemController::isRegisteredChanged);
    QSignalSpy approval(&controller, &LoginItemController::needsApprovalChanged);
    QSignalSpy message(&controller, &LoginItemController::messageChanged);
    controller.refresh();
    controller.refresh();
    EXPECT_EQ(registered.count() + approval.count() + message.count(), 0);
    EXPECT_EQ(items.statusReads(), 3);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(XdgAutostartLoginItems, RegistersRefreshesAndUnregistersInTheUsersAutostartFolder) {
    const QString folder = test::temporaryHome() + QStringLiteral("/.config/autostart");
    EXPECT_EQ(XdgAutostartLoginItems::standardFolder(), folder);
    XdgAutostartLoginItems items(QCoreApplication::applicationFilePath());
    // Named after the desktop id, as the desktop's own autostart settings name it.
    EXPECT_EQ(items.entryPath(), folder + QStringLiteral("/" GLIDRA_APP_ID ".desktop"));
    LoginItemController controller(items);
    controller.refresh();
    EXPECT_EQ(items.status(), Status::notRegistered);
    EXPECT_EQ(controller.message(), offText);

    controller.toggle();
    EXPECT_TRUE(controller.isRegistered());
    EXPECT_EQ(controller.message(), onText);
    const QByteArray entry = readFile(items.entryPath());
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\"\n"));
    // Written in place, no temporary file left behind.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral(GLIDRA_APP_ID ".desktop")});

    // Switched off in the session's settings: registered, awaiting the user.
    QFile file(items.entryPath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("Hidden=true\n");
    file.close();
    controller.refresh();
    EXPECT_TRUE(controller.isRegistered());
    EXPECT_TRUE(controller.needsApproval());

    controller.toggle();
    EXPECT_FALSE(QFile::exists(items.entryPath()));
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_EQ(controller.message(), offText);
    // Already gone: nothing to fail.
    EXPECT_EQ(items.unregisterApp(), std::nullopt);
}

TEST(XdgAutostartLoginItems, ReportsWhatKeepsItFromRegistering) {
    const QString folder = test::temporaryHome() + QStringLiteral("/autostart");

    XdgAutostartLoginItems missing(test::temporaryHome() + QStringLiteral("/no/such/glidra"), folder);
    EXPECT_EQ(missing.status(), Status::notFound);
    LoginItemController controller(missing);
    controller.refresh();
    controller.toggle();
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_TRUE(controller.message().startsWith(QStringLiteral("设置失败：")));
    EXPECT_FALSE(QFile::exists(missing.entryPath()));

    // A file where the folder should be.
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    XdgAutostartLoginItems blocked(QCoreApplication::applicationFilePath(), folder);
    const auto failure = blocked.registerApp();
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->description.isEmpty());
    EXPECT_EQ(blocked.status(), Status::notRegistered);
}

TEST(XdgAutostartLoginItems, AnEntryThatCannotBeWrittenWholeLeavesTheOldOneAndSaysWhy) {
    const QString folder = test::temporaryHome() + QStringLiteral("/autostart");
    QDir().mkpath(folder);
    XdgAutostartLoginItems items(QCoreApplication::applicationFilePath(), folder);
    const QByteArray old = "[Desktop Entry]\nExec=/opt/old/glidra\n";
    {
        QFile file(items.entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    LoginItemController controller(items);
    {
        const test::FileSizeLimit limit(64);
        controller.toggle();
    }
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_TRUE(controller.message().startsWith(QStringLiteral("设置失败："))) << controller.message().toStdString();
    EXPECT_EQ(readFile(items.entryPath()), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(items.entryPath()).fileName()});

    controller.toggle();
    EXPECT_TRUE(controller.isRegistered());
}

TEST(XdgAutostartLoginItems, ReadsOnlyRealEntriesAsRegistered) {
    const QString folder = test::temporaryHome() + QStringLiteral("/autostart");
    QDir().mkpath(folder);
    XdgAutostartLoginItems items(QCoreApplication::applicationFilePath(), folder);
    const auto write = [&](const QByteArray& text) {
        QFile file(items.entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    const QByteArray exec = XdgAutostartLoginItems::execArgument(QCoreApplication::applicationFilePath()).toUtf8();
    write("not a desktop file");
    EXPECT_EQ(items.status(), Status::notRegistered);
    write("[Desktop Action x]\nExec=" + exec + "\n");
    EXPECT_EQ(items.status(), Status::notRegistered);
    write("[Desktop Entry]\nExec=" + exec + "\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(items.status(), Status::requiresApproval);
    write("# note\n[Desktop Entry]\nExec = " + exec + " --hidden %U\nHidden=false\n");
    EXPECT_EQ(items.status(), Status::enabled);

    // Registering replaces whatever stood there.
    write("garbage");
    EXPECT_EQ(items.registerApp(), std::nullopt);
    EXPECT_EQ(items.status(), Status::enabled);
}

TEST(XdgAutostartLoginItems, AnEntryCountsOnlyWhenItRunsThisProgram) {
    const QString folder = test::temporaryHome() + QStringLiteral("/autostart");
    QDir().mkpath(folder);
    const QString program = QCoreApplication::applicationFilePath();
    XdgAutostartLoginItems items(program, folder);
    const auto write = [&](const QByteArray& exec) {
        QFile file(items.entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
    };

    // An older copy, a moved one, or another program at our name.
    write("/opt/old/glidra");
    EXPECT_EQ(items.status(), Status::notRegistered);
    write("\"" + program.toUtf8() + ".old\"");
    EXPECT_EQ(items.status(), Status::notRegistered);
    write("true");
    EXPECT_EQ(items.status(), Status::notRegistered);

    // The program through a link, and by its name on the PATH.
    const QString bin = test::temporaryHome() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    ASSERT_TRUE(QFile::link(program, bin + QStringLiteral("/glidra")));
    write(bin.toUtf8() + "/glidra");
    EXPECT_EQ(items.status(), Status::enabled);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    write("glidra");
    EXPECT_EQ(items.status(), Status::enabled);
    qputenv("PATH", path);

    // Registering replaces a stale entry with one that counts.
    write("/opt/old/glidra");
    EXPECT_EQ(items.registerApp(), std::nullopt);
    EXPECT_EQ(items.status(), Status::enabled);
}

// Earlier versions wrote glidra.desktop; the one a build-folder run left runs
// another file than the installed program.
TEST(XdgAutostartLoginItems, AnEntryAtTheOldNameCountsOnlyWhenItRunsThisProgramAndGoesAtTheNextChange) {
    const QString folder = test::temporaryHome() + QStringLiteral("/autostart");
    QDir().mkpath(folder);
    const QString installed = QCoreApplication::applicationFilePath();
    XdgAutostartLoginItems items(installed, folder);
    ASSERT_EQ(items.legacyEntryPath(), folder + QStringLiteral("/glidra.desktop"));
    const auto writeLegacy = [&](const QString& program) {
        QFile file(items.legacyEntryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(XdgAutostartLoginItems::desktopEntry(program));
    };

    // A build folder's glidra: another file, so not this program.
    const QString buildFolder = test::temporaryHome() + QStringLiteral("/src/glidra/build");
    QDir().mkpath(buildFolder);
    QFile copy(buildFolder + QStringLiteral("/glidra"));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write("#!/bin/sh\n");
    copy.close();
    ASSERT_TRUE(copy.setPermissions(copy.permissions() | QFileDevice::ExeOwner));
    writeLegacy(buildFolder + QStringLiteral("/glidra"));
    LoginItemController controller(items);
    controller.refresh();
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_EQ(controller.message(), offText);

    // Switching it on writes the entry for the installed program and drops
    // the old one, which would start the build folder's copy as well.
    controller.toggle();
    EXPECT_TRUE(controller.isRegistered());
    EXPECT_TRUE(readFile(items.entryPath()).contains("\nExec=\"" + installed.toUtf8() + "\"\n"));
    EXPECT_FALSE(QFile::exists(items.legacyEntryPath()));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral(GLIDRA_APP_ID ".desktop")});

    // An old entry that does run this program is a registration, and
    // switching off removes it along with the new one.
    ASSERT_TRUE(QFile::remove(items.entryPath()));
    writeLegacy(installed);
    controller.refresh();
    EXPECT_TRUE(controller.isRegistered());
    EXPECT_EQ(controller.message(), onText);
    ASSERT_TRUE(QFile::copy(items.legacyEntryPath(), items.entryPath()));
    controller.toggle();
    EXPECT_FALSE(controller.isRegistered());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TEST(XdgAutostartLoginItems, QuotesTheExecutableForTheExecLine) {
    EXPECT_EQ(XdgAutostartLoginItems::execArgument(QStringLiteral("/usr/bin/glidra")),
              QStringLiteral("\"/usr/bin/glidra\""));
    // Quote-level escapes for " $ ` \, "%%" for a percent sign, then every
    // backslash doubled once more for the string value.
    const QString awkward = QStringLiteral(R"(/opt/My Apps/g"l$i`d%ra\x)");
    EXPECT_EQ(XdgAutostartLoginItems::execArgument(awkward),
              QStringLiteral(R"("/opt/My Apps/g\\"l\\$i\\`d%%ra\\\\x")"));
    // And it reads back as the program it names.
    EXPECT_EQ(
        XdgAutostartLoginItems::execProgram(XdgAutostartLoginItems::execArgument(awkward) + QStringLiteral(" %U")),
        awkward);
    EXPECT_EQ(XdgAutostartLoginItems::execProgram(QStringLiteral(R"("/opt/My\sApps/glidra" --x)")),
              QStringLiteral("/opt/My Apps/glidra"));
}

}  // namespace
}  // namespace glidra
