#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace glidra {

// What the command line asks before the program starts. Glidra takes no
// arguments but --help and --version; Qt's own command-line options are not
// taken either (its environment variables serve instead).
struct CommandLineOutcome {
    // The status to end with at once; nothing when the program starts.
    std::optional<int> exitStatus;
    QString output;  // for standard output
    QString error;   // for standard error
};

// `arguments` as the process got them, the program first.
CommandLineOutcome readCommandLine(const QStringList& arguments, const QString& version);

// For main(), before anything else: reads the process's arguments, prints
// what they ask for, and gives the status to end with when the program must
// not start.
std::optional<int> handleCommandLine(int argc, char** argv, const QString& version);

}  // namespace glidra
