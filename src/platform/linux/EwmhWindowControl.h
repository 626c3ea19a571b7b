#pragma once

#include "platform/WindowControl.h"

#include <memory>

namespace glidra::linux_platform {

class XcbConnection;

// Moves, resizes and closes the active window through requests to the
// window manager (_NET_MOVERESIZE_WINDOW, _NET_WM_STATE, _NET_CLOSE_WINDOW).
// Frames include the window manager's decorations and leave out a client's
// own shadow. On a Wayland desktop this reaches XWayland windows, which the
// compositor manages as a window manager; a native Wayland window in front
// leaves no X window active, and so no focused window here.
class EwmhWindowControl final : public WindowControl {
public:
    EwmhWindowControl();
    explicit EwmhWindowControl(std::unique_ptr<XcbConnection> x);
    ~EwmhWindowControl() override;

    std::optional<WindowId> focusedWindow() override;
    std::optional<QRectF> frame(WindowId window) override;
    bool isFullScreen(WindowId window) override;
    bool setPosition(WindowId window, QPointF topLeft) override;
    bool setSize(WindowId window, QSizeF size) override;
    bool close(WindowId window) override;

    // How long a request may take the window manager before the frame is
    // read back regardless.
    static constexpr int kSettleMilliseconds = 250;

private:
    struct Geometry;
    std::optional<Geometry> geometry(std::uint32_t window);
    bool request(std::uint32_t window, const QRectF& targetFrame, bool move, bool resize);
    void leaveMaximized(std::uint32_t window);
    void waitForConfigure(std::uint32_t window);

    std::unique_ptr<XcbConnection> x_;
};

}  // namespace glidra::linux_platform
