// The real program, ended by a signal that arrives before its shell exists.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

namespace glidra {
namespace {

// The program refuses root: as root the test runs it as nobody.
constexpr uid_t kNobody = 65534;

TEST(StartUpSignalTest, LogoutBeforeTheShellExistsEndsStartUpWithStatusZeroAndControlRemembered) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString home = folder.filePath(QStringLiteral("home"));
    const QString runtime = folder.filePath(QStringLiteral("run"));
    const QString settings = home + QStringLiteral("/.config/Glidra/settings.json");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    ASSERT_TRUE(QDir().mkpath(runtime));
    const QByteArray remembered = R"({"restoreEnabled": {"bool": true}})";
    {
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(remembered);
    }
    const bool asRoot = ::geteuid() == 0;
    for (const QString& path :
         {folder.path(), home, home + QStringLiteral("/.config"), QFileInfo(settings).path(), settings, runtime}) {
        if (asRoot) {
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
        }
    }
    ::chmod(QFile::encodeName(runtime).constData(), 0700);

    // No display, no session bus, no sound server: nothing of the machine's.
    std::vector<QByteArray> environment{
        "HOME=" + QFile::encodeName(home),
        "XDG_CONFIG_HOME=" + QFile::encodeName(home) + "/.config",
        "XDG_STATE_HOME=" + QFile::encodeName(home) + "/.local/state",
        "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime),
        "QT_QPA_PLATFORM=offscreen",
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + QFile::encodeName(runtime) + "/no-bus",
        "PULSE_SERVER=unix:" + QFile::encodeName(runtime) + "/no-pulse",
        "PATH=/usr/bin:/bin",
    };
    // A sanitizer build keeps its options (suppressions, leak checking).
    for (const char* variable : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
        if (qEnvironmentVariableIsSet(variable)) environment.push_back(variable + ("=" + qgetenv(variable)));
    }
    std::vector<char*> envp;
    for (QByteArray& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArray program(GLIDRA_APPLICATION);
    char* argv[] = {program.data(), nullptr};

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The signal waits, blocked, from before the program's first line:
        // it arrives the moment the program lets it through.
        sigset_t term;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        ::sigprocmask(SIG_BLOCK, &term, nullptr);
        ::kill(::getpid(), SIGTERM);
        if (asRoot && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(126);
        }
        ::execve(argv[0], argv, envp.data());
        ::_exit(127);
    }

    int status = 0;
    QElapsedTimer waited;
    waited.start();
    pid_t ended = 0;
    // Only a program that never ends waits this long.
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && waited.elapsed() < 60000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the program went on running";
    }
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // Quitting is no switch by the user: the next launch resumes control.
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject expected{{QStringLiteral("bool"), true}};
    EXPECT_EQ(stored.value(QStringLiteral("restoreEnabled")).toObject(), expected);
}

}  // namespace
}  // namespace glidra
