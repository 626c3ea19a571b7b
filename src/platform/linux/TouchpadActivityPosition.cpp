#include "platform/linux/TouchpadActivityPosition.h"

#include <linux/input.h>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <set>

namespace glidra::linux_platform {

TouchpadActivityPosition::~TouchpadActivityPosition() {
    for (const auto& [devnode, fd] : descriptors_) ::close(fd);
}

std::optional<QPoint> TouchpadActivityPosition::position() const {
    std::set<QByteArray> present;
    for (const InputNode& node : hub_.presentNodes(InputDeviceClass::touchpad)) present.insert(node.devnode);
    for (auto it = descriptors_.begin(); it != descriptors_.end();) {
        if (present.contains(it->first)) {
            ++it;
        } else {
            ::close(it->second);
            it = descriptors_.erase(it);
        }
    }
    for (const QByteArray& devnode : present) {
        if (descriptors_.contains(devnode)) continue;
        const int fd = ::open(devnode.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) descriptors_.emplace(devnode, fd);
    }

    input_event events[64];
    for (auto it = descriptors_.begin(); it != descriptors_.end();) {
        bool broken = false;
        for (;;) {
            const ssize_t got = ::read(it->second, events, sizeof(events));
            if (got > 0) {
                events_ += std::uint64_t(got) / sizeof(input_event);
                continue;
            }
            broken = got == 0 || (errno != EAGAIN && errno != EINTR);
            break;
        }
        if (broken) {
            ::close(it->second);
            it = descriptors_.erase(it);
        } else {
            ++it;
        }
    }
    if (descriptors_.empty()) return std::nullopt;
    return QPoint(int(events_ & 0x7FFFFFFF), 0);
}

}  // namespace glidra::linux_platform
