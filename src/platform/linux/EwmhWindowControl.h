#pragma once

#include "platform/WindowControl.h"

#include <memory>

namespace glidra::linux_platform {

class XcbConnection;

// Moves, resizes, minimises and closes the active window through requests to
// the window manager (_NET_MOVERESIZE_WINDOW, _NET_WM_STATE, WM_CHANGE_STATE,
// _NET_CLOSE_WINDOW). While the window manager carries a request out, the
// event loop runs on.
// Frames include the window manager's decorations and leave out a client's
// own shadow. On a Wayland desktop this reaches XWayland windows, which the
// compositor manages as a window manager; a native Wayland window in front
// leaves no X window active, and so no focused window here.
class EwmhWindowControl final : public WindowControl {
public:
    EwmhWindowControl();
    explicit EwmhWindowControl(std::unique_ptr<XcbConnection> x);
    ~EwmhWindowControl() override;

    QCoro::Task<std::optional<WindowId>> focusedWindow() override;
    QCoro::Task<std::optional<QRectF>> frame(WindowId window) override;
    QCoro::Task<bool> isFullScreen(WindowId window) override;
    QCoro::Task<bool> setPosition(WindowId window, QPointF topLeft) override;
    QCoro::Task<bool> setSize(WindowId window, QSizeF size) override;
    QCoro::Task<bool> minimize(WindowId window) override;
    QCoro::Task<bool> close(WindowId window) override;

    // How long a request may take the window manager before the frame is
    // read back regardless.
    static constexpr int kSettleMilliseconds = 250;

private:
    struct Geometry;
    std::optional<Geometry> geometry(std::uint32_t window);
    QCoro::Task<bool> request(std::uint32_t window, QRectF targetFrame, bool move, bool resize);
    QCoro::Task<void> leaveMaximized(std::uint32_t window);
    QCoro::Task<void> waitForConfigure(std::uint32_t window);

    std::unique_ptr<XcbConnection> x_;
    // Expires with the adapter: a wait resumed after that touches nothing.
    std::shared_ptr<int> alive_ = std::make_shared<int>();
};

}  // namespace glidra::linux_platform
