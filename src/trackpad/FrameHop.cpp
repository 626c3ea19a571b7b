#include "trackpad/FrameHop.h"

#include "trackpad/TrackpadController.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <array>
#include <new>
#include <utility>

namespace glidra {

namespace {

// Event blocks, taken on the framework's thread and given back on the main
// thread once Qt deletes the event.
class EventPool {
public:
    static constexpr std::size_t kBlocks = 64;
    static constexpr std::size_t kBlockSize = 64;

    void* take(std::size_t size) {
        if (size <= kBlockSize) {
            const std::lock_guard lock(mutex_);
            if (free_ > 0) return blocks_[order_[--free_]].bytes;
        }
        return ::operator new(size);
    }

    void give(void* p) {
        const auto* byte = static_cast<const unsigned char*>(p);
        const auto* first = blocks_.front().bytes;
        if (byte >= first && byte < first + sizeof(blocks_)) {
            const std::lock_guard lock(mutex_);
            order_[free_++] = std::size_t(byte - first) / sizeof(Block);
            return;
        }
        ::operator delete(p);
    }

    EventPool() {
        for (std::size_t i = 0; i < kBlocks; ++i) order_[i] = i;
    }

private:
    struct Block {
        alignas(std::max_align_t) unsigned char bytes[kBlockSize];
    };
    std::mutex mutex_;
    std::array<Block, kBlocks> blocks_{};
    std::array<std::size_t, kBlocks> order_{};
    std::size_t free_ = kBlocks;
};

EventPool& eventPool() {
    static EventPool pool;
    return pool;
}

const QEvent::Type kFrameEvent = QEvent::Type(QEvent::registerEventType());

// Lives on the application's thread and delivers a frame for each event.
class Receiver final : public QObject {
public:
    explicit Receiver(FrameHop& hop) : hop_(hop) {}
    bool event(QEvent* event) override;

private:
    FrameHop& hop_;
};

}  // namespace

class FrameHopEvent final : public QEvent {
public:
    FrameHopEvent() : QEvent(kFrameEvent) {}
    static void* operator new(std::size_t size) { return eventPool().take(size); }
    static void operator delete(void* p) { eventPool().give(p); }
    static void deliver(FrameHop& hop) { hop.deliverOldest(); }
};

namespace {

bool Receiver::event(QEvent* event) {
    if (event->type() != kFrameEvent) return QObject::event(event);
    FrameHopEvent::deliver(hop_);
    return true;
}

}  // namespace

FrameHop::FrameHop(Delivery deliver) : deliver_(deliver), slots_(8) {}

FrameHop::~FrameHop() { delete receiver_; }

FrameHop& FrameHop::shared() {
    // Kept to the end of the process: a frame may arrive while the
    // application is going away.
    static FrameHop* hop = new FrameHop([](const Frame& frame) {
        TrackpadController::deliverFrame(frame.context, frame.device, frame.contacts, frame.timestamp);
    });
    return *hop;
}

void FrameHop::post(std::uint64_t context, DeviceId device, const TouchPoint* points, std::int32_t count,
                    double timestamp) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return;
    {
        const std::lock_guard lock(mutex_);
        if (count_ == slots_.size()) {
            // Behind further than ever: twice the slots, oldest first.
            std::vector<Frame> grown(slots_.size() * 2);
            for (std::size_t i = 0; i < count_; ++i) grown[i] = std::move(slots_[(head_ + i) % slots_.size()]);
            slots_ = std::move(grown);
            head_ = 0;
        }
        Frame& slot = slots_[(head_ + count_) % slots_.size()];
        slot.context = context;
        slot.device = device;
        if (points != nullptr && count > 0) {
            slot.contacts.assign(points, points + count);
        } else {
            slot.contacts.clear();
        }
        slot.timestamp = timestamp;
        ++count_;
    }
    // Made on first use, from whichever thread, for the application's
    // thread; kept as long as the hop.
    std::call_once(receiverMade_, [this, application] {
        receiver_ = new Receiver(*this);
        receiver_->moveToThread(application->thread());
    });
    QCoreApplication::postEvent(receiver_, new FrameHopEvent);
}

void FrameHop::deliverOldest() {
    {
        const std::lock_guard lock(mutex_);
        if (count_ == 0) return;
        Frame& slot = slots_[head_];
        // Copied, not swapped: a swap would pass a one-finger slot's small
        // storage on to a slot that next holds three fingers.
        delivering_.contacts.assign(slot.contacts.begin(), slot.contacts.end());
        delivering_.context = slot.context;
        delivering_.device = slot.device;
        delivering_.timestamp = slot.timestamp;
        head_ = (head_ + 1) % slots_.size();
        --count_;
    }
    deliver_(delivering_);
}

}  // namespace glidra
