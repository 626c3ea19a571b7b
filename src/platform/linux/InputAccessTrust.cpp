#include "platform/linux/InputAccessTrust.h"

#include "platform/linux/EvdevInputHub.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace glidra::linux_platform {

namespace {

bool opens(const QByteArray& path, int mode) {
    const int fd = ::open(path.constData(), mode | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

const char* missingAccessHint(int error) {
    return error == EACCES || error == EPERM ? " (no input access: see the input-access udev rules)" : "";
}

bool InputAccessTrust::isProcessTrusted() const {
    if (!opens(uinputPath_, O_WRONLY)) return false;
    for (const InputNode& node : hub_.presentNodes(InputDeviceClass::touchpad)) {
        if (!opens(node.devnode, O_RDONLY)) return false;
    }
    return true;
}

}  // namespace glidra::linux_platform
