#pragma once

#include <atomic>

namespace glidra::linux_platform {

// Tells the reader thread that the main loop stopped answering: the main
// loop beats while grabs are held, and a beat older than the limit means a
// grabbed keyboard would stay the program's for good. Times are seconds of
// the monotonic clock.
class GrabWatchdog {
public:
    explicit GrabWatchdog(double limit) : limit_(limit) {}

    // Main thread. Also the start of a watch: a watch begins fresh.
    void beat(double now) { lastBeat_.store(now, std::memory_order_relaxed); }
    // Reader thread.
    bool expired(double now) const { return now - lastBeat_.load(std::memory_order_relaxed) > limit_; }

    double limit() const { return limit_; }

private:
    double limit_;
    std::atomic<double> lastBeat_{0};
};

}  // namespace glidra::linux_platform
