#include "platform/linux/TouchpadActivityPosition.h"

namespace glidra::linux_platform {

std::optional<QPoint> TouchpadActivityPosition::position() const {
    if (hub_.openNodes(InputDeviceClass::touchpad).empty()) return std::nullopt;
    // Only compared for change: wrapping around changes it too.
    return QPoint(int(hub_.touchFrameCount() & 0x7FFFFFFF), 0);
}

}  // namespace glidra::linux_platform
