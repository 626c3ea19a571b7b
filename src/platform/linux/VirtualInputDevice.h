#pragma once

#include <cstdint>

namespace glidra::linux_platform {

// Where synthesised input goes: one virtual device that types keys, presses
// buttons and turns wheels as a keyboard and mouse of the user would.
class VirtualInputDevice {
public:
    virtual ~VirtualInputDevice() = default;

    // Creates the device on first use; false when the system refuses
    // (no write access to /dev/uinput). A failed creation may be tried again.
    virtual bool open() = 0;
    // One kernel event; open() must have succeeded.
    virtual bool write(std::uint16_t type, std::uint16_t code, std::int32_t value) = 0;
};

}  // namespace glidra::linux_platform
