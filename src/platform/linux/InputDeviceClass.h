#pragma once

#include "platform/evdev/OwnVirtualDevice.h"

#include <QByteArray>
#include <QMap>

namespace glidra::linux_platform {

// What the program reads of an input event node, told by the properties udev
// gives it. A node can be of several classes (a keyboard with a pointing
// stick, a touchpad with keys).
enum class InputDeviceClass : unsigned {
    touchpad = 1u << 0,  // ID_INPUT_TOUCHPAD=1: contact frames and the pad's buttons
    keyboard = 1u << 1,  // ID_INPUT_KEYBOARD=1: keys, held modifiers
    pointer = 1u << 2,   // ID_INPUT_MOUSE=1 or ID_INPUT_POINTINGSTICK=1 (touchpads apart)
};
using InputDeviceClasses = unsigned;

constexpr InputDeviceClasses operator|(InputDeviceClass a, InputDeviceClass b) { return unsigned(a) | unsigned(b); }
constexpr bool hasClass(InputDeviceClasses classes, InputDeviceClass c) { return (classes & unsigned(c)) != 0; }

using evdev::kOwnVirtualDeviceName;

// The classes of a device, from its udev properties and its name; 0 when the
// program has no use for it: not an event node (/dev/input/eventN), our own
// virtual device, or none of the classes above.
InputDeviceClasses classifyInputDevice(const QMap<QByteArray, QByteArray>& properties, const QByteArray& name);

}  // namespace glidra::linux_platform
