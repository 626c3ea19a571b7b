#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

#include <optional>

namespace glidra::test {

// A program of the test's own, started through the C library's posix_spawn
// rather than QProcess. QProcess starts programs with a vfork, which
// ThreadSanitizer (GCC 12) handles as a fork in the child's shared memory:
// from then on it sees no lock the starting thread takes and reports races
// that are none, and it ends the run at the next thread a multi-threaded
// test starts. The C library's own spawn is no call it intercepts.
//
// The program's standard error (and its output, unless read) goes to a log
// of its own, never to the test's: a program that outlives a crashed test
// holds no pipe of the test runner open.
class SpawnedProcess {
public:
    SpawnedProcess() = default;
    // Stops the program when it still runs.
    ~SpawnedProcess();

    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    // Starts `program` (looked up in PATH) with exactly `environment`
    // (NAME=VALUE each) and its input from /dev/null. False when it could not
    // be started.
    bool start(const QByteArray& program, const QList<QByteArray>& arguments, const QList<QByteArray>& environment);
    // Starts it with its standard output on a pipe and gives the first line
    // it prints, trimmed; nothing when it did not start or printed no line
    // within `milliseconds`. The pipe stays open while it runs.
    std::optional<QByteArray> startAndReadLine(const QByteArray& program, const QList<QByteArray>& arguments,
                                               const QList<QByteArray>& environment, int milliseconds);

    pid_t pid() const { return pid_; }
    bool isRunning();
    // Waits up to `milliseconds` for the program to end; its wait status, or
    // nothing when it still runs.
    std::optional<int> waitForExit(int milliseconds);
    // Asks the program to end (SIGTERM) and kills it when it does not within
    // `milliseconds`; its wait status.
    std::optional<int> stop(int milliseconds = 5000);
    // What the program wrote to its log so far.
    QByteArray log() const;

private:
    bool spawn(const QByteArray& program, const QList<QByteArray>& arguments, QList<QByteArray> environment,
               int outputFd);

    pid_t pid_ = -1;
    std::optional<int> status_;
    int log_ = -1;
    int output_ = -1;
};

// The test's own environment with `changes` (NAME=VALUE each) put in; an
// empty value keeps the variable, empty.
QList<QByteArray> testEnvironment(const QList<QByteArray>& changes = {});

struct FinishedProgram {
    int exitCode = -1;
    QByteArray output;  // standard output
    QByteArray log;     // standard error
};

// Runs a program to its end in the test's environment with `changes`; nothing
// when it did not start, was killed or outlasted `milliseconds`.
std::optional<FinishedProgram> runToEnd(const QByteArray& program, const QList<QByteArray>& arguments,
                                        const QList<QByteArray>& changes = {}, int milliseconds = 10000);

}  // namespace glidra::test
