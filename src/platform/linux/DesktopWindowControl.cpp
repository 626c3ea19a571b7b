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

QCoro::Task<std::optional<WindowControl::WindowId>> DesktopWindowControl::focusedWindow() {
    if (bridge_ && bridge_->isConnected()) {
        const auto focused = bridge_->focusedWindow();
        if (!focused) co_return std::nullopt;
        co_return kBridgeWindow | focused->id;
    }
    if (!x_) co_return std::nullopt;
    auto finding = x_->focusedWindow();
    co_return co_await finding;
}

QCoro::Task<std::optional<QRectF>> DesktopWindowControl::frame(WindowId window) {
    if (!fromBridge(window)) {
        if (!x_) co_return std::nullopt;
        auto reading = x_->frame(window);
        co_return co_await reading;
    }
    if (!bridge_) co_return std::nullopt;
    auto reading = bridge_->frame(window & ~kBridgeWindow);
    co_return co_await reading;
}

QCoro::Task<bool> DesktopWindowControl::isFullScreen(WindowId window) {
    if (!fromBridge(window)) {
        if (!x_) co_return false;
        auto asking = x_->isFullScreen(window);
        co_return co_await asking;
    }
    if (!bridge_) co_return false;
    const auto focused = bridge_->focusedWindow();
    co_return focused && focused->id == (window & ~kBridgeWindow) && focused->fullScreen;
}

QCoro::Task<bool> DesktopWindowControl::moveResize(WindowId window, QRect frame) {
    if (!bridge_) co_return false;
    auto moving = bridge_->moveResize(window & ~kBridgeWindow, frame);
    if (co_await moving) co_return true;
    // Kept at another frame (a minimum size, the desktop's work area) is no
    // refusal: the caller reads where it went.
    auto reading = this->frame(window);
    co_return (co_await reading).has_value();
}

QCoro::Task<bool> DesktopWindowControl::setPosition(WindowId window, QPointF topLeft) {
    if (!fromBridge(window)) {
        if (!x_) co_return false;
        auto placing = x_->setPosition(window, topLeft);
        co_return co_await placing;
    }
    auto reading = frame(window);
    const std::optional<QRectF> current = co_await reading;
    if (!current) co_return false;
    auto moving = moveResize(
        window, QRect(pixels(topLeft.x()), pixels(topLeft.y()), pixels(current->width()), pixels(current->height())));
    co_return co_await moving;
}

QCoro::Task<bool> DesktopWindowControl::setSize(WindowId window, QSizeF size) {
    if (!fromBridge(window)) {
        if (!x_) co_return false;
        auto sizing = x_->setSize(window, size);
        co_return co_await sizing;
    }
    auto reading = frame(window);
    const std::optional<QRectF> current = co_await reading;
    if (!current) co_return false;
    auto moving = moveResize(
        window, QRect(pixels(current->x()), pixels(current->y()), pixels(size.width()), pixels(size.height())));
    co_return co_await moving;
}

QCoro::Task<bool> DesktopWindowControl::carryOut(WindowId window, XRequest x, BridgeRequest bridge) {
    if (!fromBridge(window)) {
        if (!x_) co_return false;
        auto asking = ((*x_).*x)(window);
        co_return co_await asking;
    }
    if (!bridge_) co_return false;
    auto asking = ((*bridge_).*bridge)(window & ~kBridgeWindow);
    co_return co_await asking;
}

QCoro::Task<bool> DesktopWindowControl::minimize(WindowId window) {
    return carryOut(window, &WindowControl::minimize, &DesktopWindowBridge::minimize);
}

QCoro::Task<bool> DesktopWindowControl::close(WindowId window) {
    return carryOut(window, &WindowControl::close, &DesktopWindowBridge::close);
}

}  // namespace glidra::linux_platform
