#include "trackpad/FrameLatencyWindow.h"

#include <algorithm>

namespace glidra {

FrameLatencyWindow::FrameLatencyWindow() { latencies_.reserve(kCapacity); }

std::optional<FrameLatencyWindow::Summary> FrameLatencyWindow::add(double frameTime, double now) {
    // A frame stamped after its handling (a clock other than the monotonic
    // one) has no latency to tell.
    const double latency = std::max(0.0, now - frameTime);
    if (!opened_) opened_ = now;
    if (latencies_.size() < kCapacity) latencies_.push_back(latency);
    worst_ = std::max(worst_, latency);
    ++frames_;
    if (now - *opened_ < kWindow) return std::nullopt;

    // The upper median for an even count: a frame that was measured.
    const auto middle = latencies_.begin() + std::ptrdiff_t(latencies_.size() / 2);
    std::nth_element(latencies_.begin(), middle, latencies_.end());
    const Summary summary{*middle, worst_, frames_};
    latencies_.clear();
    opened_.reset();
    worst_ = 0;
    frames_ = 0;
    return summary;
}

}  // namespace glidra
