#pragma once

#include "platform/PointerPosition.h"

namespace glidra::linux_platform {

// The pointer as Qt sees it. Under X11 that is the desktop's pointer; a
// native Wayland session does not tell clients where the pointer is outside
// their windows, so there the position stays put.
class QtPointerPosition final : public PointerPosition {
public:
    std::optional<QPoint> position() const override;
};

}  // namespace glidra::linux_platform
