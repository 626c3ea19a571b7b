#include "support/SpawnedProcess.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace glidra::test {

namespace {

// argv or envp for posix_spawn: pointers into `storage`, ending in null.
std::vector<char*> pointersInto(QList<QByteArray>& storage) {
    std::vector<char*> pointers;
    for (QByteArray& entry : storage) pointers.push_back(entry.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the program with input from /dev/null, output to `outputFd` and
// errors to `errorFd`, and no other descriptor of the test's.
std::optional<pid_t> spawnWith(const QByteArray& program, const QList<QByteArray>& arguments,
                               QList<QByteArray> environment, int outputFd, int errorFd) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&files, outputFd, 1);
    posix_spawn_file_actions_adddup2(&files, errorFd, 2);
    posix_spawn_file_actions_addclosefrom_np(&files, 3);
    QList<QByteArray> argv{program};
    argv += arguments;
    std::vector<char*> argPointers = pointersInto(argv);
    std::vector<char*> envPointers = pointersInto(environment);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, program.constData(), &files, nullptr, argPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&files);
    if (failed != 0) return std::nullopt;
    return pid;
}

// Polls for the end of `pid` for up to `milliseconds`.
std::optional<int> reap(pid_t pid, int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid) return status;
        if (ended < 0 || waited.elapsed() >= milliseconds) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

QByteArray contentOf(int fd) {
    QByteArray content;
    if (fd < 0) return content;
    char buffer[4096];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, at);
        if (got <= 0) return content;
        content.append(buffer, got);
        at += got;
    }
}

// Reads what arrives on `fd` until `done` says so, the writer closes it or
// the time is up.
template <typename Done>
void readUntil(int fd, QByteArray& into, const QElapsedTimer& since, int milliseconds, Done done) {
    while (!done(into) && since.elapsed() < milliseconds) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, 20) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) return;
        into.append(buffer, got);
    }
}

}  // namespace

SpawnedProcess::~SpawnedProcess() {
    stop();
    if (output_ >= 0) ::close(output_);
    if (log_ >= 0) ::close(log_);
}

bool SpawnedProcess::spawn(const QByteArray& program, const QList<QByteArray>& arguments, QList<QByteArray> environment,
                           int outputFd) {
    if (log_ < 0) log_ = ::memfd_create("spawned-process-log", MFD_CLOEXEC);
    if (log_ < 0) return false;
    const std::optional<pid_t> pid =
        spawnWith(program, arguments, std::move(environment), outputFd >= 0 ? outputFd : log_, log_);
    if (!pid) return false;
    pid_ = *pid;
    status_.reset();
    return true;
}

bool SpawnedProcess::start(const QByteArray& program, const QList<QByteArray>& arguments,
                           const QList<QByteArray>& environment) {
    return spawn(program, arguments, environment, -1);
}

std::optional<QByteArray> SpawnedProcess::startAndReadLine(const QByteArray& program,
                                                           const QList<QByteArray>& arguments,
                                                           const QList<QByteArray>& environment, int milliseconds) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
    const bool started = spawn(program, arguments, environment, pipeEnds[1]);
    ::close(pipeEnds[1]);
    if (!started) {
        ::close(pipeEnds[0]);
        return std::nullopt;
    }
    output_ = pipeEnds[0];
    QByteArray printed;
    QElapsedTimer waited;
    waited.start();
    readUntil(output_, printed, waited, milliseconds, [](const QByteArray& text) { return text.contains('\n'); });
    if (!printed.contains('\n')) return std::nullopt;
    return printed.left(printed.indexOf('\n')).trimmed();
}

bool SpawnedProcess::isRunning() { return pid_ > 0 && !waitForExit(0); }

std::optional<int> SpawnedProcess::waitForExit(int milliseconds) {
    if (status_ || pid_ <= 0) return status_;
    status_ = reap(pid_, milliseconds);
    return status_;
}

std::optional<int> SpawnedProcess::stop(int milliseconds) {
    if (pid_ <= 0 || status_) return status_;
    ::kill(pid_, SIGTERM);
    if (waitForExit(milliseconds)) return status_;
    ::kill(pid_, SIGKILL);
    return waitForExit(milliseconds);
}

QByteArray SpawnedProcess::log() const { return contentOf(log_); }

QList<QByteArray> testEnvironment(const QList<QByteArray>& changes) {
    QList<QByteArray> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const QByteArray variable(*entry);
        const QByteArray name = variable.left(variable.indexOf('=') + 1);
        const bool changed = std::any_of(changes.begin(), changes.end(),
                                         [&](const QByteArray& change) { return change.startsWith(name); });
        if (!changed) environment.append(variable);
    }
    return environment + changes;
}

std::optional<FinishedProgram> runToEnd(const QByteArray& program, const QList<QByteArray>& arguments,
                                        const QList<QByteArray>& changes, int milliseconds) {
    const int log = ::memfd_create("program-log", MFD_CLOEXEC);
    int pipeEnds[2];
    if (log < 0 || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        if (log >= 0) ::close(log);
        return std::nullopt;
    }
    const std::optional<pid_t> pid = spawnWith(program, arguments, testEnvironment(changes), pipeEnds[1], log);
    ::close(pipeEnds[1]);
    FinishedProgram finished;
    QElapsedTimer waited;
    waited.start();
    if (pid) readUntil(pipeEnds[0], finished.output, waited, milliseconds, [](const QByteArray&) { return false; });
    ::close(pipeEnds[0]);
    std::optional<int> status;
    if (pid) {
        status = reap(*pid, int(std::max<qint64>(0, milliseconds - waited.elapsed())));
        if (!status) {
            ::kill(*pid, SIGKILL);
            reap(*pid, 1000);
        }
    }
    finished.log = contentOf(log);
    ::close(log);
    if (!status || !WIFEXITED(*status)) return std::nullopt;
    finished.exitCode = WEXITSTATUS(*status);
    return finished;
}

}  // namespace glidra::test
