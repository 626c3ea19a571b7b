#pragma once

#include <cstdint>

namespace glidra::evdev {

// One input event as the kernel reports it: the time in seconds (a
// recording's times are rebased so that its first event is at 0; a live
// device reports the monotonic clock), the type, the code and the value.
struct EvdevEvent {
    double time = 0;
    std::uint16_t type = 0;
    std::uint16_t code = 0;
    std::int32_t value = 0;

    friend bool operator==(const EvdevEvent&, const EvdevEvent&) = default;
};

}  // namespace glidra::evdev
