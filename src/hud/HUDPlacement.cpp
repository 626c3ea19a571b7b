#include "hud/HUDPlacement.h"

#include <QRectF>

#include <cmath>

namespace glidra {

namespace {

// Mirrors a rectangle top to bottom within the screen: the screen keeps its
// place, and the conversion is its own inverse.
QRectF flippedWithin(const QRectF& rect, const QRect& screen) {
    const double mirror = 2.0 * screen.y() + screen.height();
    return {rect.x(), mirror - rect.y() - rect.height(), rect.width(), rect.height()};
}

}  // namespace

QPoint hudTopLeft(HUDPosition position, const HUDScreen& screen, const QSize& size,
                  const std::optional<QRect>& anchor) {
    const QRectF frame = flippedWithin(QRectF(screen.availableGeometry), screen.geometry);
    std::optional<QRectF> flippedAnchor;
    if (anchor) flippedAnchor = flippedWithin(QRectF(*anchor), screen.geometry);
    const QPointF bottomLeft = origin(position, frame, QSizeF(size), flippedAnchor);
    const QRectF placed = flippedWithin(QRectF(bottomLeft, QSizeF(size)), screen.geometry);
    return {int(std::lround(placed.x())), int(std::lround(placed.y()))};
}

std::optional<HUDScreen> screenUnderPointer(const HUDScreens& screens) {
    const QPoint pointer = screens.pointer();
    for (const HUDScreen& screen : screens.screens()) {
        if (screen.geometry.contains(pointer)) return screen;
    }
    return screens.primaryScreen();
}

std::optional<HUDScreen> screenShowing(const QRect& icon, const HUDScreens& screens) {
    if (icon.isEmpty()) return std::nullopt;
    for (const HUDScreen& screen : screens.screens()) {
        if (screen.geometry.contains(icon.center())) return screen;
    }
    return std::nullopt;
}

}  // namespace glidra
