#include "platform/linux/UinputDevice.h"

#include "inputd/OwnVirtualDeviceCreation.h"
#include "platform/LogCategories.h"
#include "platform/evdev/OwnVirtualDevice.h"
#include "platform/linux/InputAccessTrust.h"
#include "platform/linux/InputDeviceClass.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <linux/input.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace glidra::linux_platform {

UinputDevice::~UinputDevice() {
    if (device_) libevdev_uinput_destroy(device_);
    if (fd_ >= 0) ::close(fd_);
    if (serviceFd_ >= 0) ::close(serviceFd_);
}

evdev::DeviceDescription UinputDevice::description() { return evdev::ownVirtualDeviceDescription(); }

bool UinputDevice::open() {
    if (device_ || serviceFd_ >= 0) return true;
    if (service_ && service_->connected()) {
        const int fd = service_->openVirtualDevice();
        if (fd >= 0) {
            serviceFd_ = fd;
            loggedError_ = 0;
            qCDebug(lcInput) << "the input service made the virtual input device" << kOwnVirtualDeviceName;
            return true;
        }
        // A service that refused or went: the node itself, where it opens.
    }
    const int fd = ::open(kPath, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        failed("open", errno);
        return false;
    }
    const int rc = inputd::createOwnVirtualDevice(fd, &device_);
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
    if (device_) return libevdev_uinput_write_event(device_, type, code, value) == 0;
    if (serviceFd_ < 0) return false;
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return ::write(serviceFd_, &event, sizeof event) == ssize_t(sizeof event);
}

}  // namespace glidra::linux_platform
