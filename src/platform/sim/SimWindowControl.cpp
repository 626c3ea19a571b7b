#include "platform/sim/SimWindowControl.h"

#include <algorithm>

namespace glidra::sim {

std::optional<QRectF> SimWindowControl::frame(WindowId id) {
    const Window* window = find(id);
    if (!window || !window->readable) return std::nullopt;
    return window->frame;
}

bool SimWindowControl::isFullScreen(WindowId id) {
    const Window* window = find(id);
    return window && window->fullScreen;
}

bool SimWindowControl::setPosition(WindowId id, QPointF topLeft) {
    requests_.push_back({Request::Kind::position, id, QRectF(topLeft, QSizeF())});
    Window* window = find(id);
    if (!window || window->refusesPosition) return false;
    window->frame.moveTopLeft(topLeft + window->placementOffset);
    return true;
}

bool SimWindowControl::setSize(WindowId id, QSizeF size) {
    requests_.push_back({Request::Kind::size, id, QRectF(QPointF(), size)});
    Window* window = find(id);
    if (!window || window->refusesSize) return false;
    // The application keeps its window within its limits, and says so only
    // through the size it ends up with.
    QSizeF limited(std::clamp(size.width(), window->minimumSize.width(), window->maximumSize.width()),
                   std::clamp(size.height(), window->minimumSize.height(), window->maximumSize.height()));
    if (const auto& area = window->confinement) {
        limited = limited.boundedTo(QSizeF(area->right() - window->frame.left(), area->bottom() - window->frame.top()));
    }
    window->frame.setSize(limited);
    return true;
}

bool SimWindowControl::close(WindowId id) {
    requests_.push_back({Request::Kind::close, id, QRectF()});
    Window* window = find(id);
    if (!window || !window->hasCloseButton) return false;
    window->closed = true;
    if (focused_ == id) focused_.reset();
    return true;
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
