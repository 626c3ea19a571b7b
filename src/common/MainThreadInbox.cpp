#include "common/MainThreadInbox.h"

#include <QMetaObject>

#include <utility>

namespace glidra {

MainThreadInbox& MainThreadInbox::shared() {
    static MainThreadInbox inbox;
    return inbox;
}

void MainThreadInbox::post(const void* owner, std::function<void()> work) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        work_.push_back({owner, std::move(work)});
        wake = !std::exchange(wakeQueued_, true);
    }
    // By name: the call carries nothing of ours from this thread.
    if (wake) QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
}

void MainThreadInbox::dropWorkOf(const void* owner) {
    std::deque<Work> dropped;
    {
        const std::lock_guard lock(mutex_);
        for (auto it = work_.begin(); it != work_.end();) {
            if (it->owner == owner) {
                dropped.push_back(std::move(*it));
                it = work_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Destroyed outside the lock: a capture's destructor may post again.
}

void MainThreadInbox::drain() {
    std::size_t count = 0;
    {
        const std::lock_guard lock(mutex_);
        count = work_.size();
        wakeQueued_ = false;
    }
    // What arrives meanwhile waits for the next wake-up.
    for (; count > 0; --count) {
        std::function<void()> run;
        {
            const std::lock_guard lock(mutex_);
            if (work_.empty()) return;
            run = std::move(work_.front().run);
            work_.pop_front();
        }
        run();
    }
}

}  // namespace glidra
