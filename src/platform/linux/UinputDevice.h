#pragma once

#include "platform/evdev/DeviceDescription.h"
#include "platform/linux/InputServiceClient.h"
#include "platform/linux/VirtualInputDevice.h"

struct libevdev_uinput;

namespace glidra::linux_platform {

// The virtual device through uinput, named kOwnVirtualDeviceName so that the
// program's own readers know it and leave it out. It offers every key, the
// mouse buttons, motion and both wheels, so the desktop takes it for a
// keyboard and a mouse. The kernel removes it when the process ends, which
// lets go of whatever it still holds. Where the input service runs, it makes
// the device and hands over its descriptor (and removes it when the program
// goes), so that /dev/uinput stays closed to the user.
class UinputDevice final : public VirtualInputDevice {
public:
    explicit UinputDevice(InputServiceClient* service = nullptr) : service_(service) {}
    ~UinputDevice() override;

    UinputDevice(const UinputDevice&) = delete;
    UinputDevice& operator=(const UinputDevice&) = delete;

    bool open() override;
    bool write(std::uint16_t type, std::uint16_t code, std::int32_t value) override;

    static constexpr const char* kPath = "/dev/uinput";

    // What the device declares itself to be: its name and bus, and every
    // key, button and axis it has. The kernel drops an event of a code the
    // device did not declare, without an error.
    static evdev::DeviceDescription description();

private:
    // Logs a failure to open, once for each errno in a row.
    void failed(const char* step, int error);

    InputServiceClient* service_;
    libevdev_uinput* device_ = nullptr;
    int serviceFd_ = -1;  // the service's device, written to directly
    int fd_ = -1;
    int loggedError_ = 0;
};

}  // namespace glidra::linux_platform
