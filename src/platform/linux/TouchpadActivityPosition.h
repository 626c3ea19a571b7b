#pragma once

#include "platform/PointerPosition.h"
#include "platform/linux/EvdevInputHub.h"

#include <cstdint>
#include <map>

namespace glidra::linux_platform {

// A "position" that moves only when a touchpad does: the number of events
// every touchpad has reported, read on a descriptor of its own (read-only,
// non-blocking, apart from the frame reader's), drained at each reading. It
// tells a finger on a touchpad whose frames stopped coming from a mouse that
// moves the pointer, which the desktop's pointer cannot. The first reading is
// the baseline: it opens the descriptors, so nothing older is counted.
class TouchpadActivityPosition final : public PointerPosition {
public:
    explicit TouchpadActivityPosition(EvdevInputHub& hub) : hub_(hub) {}
    ~TouchpadActivityPosition() override;

    // Nothing while no touchpad can be read.
    std::optional<QPoint> position() const override;

private:
    EvdevInputHub& hub_;
    mutable std::map<QByteArray, int> descriptors_;
    mutable std::uint64_t events_ = 0;
};

}  // namespace glidra::linux_platform
