#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace glidra {

// Work handed to the main thread from the threads that read devices, run
// there in the order it was posted. The work itself passes under a
// std::mutex, which a race checker sees; a queued call by name only wakes
// the main thread. (A queued functor would hand its captures over through
// Qt's queue of posted events and its reference counts, which a race checker
// cannot see into in a Qt built without it.) One inbox for all such work
// keeps, say, a touchpad's frames and its button presses in their order.
class MainThreadInbox final : public QObject {
    Q_OBJECT

public:
    // The program's inbox, made on first use: ask for it on the main thread
    // before any other thread posts.
    static MainThreadInbox& shared();

    // Any thread. `owner` (may be null) names who the work is for, so that
    // it can be dropped with dropWorkOf() when the owner goes.
    void post(const void* owner, std::function<void()> work);
    // Main thread: forgets what was posted for `owner` and has not run yet.
    void dropWorkOf(const void* owner);

    // Main thread: runs what was posted so far, one piece after another, so
    // that work dropped by an earlier piece does not run. Also what the
    // wake-up calls.
    Q_INVOKABLE void drain();

private:
    MainThreadInbox() = default;

    struct Work {
        const void* owner;
        std::function<void()> run;
    };
    std::mutex mutex_;
    std::deque<Work> work_;    // guarded
    bool wakeQueued_ = false;  // guarded
};

}  // namespace glidra
