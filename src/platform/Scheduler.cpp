#include "platform/Scheduler.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace glidra {

std::uint64_t CancellationToken::subscribe(std::function<void()> callback) const {
    if (!state_) return 0;
    if (state_->cancelled) {
        callback();
        return 0;
    }
    const auto id = state_->nextId++;
    state_->callbacks.emplace_back(id, std::move(callback));
    return id;
}

void CancellationToken::unsubscribe(std::uint64_t id) const {
    if (!state_ || id == 0) return;
    std::erase_if(state_->callbacks, [id](const auto& entry) { return entry.first == id; });
}

void CancellationSource::cancel() {
    if (state_->cancelled) return;
    state_->cancelled = true;
    auto callbacks = std::move(state_->callbacks);
    state_->callbacks.clear();
    for (auto& [id, callback] : callbacks) callback();
}

void TimerHandle::cancel() {
    if (!state_ || !state_->active) return;
    state_->active = false;
    if (auto onCancel = std::move(state_->onCancel)) onCancel();
}

void SleepAwaiter::await_suspend(std::coroutine_handle<> handle) {
    state_ = std::make_shared<State>();
    state_->handle = handle;
    state_->token = token_;
    std::weak_ptr<State> weak = state_;
    state_->timer = scheduler_.after(seconds_, nullptr, [weak] {
        auto state = weak.lock();
        if (!state || state->resumed) return;
        state->resumed = true;
        state->completed = true;
        state->token.unsubscribe(state->subscription);
        state->handle.resume();
    });
    state_->subscription = token_.subscribe([weak] {
        auto state = weak.lock();
        if (!state || state->resumed) return;
        state->timer.cancel();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [weak] {
                auto state = weak.lock();
                if (!state || state->resumed) return;
                state->resumed = true;
                state->handle.resume();
            },
            Qt::QueuedConnection);
    });
}

}  // namespace glidra
