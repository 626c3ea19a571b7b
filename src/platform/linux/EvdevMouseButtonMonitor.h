#pragma once

#include "platform/MouseButtonMonitor.h"
#include "platform/linux/EvdevEventMonitors.h"

namespace glidra::linux_platform {

// The button events of the user's mice, pointing sticks and touchpads. A
// touchpad's own button (a clickpad's press) comes from the touchpad's node,
// after the frame it was pressed in, and carries isTouchSubtype.
class EvdevMouseButtonMonitor final : public MouseButtonMonitor {
public:
    explicit EvdevMouseButtonMonitor(EvdevInputHub& hub);

    Token addLocalMonitor(Handler handler) override;
    Token addGlobalMonitor(Handler handler) override;
    void removeMonitor(Token token) override { monitors_.remove(token); }

private:
    EvdevEventMonitors monitors_;
};

}  // namespace glidra::linux_platform
