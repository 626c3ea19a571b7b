#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace glidra {

// The latency of contact frames over one minute at a time, from the
// kernel's timestamp of a frame's events to the end of its handling: what a
// user's report can say of their machine. Frames are added as they are
// handled; the frame that completes a minute closes the window and gives its
// median and worst. Sized once, so adding allocates nothing.
class FrameLatencyWindow {
public:
    static constexpr double kWindow = 60.0;
    // More frames than a minute of the fastest touchpads brings; beyond it
    // only the worst is followed.
    static constexpr std::size_t kCapacity = 16384;

    struct Summary {
        double median = 0;  // seconds
        double worst = 0;   // seconds
        std::size_t frames = 0;

        friend bool operator==(const Summary&, const Summary&) = default;
    };

    FrameLatencyWindow();

    // One frame: stamped `frameTime`, handled by `now`, both on the
    // monotonic clock. Gives the closed window's summary when this frame
    // comes a minute or more after the window's first.
    std::optional<Summary> add(double frameTime, double now);

private:
    std::vector<double> latencies_;
    std::optional<double> opened_;
    double worst_ = 0;
    std::size_t frames_ = 0;
};

}  // namespace glidra
