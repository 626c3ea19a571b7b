#pragma once

#include "platform/WindowControl.h"

#include <memory>

namespace glidra::linux_platform {

class DesktopWindowBridge;

// Window control through the desktop's own add-on while it answers (it
// reaches native Wayland windows and XWayland ones alike), and through the
// window manager's EWMH requests for X windows otherwise. The add-on's
// windows carry kBridgeWindow in their id, so a window found one way is
// never handed to the other.
class DesktopWindowControl final : public WindowControl {
public:
    static constexpr WindowId kBridgeWindow = WindowId(1) << 63;

    // `bridge` may be null (a desktop without one); it outlives this object.
    DesktopWindowControl(DesktopWindowBridge* bridge, std::unique_ptr<WindowControl> x);
    ~DesktopWindowControl() override;

    std::optional<WindowId> focusedWindow() override;
    std::optional<QRectF> frame(WindowId window) override;
    bool isFullScreen(WindowId window) override;
    bool setPosition(WindowId window, QPointF topLeft) override;
    bool setSize(WindowId window, QSizeF size) override;
    bool close(WindowId window) override;

private:
    static bool fromBridge(WindowId window) { return (window & kBridgeWindow) != 0; }

    DesktopWindowBridge* bridge_;
    std::unique_ptr<WindowControl> x_;
};

}  // namespace glidra::linux_platform
