#pragma once

#include "platform/WindowControl.h"

#include <QPointer>
#include <QRect>

#include <memory>

namespace glidra::linux_platform {

class DesktopWindowBridge;

// Window control through the desktop's own add-on while it answers (it
// reaches native Wayland windows and XWayland ones alike), and through the
// window manager's EWMH requests for X windows otherwise. The add-on's
// windows carry kBridgeWindow in their id, so a window found one way is
// never handed to the other. The add-on's answers come without blocking.
class DesktopWindowControl final : public WindowControl {
public:
    static constexpr WindowId kBridgeWindow = WindowId(1) << 63;

    // `bridge` may be null (a desktop without one); it outlives this object.
    DesktopWindowControl(DesktopWindowBridge* bridge, std::unique_ptr<WindowControl> x);
    ~DesktopWindowControl() override;

    QCoro::Task<std::optional<WindowId>> focusedWindow() override;
    QCoro::Task<std::optional<QRectF>> frame(WindowId window) override;
    QCoro::Task<bool> isFullScreen(WindowId window) override;
    QCoro::Task<bool> setPosition(WindowId window, QPointF topLeft) override;
    QCoro::Task<bool> setSize(WindowId window, QSizeF size) override;
    QCoro::Task<bool> minimize(WindowId window) override;
    QCoro::Task<bool> close(WindowId window) override;

private:
    static bool fromBridge(WindowId window) { return (window & kBridgeWindow) != 0; }
    using XRequest = QCoro::Task<bool> (WindowControl::*)(WindowId);
    using BridgeRequest = QCoro::Task<bool> (DesktopWindowBridge::*)(std::uint64_t);
    // The request for the window, to whichever of the two has it.
    QCoro::Task<bool> carryOut(WindowId window, XRequest x, BridgeRequest bridge);
    // Moves and sizes the add-on's window to `frame`; true when the window
    // is still there to read, wherever it ended up.
    QCoro::Task<bool> moveResize(WindowId window, QRect frame);

    // Null once the bridge is gone.
    QPointer<DesktopWindowBridge> bridge_;
    std::unique_ptr<WindowControl> x_;
};

}  // namespace glidra::linux_platform
