#pragma once

#include <cstdint>

namespace glidra {

// The keyboard as the HID system state sees it right now.
class KeyboardState {
public:
    virtual ~KeyboardState() = default;

    // Combined modifier flags in the stored flag bits: Caps Lock 0x10000,
    // Shift 0x20000, Ctrl 0x40000, Alt 0x80000, Super 0x100000, Fn 0x800000.
    virtual std::uint64_t combinedFlags() const = 0;

    // Whether the key with this stored key code is held down.
    virtual bool isKeyDown(std::uint16_t keyCode) const = 0;
};

}  // namespace glidra
