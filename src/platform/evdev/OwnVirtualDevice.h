#pragma once

#include "platform/evdev/DeviceDescription.h"

#include <cstdint>

namespace glidra::evdev {

// The name our own virtual device (uinput) carries. It is never one of the
// user's devices: what it holds and types is ours.
inline constexpr char kOwnVirtualDeviceName[] = "Glidra virtual input";

// Whether an EV_KEY code is a keyboard key (not a button of a mouse, pad or
// joystick).
bool isKeyboardKeyCode(std::uint16_t code);

// What the virtual device declares: every keyboard key, the mouse buttons,
// motion and both wheels. The program and the input service create the same.
DeviceDescription ownVirtualDeviceDescription();

}  // namespace glidra::evdev
