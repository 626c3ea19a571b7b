#include "common/MainThreadInbox.h"

#include "platform/LogCategories.h"

#include <QEvent>
#include <QMetaObject>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <utility>

#include <sys/eventfd.h>
#include <unistd.h>

namespace glidra {
namespace {

// Takes the wake-up straight from the event, without the two signals a
// notifier emits for each one: this runs for every frame.
class WakeUpNotifier final : public QSocketNotifier {
public:
    WakeUpNotifier(int fd, std::function<void()> wokenUp, QObject* parent)
        : QSocketNotifier(fd, QSocketNotifier::Read, parent), wokenUp_(std::move(wokenUp)) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::SockAct) return QSocketNotifier::event(event);
        wokenUp_();
        return true;
    }

private:
    std::function<void()> wokenUp_;
};

}  // namespace

MainThreadInbox& MainThreadInbox::shared() {
    static MainThreadInbox inbox;
    return inbox;
}

MainThreadInbox::MainThreadInbox() : ring_(8) {
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        qCCritical(lcInput) << "cannot make the wake-up for input from the device threads:" << std::strerror(errno)
                            << "; every wake-up takes a queued call instead";
        return;
    }
    notifier_ = new WakeUpNotifier(
        wakeFd_, [this] { wokenUp(); }, this);
}

MainThreadInbox::~MainThreadInbox() {
    delete notifier_;
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

MainThreadInbox::Entry& MainThreadInbox::appendLocked() {
    if (count_ == ring_.size()) {
        // Further behind than ever: twice the slots, oldest first, each
        // keeping its storage.
        std::vector<Entry> grown(ring_.size() * 2);
        for (std::size_t i = 0; i < count_; ++i) grown[i] = std::move(ring_[(head_ + i) % ring_.size()]);
        ring_.swap(grown);
        head_ = 0;
    }
    return ring_[(head_ + count_++) % ring_.size()];
}

void MainThreadInbox::wake() {
    if (wakeFd_ >= 0) {
        [[maybe_unused]] const int written = ::eventfd_write(wakeFd_, 1);
        return;
    }
    // By name: the call carries nothing of ours from this thread.
    QMetaObject::invokeMethod(this, "wokenUp", Qt::QueuedConnection);
}

void MainThreadInbox::postFrame(FrameReceiver receiver, std::uint64_t context, quintptr device,
                                const TouchPoint* points, std::int32_t count, double timestamp) {
    bool wakeUp = false;
    {
        const std::lock_guard lock(mutex_);
        Entry& entry = appendLocked();
        entry.receiver = receiver;
        entry.frame.context = context;
        entry.frame.device = device;
        if (points != nullptr && count > 0) {
            entry.frame.contacts.assign(points, points + count);
        } else {
            entry.frame.contacts.clear();
        }
        entry.frame.timestamp = timestamp;
        wakeUp = !std::exchange(woken_, true);
    }
    if (wakeUp) wake();
}

void MainThreadInbox::post(const void* owner, std::function<void()> work) {
    bool wakeUp = false;
    {
        const std::lock_guard lock(mutex_);
        Entry& entry = appendLocked();
        entry.receiver = nullptr;
        entry.owner = owner;
        entry.work = std::move(work);
        wakeUp = !std::exchange(woken_, true);
    }
    if (wakeUp) wake();
}

void MainThreadInbox::dropWorkOf(const void* owner) {
    std::vector<std::function<void()>> dropped;
    {
        const std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < count_; ++i) {
            Entry& entry = ring_[(head_ + i) % ring_.size()];
            if (entry.receiver != nullptr || entry.owner != owner || !entry.work) continue;
            // Left in the queue, empty: the drain passes over it.
            dropped.push_back(std::exchange(entry.work, nullptr));
        }
    }
    // Destroyed outside the lock: a capture's destructor may post again.
}

std::size_t MainThreadInbox::drain() {
    std::size_t round = 0;
    {
        const std::lock_guard lock(mutex_);
        round = count_;
    }
    return run(round);
}

void MainThreadInbox::wokenUp() {
    // Read before the queue is looked at: a post after this wakes again.
    if (wakeFd_ >= 0) {
        eventfd_t wakeUps = 0;
        [[maybe_unused]] const int got = ::eventfd_read(wakeFd_, &wakeUps);
    }
    std::size_t round = 0;
    {
        const std::lock_guard lock(mutex_);
        woken_ = false;
        round = count_;
    }
    run(round);
}

std::size_t MainThreadInbox::run(std::size_t round) {
    std::size_t ran = 0;
    for (; ran < round; ++ran) {
        FrameReceiver receiver = nullptr;
        std::function<void()> work;
        {
            const std::lock_guard lock(mutex_);
            if (count_ == 0) return ran;
            Entry& entry = ring_[head_];
            receiver = std::exchange(entry.receiver, nullptr);
            if (receiver != nullptr) {
                // Copied, not swapped: a swap would pass a one-finger slot's
                // small storage on to a slot that next holds three fingers.
                delivering_.context = entry.frame.context;
                delivering_.device = entry.frame.device;
                delivering_.contacts.assign(entry.frame.contacts.begin(), entry.frame.contacts.end());
                delivering_.timestamp = entry.frame.timestamp;
            } else {
                work = std::exchange(entry.work, nullptr);
            }
            entry.owner = nullptr;
            // An emptied queue starts again at its first slot, whose storage
            // is then the one in use.
            head_ = --count_ == 0 ? 0 : (head_ + 1) % ring_.size();
        }
        if (receiver != nullptr) {
            receiver(delivering_);
        } else if (work) {
            work();
        }
    }
    return ran;
}

}  // namespace glidra
