#include "platform/linux/UinputDevice.h"

#include "platform/LogCategories.h"
#include "platform/linux/EvdevInputTranslator.h"
#include "platform/linux/InputAccessTrust.h"
#include "platform/linux/InputDeviceClass.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace glidra::linux_platform {

UinputDevice::~UinputDevice() {
    if (device_) libevdev_uinput_destroy(device_);
    if (fd_ >= 0) ::close(fd_);
}

evdev::DeviceDescription UinputDevice::description() {
    evdev::DeviceDescription device;
    device.name = kOwnVirtualDeviceName;
    device.bustype = BUS_VIRTUAL;
    const auto declare = [&device](std::uint16_t type, unsigned code) {
        auto& bits = device.eventBits[type];
        if (bits.size() <= code / 8) bits.resize(code / 8 + 1, 0);
        bits[code / 8] |= std::uint8_t(1u << (code % 8));
    };
    declare(EV_SYN, EV_KEY);
    for (unsigned code = 1; code < KEY_MAX; ++code) {
        if (EvdevInputTranslator::isKeyboardKey(std::uint16_t(code))) declare(EV_KEY, code);
    }
    for (unsigned button = BTN_LEFT; button <= BTN_TASK; ++button) declare(EV_KEY, button);
    declare(EV_SYN, EV_REL);
    for (unsigned axis : {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES}) {
        declare(EV_REL, axis);
    }
    return device;
}

bool UinputDevice::open() {
    if (device_) return true;
    const int fd = ::open(kPath, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        failed("open", errno);
        return false;
    }
    const evdev::DeviceDescription declared = description();
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
    const int rc = libevdev_uinput_create_from_device(created, fd, &device_);
    libevdev_free(created);
    if (rc < 0) {
        device_ = nullptr;
        ::close(fd);
        failed("create a virtual device through", -rc);
        return false;
    }
    fd_ = fd;
    loggedError_ = 0;
    qCDebug(lcInput) << "created the virtual input device" << kOwnVirtualDeviceName;
    return true;
}

void UinputDevice::failed(const char* step, int error) {
    if (error == loggedError_) return;
    loggedError_ = error;
    qCWarning(lcInput).nospace() << "cannot " << step << " " << kPath << ": " << std::strerror(error)
                                 << "; shortcuts, clicks and scrolls cannot be sent" << missingAccessHint(error);
}

bool UinputDevice::write(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    return device_ && libevdev_uinput_write_event(device_, type, code, value) == 0;
}

}  // namespace glidra::linux_platform
