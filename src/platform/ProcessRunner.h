#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace glidra {

// Starts child processes.
class ProcessRunner {
public:
    struct Command {
        QString program;  // an absolute path
        QStringList arguments;
        // Standard output is appended to this file, or discarded when there
        // is none. Standard input and error are always the null device.
        std::optional<QString> standardOutputFile;

        friend bool operator==(const Command&, const Command&) = default;
    };

    // One child that was started.
    class Process {
    public:
        // Destroying a process drops its finished handler; a child still
        // running is killed.
        virtual ~Process() = default;
        virtual bool isRunning() const = 0;
        // SIGTERM: asks the child to end.
        virtual void terminate() = 0;
        // SIGKILL: ends a child that ignores SIGTERM.
        virtual void kill() = 0;
    };

    // The exit status of a child that exited; a child ended by a signal
    // reports crashedStatus (the signal's number is not known).
    static constexpr int crashedStatus = 128;

    // Called on the main thread from the event loop, once, when the child
    // has ended.
    using Finished = std::function<void(int status)>;

    virtual ~ProcessRunner() = default;

    // The child, or the system's reason why it could not be started.
    struct Started {
        std::unique_ptr<Process> process;
        QString error;
    };
    virtual Started start(Command command, Finished finished) = 0;
};

}  // namespace glidra
