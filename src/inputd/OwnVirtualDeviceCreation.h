#pragma once

struct libevdev_uinput;

namespace glidra::inputd {

// Creates our own virtual device on an open /dev/uinput descriptor, as the
// program and the input service both do. Returns 0, or a negative errno.
int createOwnVirtualDevice(int uinputFd, libevdev_uinput** device);

}  // namespace glidra::inputd
