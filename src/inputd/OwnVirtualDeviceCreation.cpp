#include "inputd/OwnVirtualDeviceCreation.h"

#include "platform/evdev/OwnVirtualDevice.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

namespace glidra::inputd {

int createOwnVirtualDevice(int uinputFd, libevdev_uinput** device) {
    const evdev::DeviceDescription declared = evdev::ownVirtualDeviceDescription();
    libevdev* created = libevdev_new();
    libevdev_set_name(created, declared.name.c_str());
    libevdev_set_id_bustype(created, declared.bustype);
    for (const auto& [type, codes] : declared.eventBits) {
        if (type == EV_SYN) continue;
        libevdev_enable_event_type(created, type);
        for (unsigned code = 0; code < codes.size() * 8; ++code) {
            if (declared.hasEventCode(type, std::uint16_t(code))) {
                libevdev_enable_event_code(created, type, code, nullptr);
            }
        }
    }
    const int rc = libevdev_uinput_create_from_device(created, uinputFd, device);
    libevdev_free(created);
    if (rc < 0) *device = nullptr;
    return rc;
}

}  // namespace glidra::inputd
