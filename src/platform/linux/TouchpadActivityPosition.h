#pragma once

#include "platform/PointerPosition.h"
#include "platform/linux/EvdevInputHub.h"

namespace glidra::linux_platform {

// A "position" that moves only when a touchpad does: the number of frames
// with a finger on the surface that the hub's reader assembled, on the one
// descriptor it holds of each touchpad. Compared with the bridge's frame
// count, it tells a finger on a touchpad whose frames stopped reaching the
// bridge from a touch whose frames did, which the desktop's pointer cannot.
class TouchpadActivityPosition final : public PointerPosition {
public:
    explicit TouchpadActivityPosition(const EvdevInputHub& hub) : hub_(hub) {}

    // Nothing while no touchpad is open.
    std::optional<QPoint> position() const override;

private:
    const EvdevInputHub& hub_;
};

}  // namespace glidra::linux_platform
