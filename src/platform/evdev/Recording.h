#pragma once

#include "platform/evdev/DeviceDescription.h"
#include "platform/evdev/EvdevEvent.h"

#include <vector>

namespace glidra::evdev {

// A recorded evdev session: the device and its events in file order, the
// times rebased so that the first event is at 0.
struct Recording {
    DeviceDescription device;
    std::vector<EvdevEvent> events;
    // The recording carried a device description (N:, I:, P:, B: or A: lines).
    bool hasDeviceHeader = false;
    // Wall-clock time of the first event as recorded, in seconds.
    double firstEventEpoch = 0;

    // Some event carries BTN_TOUCH: the pad says when a finger touches, and a
    // contact without it only hovers.
    bool reportsTouchKey() const;

    friend bool operator==(const Recording&, const Recording&) = default;
};

}  // namespace glidra::evdev
