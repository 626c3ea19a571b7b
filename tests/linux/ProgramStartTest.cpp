// The program's first moments, as a user meets them from a terminal: started
// as root, or where there is no graphical session, it says why in one line
// and ends with status 1, never with Qt's abort.

#include "platform/linux/GraphicalSession.h"
#include "platform/linux/XcbConnection.h"
#include "support/PrivateXServer.h"
#include "support/QtPrinters.h"
#include "support/SpawnedProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

namespace glidra::test {
namespace {

using linux_platform::DisplayEnvironment;
using linux_platform::missingGraphicalSession;

// A display no X server serves here.
QByteArray unservedDisplay() {
    for (int number = 139; number >= 130; --number) {
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) return ":" + QByteArray::number(number);
    }
    return {};
}

TEST(GraphicalSession, OnlyADisplayThatAnswersLetsQtOpenTheWindows) {
    PrivateXServer x;
    ASSERT_TRUE(x.isRunning()) << x.failure().toStdString();
    const QByteArray served = x.display().toUtf8();
    // An X server resets when its last client leaves, and refuses
    // connections meanwhile; a desktop always has one.
    const linux_platform::XcbConnection client(served);
    ASSERT_TRUE(client.isConnected());
    const QByteArray unserved = unservedDisplay();
    ASSERT_FALSE(unserved.isEmpty());

    const QString noDisplay = QStringLiteral(
        "Glidra needs a graphical session, and this one has no display (DISPLAY and WAYLAND_DISPLAY are not set): "
        "start it from the desktop's menu, or from a terminal in the desktop.");
    struct Case {
        DisplayEnvironment environment;
        std::optional<QString> missing;
    };
    const Case cases[] = {
        {{"", "", ""}, noDisplay},
        // An X display chosen by hand needs DISPLAY, Wayland or not.
        {{"xcb", "", "wayland-0"}, noDisplay},
        {{"", unserved, ""},
         QStringLiteral("Glidra needs a graphical session, and cannot connect to the X display %1 (no X server "
                        "answers there).")
             .arg(QString::fromLatin1(unserved))},
        {{"", served, ""}, std::nullopt},
        {{"xcb:nomitshm", served, ""}, std::nullopt},
        // Left to choose, Qt may take the Wayland display.
        {{"", "", "wayland-0"}, std::nullopt},
        // Another plugin answers for itself.
        {{"offscreen", "", ""}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(("QT_QPA_PLATFORM=" + c.environment.platform + " DISPLAY=" + c.environment.x11Display +
                      " WAYLAND_DISPLAY=" + c.environment.waylandDisplay)
                         .toStdString());
        EXPECT_EQ(missingGraphicalSession(c.environment), c.missing);
    }
}

// The real glidra, started with exactly the given environment, as nobody when
// `asNobody`; its wait status and what it wrote.
struct Started {
    int status = -1;
    QByteArray log;
};

Started startGlidra(const QList<QByteArray>& environment, bool asNobody) {
    SpawnedProcess program;
    QList<QByteArray> arguments;
    if (asNobody) arguments = {"--reuid=65534", "--regid=65534", "--clear-groups"};
    arguments += {"--", GLIDRA_APPLICATION};
    if (!program.start("setpriv", arguments, environment)) return {};
    const std::optional<int> status = program.waitForExit(20'000);
    if (!status) program.stop();
    return {status.value_or(-1), program.log()};
}

class ProgramStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
            GTEST_SKIP() << "setpriv is not installed (Debian package util-linux)";
        }
        ASSERT_TRUE(home_.isValid());
        ::chmod(QFile::encodeName(home_.path()).constData(), 0777);
    }

    QList<QByteArray> environment(const QList<QByteArray>& more) const {
        const QByteArray home = QFile::encodeName(home_.path());
        QList<QByteArray> all{"HOME=" + home, "PATH=/usr/bin:/bin", "LANG=C.UTF-8", "XDG_RUNTIME_DIR=" + home,
                              "XDG_CONFIG_HOME=" + home + "/.config"};
        return all + more;
    }

    QTemporaryDir home_;
};

TEST_F(ProgramStartTest, WithoutAGraphicalSessionItSaysSoInOneLineAndEndsWithStatusOne) {
    const bool root = ::geteuid() == 0;
    const QByteArray unserved = unservedDisplay();
    ASSERT_FALSE(unserved.isEmpty());
    for (const QList<QByteArray>& display : {QList<QByteArray>{}, QList<QByteArray>{"DISPLAY=" + unserved}}) {
        SCOPED_TRACE(display.isEmpty() ? "no display" : display.first().toStdString());
        const Started started = startGlidra(environment(display), root);
        ASSERT_TRUE(WIFEXITED(started.status)) << "wait status " << started.status << "\n" << started.log.toStdString();
        EXPECT_EQ(WEXITSTATUS(started.status), 1);
        const QList<QByteArray> lines = started.log.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 1) << started.log.toStdString();
        EXPECT_TRUE(lines[0].startsWith("Glidra needs a graphical session, ")) << lines[0].toStdString();
    }
}

TEST_F(ProgramStartTest, AsRootItSaysToStartItFromTheDesktopOrAsTheUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "the test does not run as root";
    PrivateXServer x;
    ASSERT_TRUE(x.isRunning()) << x.failure().toStdString();
    const Started started = startGlidra(environment({"DISPLAY=" + x.display().toUtf8()}), false);
    ASSERT_TRUE(WIFEXITED(started.status)) << "wait status " << started.status;
    EXPECT_EQ(WEXITSTATUS(started.status), 1);
    EXPECT_EQ(started.log,
              "Glidra runs as the desktop user, not as root: start it from the desktop's menu, or as your own "
              "user.\n");
}

}  // namespace
}  // namespace glidra::test
