#include "dispatch/GestureActionTasks.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace glidra {

GestureActionTasks::GestureActionTasks() : state_(std::make_shared<State>()) {}

void GestureActionTasks::run(Operation operation) {
    const QUuid id = QUuid::createUuid();
    CancellationSource source;
    state_->tasks.emplace(id, source);
    std::weak_ptr<State> registry = state_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [registry, id, source, operation = std::move(operation)]() mutable {
            start(std::move(registry), id, std::move(source), std::move(operation));
        },
        Qt::QueuedConnection);
}

void GestureActionTasks::start(std::weak_ptr<State> registry, QUuid id, CancellationSource source,
                               Operation operation) {
    if (source.isCancelled()) {
        if (auto state = registry.lock()) state->tasks.erase(id);
        return;
    }
    // Runs on by itself; the coroutine frame frees itself when it finishes.
    auto task = body(std::move(registry), id, source.token(), std::move(operation));
    Q_UNUSED(task);
}

QCoro::Task<void> GestureActionTasks::body(std::weak_ptr<State> registry, QUuid id, CancellationToken token,
                                           Operation operation) {
    co_await operation(token);
    if (auto state = registry.lock()) state->tasks.erase(id);
}

void GestureActionTasks::cancelAll() {
    auto tasks = std::move(state_->tasks);
    state_->tasks.clear();
    for (auto& [id, source] : tasks) source.cancel();
}

}  // namespace glidra
