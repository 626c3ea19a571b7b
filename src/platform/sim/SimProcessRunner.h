#pragma once

#include "platform/ProcessRunner.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

namespace glidra::sim {

// Children as tests script them: every start is recorded; each child runs
// until the test ends it (or ends by itself when an exit is planned), writes
// its planned output to its output file, and answers SIGTERM by ending with
// crashedStatus unless it ignores SIGTERM. Starting fails on demand.
class SimProcessRunner final : public ProcessRunner {
public:
    struct Child {
        Command command;
        bool running = true;
        int terminations = 0;
        int kills = 0;
        bool ignoresTerminate = false;
        bool abandoned = false;
        Finished finished;
    };

    struct PlannedExit {
        int status = 0;
        QByteArray output;
    };

    // Children still running when the runner goes are killed, so whoever
    // awaits them is told and ends (from the event loop).
    ~SimProcessRunner() override;

    Started start(Command command, Finished finished) override;

    // Later starts fail with this reason.
    void setStartError(std::optional<QString> error) { startError_ = std::move(error); }
    // Later children end by themselves on the next turn of the event loop.
    void planExit(std::optional<PlannedExit> exit) { plannedExit_ = std::move(exit); }
    // Later children survive SIGTERM.
    void setIgnoresTerminate(bool ignores) { ignoresTerminate_ = ignores; }

    const std::vector<std::shared_ptr<Child>>& children() const { return children_; }
    // Child `index` writes `output` and exits with `status`.
    void exit(std::size_t index, int status, const QByteArray& output = {});

private:
    std::optional<QString> startError_;
    std::optional<PlannedExit> plannedExit_;
    bool ignoresTerminate_ = false;
    std::vector<std::shared_ptr<Child>> children_;
};

}  // namespace glidra::sim
