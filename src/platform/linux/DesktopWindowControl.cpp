#include "platform/linux/DesktopWindowControl.h"

#include "platform/linux/DesktopWindowBridge.h"

#include <cmath>

namespace glidra::linux_platform {

namespace {

int pixels(double value) { return int(std::lround(value)); }

}  // namespace

DesktopWindowControl::DesktopWindowControl(DesktopWindowBridge* bridge, std::unique_ptr<WindowControl> x)
    : bridge_(bridge), x_(std::move(x)) {}

DesktopWindowControl::~DesktopWindowControl() = default;

std::optional<WindowControl::WindowId> DesktopWindowControl::focusedWindow() {
    if (bridge_ && bridge_->isConnected()) {
        const auto focused = bridge_->focusedWindow();
        if (!focused) return std::nullopt;
        return kBridgeWindow | focused->id;
    }
    return x_ ? x_->focusedWindow() : std::nullopt;
}

std::optional<QRectF> DesktopWindowControl::frame(WindowId window) {
    if (!fromBridge(window)) return x_ ? x_->frame(window) : std::nullopt;
    if (!bridge_) return std::nullopt;
    return bridge_->frame(window & ~kBridgeWindow);
}

bool DesktopWindowControl::isFullScreen(WindowId window) {
    if (!fromBridge(window)) return x_ && x_->isFullScreen(window);
    if (!bridge_) return false;
    const auto focused = bridge_->focusedWindow();
    return focused && focused->id == (window & ~kBridgeWindow) && focused->fullScreen;
}

bool DesktopWindowControl::setPosition(WindowId window, QPointF topLeft) {
    if (!fromBridge(window)) return x_ && x_->setPosition(window, topLeft);
    const std::optional<QRectF> current = frame(window);
    if (!current) return false;
    return bridge_->moveResize(window & ~kBridgeWindow, QRect(pixels(topLeft.x()), pixels(topLeft.y()),
                                                              pixels(current->width()), pixels(current->height())));
}

bool DesktopWindowControl::setSize(WindowId window, QSizeF size) {
    if (!fromBridge(window)) return x_ && x_->setSize(window, size);
    const std::optional<QRectF> current = frame(window);
    if (!current) return false;
    return bridge_->moveResize(window & ~kBridgeWindow, QRect(pixels(current->x()), pixels(current->y()),
                                                              pixels(size.width()), pixels(size.height())));
}

bool DesktopWindowControl::close(WindowId window) {
    if (!fromBridge(window)) return x_ && x_->close(window);
    return bridge_ && bridge_->close(window & ~kBridgeWindow);
}

}  // namespace glidra::linux_platform
