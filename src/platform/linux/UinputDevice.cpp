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

bool UinputDevice::open() {
    if (device_) return true;
    const int fd = ::open(kPath, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        failed("open", errno);
        return false;
    }
    libevdev* description = libevdev_new();
    libevdev_set_name(description, kOwnVirtualDeviceName);
    libevdev_set_id_bustype(description, BUS_VIRTUAL);
    libevdev_enable_event_type(description, EV_KEY);
    for (unsigned code = 1; code < KEY_MAX; ++code) {
        if (EvdevInputTranslator::isKeyboardKey(std::uint16_t(code))) {
            libevdev_enable_event_code(description, EV_KEY, code, nullptr);
        }
    }
    for (unsigned button = BTN_LEFT; button <= BTN_TASK; ++button) {
        libevdev_enable_event_code(description, EV_KEY, button, nullptr);
    }
    libevdev_enable_event_type(description, EV_REL);
    for (unsigned axis : {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES}) {
        libevdev_enable_event_code(description, EV_REL, axis, nullptr);
    }
    const int rc = libevdev_uinput_create_from_device(description, fd, &device_);
    libevdev_free(description);
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
