#pragma once

#include "gestures/TouchPoint.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace glidra {

// What the threads that read devices hand to the main thread: contact
// frames, and now and then a piece of work (a button press, a failed node).
// Everything runs on the main thread in the order it was posted, so a
// touchpad's frames and its button presses keep their order.
//
// The hand-over passes under a std::mutex and the wake-up is an eventfd,
// both of which a race checker sees; nothing of ours goes through Qt's
// queue of posted events, whose lock a Qt built without the checker hides.
// And nothing is allocated per frame: frames wait in slots that keep their
// contact storage, and the queue grows only when the main thread falls
// further behind than it ever did.
class MainThreadInbox final : public QObject {
    Q_OBJECT

public:
    struct Frame {
        std::uint64_t context = 0;
        quintptr device = 0;
        std::vector<TouchPoint> contacts;
        double timestamp = 0;
    };
    // Runs on the main thread with the frame, which it must not keep.
    using FrameReceiver = void (*)(const Frame& frame);

    // The program's inbox, made on first use: ask for it on the main thread
    // before any other thread posts.
    static MainThreadInbox& shared();

    // Any thread: copies the frame, for `receiver`.
    void postFrame(FrameReceiver receiver, std::uint64_t context, quintptr device, const TouchPoint* points,
                   std::int32_t count, double timestamp);
    // Any thread. `owner` (may be null) names who the work is for, so that
    // it can be dropped with dropWorkOf() when the owner goes.
    void post(const void* owner, std::function<void()> work);
    // Main thread: forgets the work posted for `owner` that has not run yet.
    void dropWorkOf(const void* owner);

    // Main thread: runs what was posted so far, one entry after another, so
    // that work dropped by an earlier entry does not run; what is posted
    // meanwhile waits for the next wake-up. A wake-up already on its way
    // stays on its way and finds the queue empty, so a call between
    // wake-ups makes no system call. Returns how many entries it took.
    std::size_t drain();

private:
    MainThreadInbox();
    ~MainThreadInbox() override;

    struct Entry {
        FrameReceiver receiver = nullptr;  // a frame when set, else work
        Frame frame;
        const void* owner = nullptr;
        std::function<void()> work;
    };
    // Under the lock: the entry to fill, at the queue's end.
    Entry& appendLocked();
    void wake();
    // The wake-up: takes it, then runs what was posted before it.
    Q_INVOKABLE void wokenUp();
    std::size_t run(std::size_t round);

    std::mutex mutex_;
    // Guarded: a ring of `count_` entries from `head_`, and whether a
    // wake-up is on its way.
    std::vector<Entry> ring_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    bool woken_ = false;

    int wakeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    // Main thread: the frame being delivered, copied out of its slot.
    Frame delivering_;
};

}  // namespace glidra
