#include "executors/WindowLayoutGeometry.h"

#include <algorithm>
#include <cmath>

namespace glidra::WindowLayoutGeometry {

namespace {

double overlapArea(const QRectF& a, const QRectF& b) {
    const QRectF overlap = a.intersected(b);
    return overlap.isEmpty() ? 0.0 : overlap.width() * overlap.height();
}

// The window's relative place along one axis: 0 at the start, 1 at the end,
// the middle when it fills the axis. Anything negative or undefined counts
// as the start.
double relativePlace(double windowStart, double windowLength, double areaStart, double areaLength) {
    const double place = windowLength < areaLength ? (windowStart - areaStart) / (areaLength - windowLength) : 0.5;
    if (!(place > 0)) return 0;
    return std::min(place, 1.0);
}

}  // namespace

std::optional<std::size_t> screenIndex(const QRectF& window, const std::vector<ScreenInfo>& screens) {
    if (screens.empty()) return std::nullopt;
    std::size_t chosen = 0;
    double chosenArea = overlapArea(window, screens.front().frame);
    for (std::size_t i = 1; i < screens.size(); ++i) {
        const double area = overlapArea(window, screens[i].frame);
        if (area > chosenArea) {
            chosen = i;
            chosenArea = area;
        }
    }
    return chosen;
}

std::optional<QRectF> target(GestureAction action, const QRectF& window, const QRectF& visible) {
    switch (action) {
        case GestureAction::windowLeftHalf:
            return QRectF(visible.left(), visible.top(), visible.width() * 0.5, visible.height());
        case GestureAction::windowRightHalf:
            return QRectF(visible.center().x(), visible.top(), visible.width() * 0.5, visible.height());
        case GestureAction::maximizeWindow:
            return visible;
        case GestureAction::centerWindow:
            // Only the title bar is kept on screen; a wide window may overhang
            // both sides.
            return QRectF(visible.center().x() - window.width() * 0.5,
                          std::max(visible.center().y() - window.height() * 0.5, visible.top()), window.width(),
                          window.height());
        default:
            return std::nullopt;
    }
}

QRectF nextDisplayTarget(const QRectF& window, const QRectF& visible, const QRectF& next) {
    const double width = std::min(window.width(), next.width());
    const double height = std::min(window.height(), next.height());
    const double fx = relativePlace(window.left(), window.width(), visible.left(), visible.width());
    const double fy = relativePlace(window.top(), window.height(), visible.top(), visible.height());
    return QRectF(next.left() + fx * (next.width() - width), next.top() + fy * (next.height() - height), width, height);
}

}  // namespace glidra::WindowLayoutGeometry
