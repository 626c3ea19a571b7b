#include "platform/evdev/OwnVirtualDevice.h"

#include <linux/input.h>

namespace glidra::evdev {

bool isKeyboardKeyCode(std::uint16_t code) {
    return code < BTN_MISC || (code >= KEY_OK && code < BTN_DPAD_UP) ||
           (code >= KEY_ALS_TOGGLE && code < BTN_TRIGGER_HAPPY);
}

DeviceDescription ownVirtualDeviceDescription() {
    DeviceDescription device;
    device.name = kOwnVirtualDeviceName;
    device.bustype = BUS_VIRTUAL;
    const auto declare = [&device](std::uint16_t type, unsigned code) {
        auto& bits = device.eventBits[type];
        if (bits.size() <= code / 8) bits.resize(code / 8 + 1, 0);
        bits[code / 8] |= std::uint8_t(1u << (code % 8));
    };
    declare(EV_SYN, EV_KEY);
    for (unsigned code = 1; code < KEY_MAX; ++code) {
        if (isKeyboardKeyCode(std::uint16_t(code))) declare(EV_KEY, code);
    }
    for (unsigned button = BTN_LEFT; button <= BTN_TASK; ++button) declare(EV_KEY, button);
    declare(EV_SYN, EV_REL);
    for (unsigned axis : {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES}) {
        declare(EV_REL, axis);
    }
    return device;
}

}  // namespace glidra::evdev
