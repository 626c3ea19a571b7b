#pragma once

#include "platform/Cancellation.h"

#include <QObject>
#include <QPointer>

#include <coroutine>
#include <functional>
#include <memory>

namespace glidra {

namespace platform_detail {
struct TimerState {
    bool active = true;
    std::function<void()> onCancel;  // lets the implementation drop its timer
};
}  // namespace platform_detail

// A scheduled callback. Copies share the timer; an empty handle is inactive.
class TimerHandle {
public:
    TimerHandle() = default;
    explicit TimerHandle(std::shared_ptr<platform_detail::TimerState> state) : state_(std::move(state)) {}

    // After cancel() the callback never runs, even when its deadline is now.
    void cancel();
    bool isActive() const { return state_ && state_->active; }

private:
    std::shared_ptr<platform_detail::TimerState> state_;
};

class Scheduler;

// `co_await scheduler.sleep(seconds, token)` gives true when the time passed
// and false when the token was cancelled first. A cancelled sleep resumes
// from the event loop, never from inside cancel(), so the canceller's own
// state is settled before the sleeper runs again.
class SleepAwaiter {
public:
    SleepAwaiter(Scheduler& scheduler, double seconds, CancellationToken token)
        : scheduler_(scheduler), seconds_(seconds), token_(std::move(token)) {}

    bool await_ready() const { return token_.isCancelled(); }
    void await_suspend(std::coroutine_handle<> handle);
    bool await_resume() const { return state_ && state_->completed; }

private:
    struct State {
        std::coroutine_handle<> handle;
        bool resumed = false;
        bool completed = false;
        TimerHandle timer;
        std::uint64_t subscription = 0;
        CancellationToken token;
    };

    Scheduler& scheduler_;
    double seconds_;
    CancellationToken token_;
    std::shared_ptr<State> state_;
};

// The only source of delays. The real scheduler runs on Qt's event loop; the
// sim scheduler runs on a manual clock that tests advance.
class Scheduler {
public:
    virtual ~Scheduler() = default;

    // Calls `callback` on the main thread once `seconds` have passed, unless
    // the handle is cancelled first or `context` (when given) is destroyed.
    virtual TimerHandle after(double seconds, QObject* context, std::function<void()> callback) = 0;

    SleepAwaiter sleep(double seconds, CancellationToken token = {}) {
        return SleepAwaiter(*this, seconds, std::move(token));
    }
};

}  // namespace glidra
