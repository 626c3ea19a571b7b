#pragma once

#include "platform/Cancellation.h"

#include <QCoro/QCoroTask>
#include <QUuid>

#include <functional>
#include <map>
#include <memory>

namespace glidra {

// The bound actions that are running, so that a gesture-state reset can
// cancel all of them at once. Main thread only.
//
// Each operation starts from the event loop, never inside run(): a cancelAll()
// in the same turn keeps it from starting at all. Cancellation is
// cooperative: a running operation notices through its token (or, in the
// controller, through the generation and action epoch it captured).
class GestureActionTasks {
public:
    using Operation = std::function<QCoro::Task<void>(CancellationToken)>;

    GestureActionTasks();

    void run(Operation operation);
    void cancelAll();

    // For tests and diagnostics only; the program never looks tasks up.
    std::size_t runningCount() const { return state_->tasks.size(); }

private:
    struct State {
        std::map<QUuid, CancellationSource> tasks;
    };

    static void start(std::weak_ptr<State> registry, QUuid id, CancellationSource source, Operation operation);
    static QCoro::Task<void> body(std::weak_ptr<State> registry, QUuid id, CancellationToken token,
                                  Operation operation);

    // Tasks hold the registry weakly: a running task never keeps it alive.
    std::shared_ptr<State> state_;
};

}  // namespace glidra
