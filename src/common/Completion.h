#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <coroutine>
#include <memory>
#include <optional>

namespace glidra {

// A value that a callback delivers later and one coroutine awaits:
//
//   Completion<int> exited;
//   process.onFinished([exited](int status) { exited.resolve(status); });
//   const int status = co_await exited;
//
// Copies share the value. The first resolve() wins; later ones are ignored,
// so a caller is resumed exactly once. The waiter resumes from the event
// loop, never inside resolve(), so whoever resolves has finished its own
// work (and may be destroyed by the waiter) before the waiter runs. Main
// thread only.
template <typename T>
class Completion {
public:
    Completion() : state_(std::make_shared<State>()) {}

    void resolve(T value) const {
        if (state_->value) return;
        state_->value = std::move(value);
        if (!state_->waiter) return;
        std::shared_ptr<State> state = state_;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [state] {
                if (auto waiter = std::exchange(state->waiter, nullptr)) waiter.resume();
            },
            Qt::QueuedConnection);
    }

    bool isResolved() const { return state_->value.has_value(); }

    bool await_ready() const { return state_->value.has_value(); }
    void await_suspend(std::coroutine_handle<> handle) const { state_->waiter = handle; }
    T await_resume() const { return *state_->value; }

private:
    struct State {
        std::optional<T> value;
        std::coroutine_handle<> waiter;
    };
    std::shared_ptr<State> state_;
};

}  // namespace glidra
