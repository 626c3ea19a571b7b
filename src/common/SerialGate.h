#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <coroutine>
#include <deque>
#include <memory>

namespace glidra {

// Lets asynchronous requests through one at a time, in the order they came,
// the way a serial queue serves its work:
//
//   auto turn = co_await gate.enter();
//   ... awaits of its own ...
//   // the next request enters when `turn` is destroyed
//
// A waiting request resumes from the event loop. Main thread only.
class SerialGate {
    struct State {
        bool busy = false;
        std::deque<std::coroutine_handle<>> waiting;
    };

public:
    // Holds the gate until it is destroyed.
    class Turn {
    public:
        explicit Turn(std::shared_ptr<State> state) : state_(std::move(state)) {}
        Turn(Turn&& other) noexcept = default;
        Turn& operator=(Turn&&) = delete;
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        ~Turn() {
            if (!state_) return;
            if (state_->waiting.empty()) {
                state_->busy = false;
                return;
            }
            // The gate stays busy: it passes straight to the next request.
            const auto next = state_->waiting.front();
            state_->waiting.pop_front();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [next] { next.resume(); }, Qt::QueuedConnection);
        }

    private:
        std::shared_ptr<State> state_;
    };

    class Entry {
    public:
        explicit Entry(std::shared_ptr<State> state) : state_(std::move(state)) {}
        bool await_ready() const {
            if (state_->busy) return false;
            state_->busy = true;
            return true;
        }
        void await_suspend(std::coroutine_handle<> handle) const { state_->waiting.push_back(handle); }
        Turn await_resume() const { return Turn(state_); }

    private:
        std::shared_ptr<State> state_;
    };

    Entry enter() { return Entry(state_); }
    bool isBusy() const { return state_->busy; }

private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace glidra
