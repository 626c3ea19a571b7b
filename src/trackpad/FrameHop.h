#pragma once

#include "gestures/TouchPoint.h"
#include "trackpad/DeviceId.h"

#include <cstdint>
#include <mutex>
#include <vector>

class QObject;

namespace glidra {

// The hop of a contact frame from the framework's thread to the main thread,
// without an allocation per frame: the frames wait in a queue of slots that
// keep their contact storage, and each frame posts one event, built in a
// pool of event blocks, that delivers the oldest waiting frame. One event a
// frame keeps the frames in order with everything else the main thread was
// sent meanwhile, as a queued call would. The queue and the pool grow only
// when the main thread falls behind further than they ever did.
class FrameHop {
public:
    struct Frame {
        std::uint64_t context = 0;
        DeviceId device = 0;
        std::vector<TouchPoint> contacts;
        double timestamp = 0;
    };
    using Delivery = void (*)(const Frame& frame);

    // `deliver` runs on the main thread for every frame, in order.
    explicit FrameHop(Delivery deliver);
    ~FrameHop();
    FrameHop(const FrameHop&) = delete;
    FrameHop& operator=(const FrameHop&) = delete;

    // Any thread: copies the frame and posts its delivery to the
    // application's thread; nothing without an application.
    void post(std::uint64_t context, DeviceId device, const TouchPoint* points, std::int32_t count, double timestamp);

    // The hop every contact frame takes.
    static FrameHop& shared();

private:
    friend class FrameHopEvent;
    void deliverOldest();

    Delivery deliver_;
    std::once_flag receiverMade_;
    QObject* receiver_ = nullptr;
    std::mutex mutex_;
    // A ring: `count_` frames from `head_`.
    std::vector<Frame> slots_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    // Main thread: the frame being delivered, swapped out of its slot.
    Frame delivering_;
};

}  // namespace glidra
