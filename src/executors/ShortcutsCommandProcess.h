#pragma once

#include "common/Result.h"
#include "platform/ProcessRunner.h"
#include "platform/Scheduler.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

namespace glidra {

// Runs the Shortcuts command-line tool once, with a time-out, optionally
// capturing its standard output through a private temporary file. One
// instance per call. Main thread only.
class ShortcutsCommandProcess {
public:
    struct Outcome {
        // The tool's exit status; -1 when the time-out ended it.
        int status = 0;
        // Its standard output when captured and readable as UTF-8, else empty.
        QString output;

        friend bool operator==(const Outcome&, const Outcome&) = default;
    };

    // Why the tool did not run.
    struct Error {
        enum class Kind { outputFile, launch };
        Kind kind = Kind::launch;
        QString description;

        friend bool operator==(const Error&, const Error&) = default;
    };

    ShortcutsCommandProcess(ProcessRunner& runner, Scheduler& scheduler) : runner_(runner), scheduler_(scheduler) {}

    // `arguments` go to the tool as they are. Fails when the output file
    // cannot be made or the tool cannot be started; the output file is gone
    // when this returns, whatever happened.
    QCoro::Task<Result<Outcome, Error>> execute(QStringList arguments, bool captureOutput, double timeout);

    // The UTF-8 text of at most outputLimit bytes of output: a character cut
    // in two by the limit is dropped, any other invalid byte empties it all.
    static QString decodeOutput(QByteArray bytes, bool truncated);

    static constexpr const char* executable = "/usr/bin/shortcuts";
    static constexpr qint64 outputLimit = 1'048'576;
    // How long a child has after SIGTERM before it is killed.
    static constexpr double killGrace = 2.0;

private:
    ProcessRunner& runner_;
    Scheduler& scheduler_;
};

}  // namespace glidra
