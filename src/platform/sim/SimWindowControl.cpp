#include "platform/sim/SimWindowControl.h"

#include <algorithm>
#include <utility>

namespace glidra::sim {

QCoro::Task<void> SimWindowControl::turn() {
    if (!answersLater_) co_return;
    const Completion<bool> released;
    held_.push_back(released);
    co_await released;
}

void SimWindowControl::releaseAnswers() {
    for (const Completion<bool>& waiting : std::exchange(held_, {})) waiting.resolve(true);
}

QCoro::Task<std::optional<WindowControl::WindowId>> SimWindowControl::focusedWindow() {
    co_await turn();
    co_return focused_;
}

std::optional<QRectF> SimWindowControl::frameNow(WindowId id) {
    const Window* window = find(id);
    if (!window || !window->readable) return std::nullopt;
    return window->frame;
}

QCoro::Task<std::optional<QRectF>> SimWindowControl::frame(WindowId id) {
    co_await turn();
    co_return frameNow(id);
}

QCoro::Task<bool> SimWindowControl::isFullScreen(WindowId id) {
    co_await turn();
    const Window* window = find(id);
    co_return window && window->fullScreen;
}

QCoro::Task<bool> SimWindowControl::setPosition(WindowId id, QPointF topLeft) {
    co_await turn();
    requests_.push_back({Request::Kind::position, id, QRectF(topLeft, QSizeF())});
    Window* window = find(id);
    if (!window || window->refusesPosition) co_return false;
    window->frame.moveTopLeft(topLeft + window->placementOffset);
    co_return true;
}

QCoro::Task<bool> SimWindowControl::setSize(WindowId id, QSizeF size) {
    co_await turn();
    requests_.push_back({Request::Kind::size, id, QRectF(QPointF(), size)});
    Window* window = find(id);
    if (!window || window->refusesSize) co_return false;
    // The application keeps its window within its limits, and says so only
    // through the size it ends up with.
    QSizeF limited(std::clamp(size.width(), window->minimumSize.width(), window->maximumSize.width()),
                   std::clamp(size.height(), window->minimumSize.height(), window->maximumSize.height()));
    if (const auto& area = window->confinement) {
        limited = limited.boundedTo(QSizeF(area->right() - window->frame.left(), area->bottom() - window->frame.top()));
    }
    window->frame.setSize(limited);
    co_return true;
}

QCoro::Task<bool> SimWindowControl::minimize(WindowId id) {
    co_await turn();
    requests_.push_back({Request::Kind::minimize, id, QRectF()});
    Window* window = find(id);
    if (!window || !window->canMinimize) co_return false;
    window->minimized = true;
    if (focused_ == id) focused_.reset();
    co_return true;
}

QCoro::Task<bool> SimWindowControl::close(WindowId id) {
    co_await turn();
    requests_.push_back({Request::Kind::close, id, QRectF()});
    Window* window = find(id);
    if (!window || !window->hasCloseButton) co_return false;
    window->closed = true;
    if (focused_ == id) focused_.reset();
    co_return true;
}

SimWindowControl::Window& SimWindowControl::addWindow(WindowId id, QRectF frame) {
    Window& window = windows_[id];
    window = Window{};
    window.frame = frame;
    return window;
}

SimWindowControl::Window* SimWindowControl::find(WindowId id) {
    const auto it = windows_.find(id);
    if (it == windows_.end() || it->second.closed) return nullptr;
    return &it->second;
}

}  // namespace glidra::sim
