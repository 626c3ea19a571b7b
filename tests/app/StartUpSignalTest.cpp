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
#include <optional>
#include <thread>
#include <vector>

namespace glidra {
namespace {

// The program refuses root: as root the test runs it as nobody.
constexpr uid_t kNobody = 65534;

// One line of /proc/<pid>/status, such as "SigBlk", as its bit mask.
std::optional<std::uint64_t> signalMask(pid_t pid, const char* field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith(prefix)) continue;
        bool ok = false;
        const std::uint64_t mask = line.mid(prefix.size()).trimmed().toULongLong(&ok, 16);
        if (ok) return mask;
    }
    return std::nullopt;
}

bool hasSignal(std::optional<std::uint64_t> mask, int signal) {
    return mask && (*mask & (std::uint64_t(1) << (signal - 1))) != 0;
}

class StartUpSignalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        home = folder.filePath(QStringLiteral("home"));
        runtime = folder.filePath(QStringLiteral("run"));
        settings = home + QStringLiteral("/.config/Glidra/settings.json");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
        ASSERT_TRUE(QDir().mkpath(runtime));
        const QByteArray remembered = R"({"restoreEnabled": {"bool": true}})";
        {
            QFile file(settings);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(remembered);
        }
        for (const QString& path :
             {folder.path(), home, home + QStringLiteral("/.config"), QFileInfo(settings).path(), settings, runtime}) {
            if (asRoot) {
                ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
            }
        }
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
    }

    void TearDown() override {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }

    // Starts the program; with `pendingTerm` a SIGTERM waits, blocked, from
    // before its first line and arrives the moment the program lets it
    // through.
    void launch(bool pendingTerm) {
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

        child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            sigset_t term;
            sigemptyset(&term);
            sigaddset(&term, SIGTERM);
            // The test process may block it on some thread; the program
            // starts as a desktop would start it, with nothing blocked.
            ::sigprocmask(pendingTerm ? SIG_BLOCK : SIG_UNBLOCK, &term, nullptr);
            if (pendingTerm) ::kill(::getpid(), SIGTERM);
            if (asRoot && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
                ::_exit(126);
            }
            ::execve(argv[0], argv, envp.data());
            ::_exit(127);
        }
    }

    // Waits for the program to end; its wait status.
    std::optional<int> ended() {
        int status = 0;
        QElapsedTimer waited;
        waited.start();
        pid_t done = 0;
        // Only a program that never ends waits this long.
        while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && waited.elapsed() < 60000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (done == 0) return std::nullopt;
        child = 0;
        return status;
    }

    void expectOrderlyEnd() {
        const auto status = ended();
        ASSERT_TRUE(status) << "the program went on running";
        ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << (WIFSIGNALED(*status) ? WTERMSIG(*status) : 0);
        EXPECT_EQ(WEXITSTATUS(*status), 0);

        // Quitting is no switch by the user: the next launch resumes control.
        QFile file(settings);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
        const QJsonObject expected{{QStringLiteral("bool"), true}};
        EXPECT_EQ(stored.value(QStringLiteral("restoreEnabled")).toObject(), expected);
    }

    // Polls the program's main thread until `ready` holds of it, as closely
    // as the scheduler lets a reader of /proc follow; false when it ended or
    // took too long.
    template <typename Ready>
    bool waitUntil(Ready ready) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            if (ready()) return true;
            if (::waitpid(child, nullptr, WNOHANG) != 0) {
                child = 0;
                return false;
            }
        }
        return false;
    }

    QTemporaryDir folder;
    QString home;
    QString runtime;
    QString settings;
    const bool asRoot = ::geteuid() == 0;
    pid_t child = 0;
};

TEST_F(StartUpSignalTest, LogoutBeforeTheShellExistsEndsStartUpWithStatusZeroAndControlRemembered) {
    launch(true);
    expectOrderlyEnd();
}

TEST_F(StartUpSignalTest, ASignalRightAfterTheFirstLineWaitsForTheHandlerAndEndsStartUpWithStatusZero) {
    launch(false);
    // The program holds the session's signals back from its first line...
    bool beforeHandler = false;
    ASSERT_TRUE(waitUntil([&] {
        const auto blocked = signalMask(child, "SigBlk");
        if (!hasSignal(blocked, SIGTERM)) return false;
        // ...and the handler is not there yet: the signal comes in between.
        beforeHandler = !hasSignal(signalMask(child, "SigCgt"), SIGTERM);
        ::kill(child, SIGTERM);
        return true;
    })) << "the program never held SIGTERM back";
    expectOrderlyEnd();
    if (!beforeHandler) GTEST_SKIP() << "the handler was in place before the signal could be sent";
}

TEST_F(StartUpSignalTest, OnceTheHandlerIsInPlaceNothingStaysBlockedForWhatTheProgramStarts) {
    launch(false);
    // A program started from the main thread inherits its mask.
    EXPECT_TRUE(waitUntil([&] {
        const auto caught = signalMask(child, "SigCgt");
        const auto blocked = signalMask(child, "SigBlk");
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            if (!hasSignal(caught, signal) || !blocked || hasSignal(blocked, signal)) return false;
        }
        return true;
    })) << "the handler never took the signals, or they stayed blocked";
    ::kill(child, SIGTERM);
    expectOrderlyEnd();
}

}  // namespace
}  // namespace glidra
