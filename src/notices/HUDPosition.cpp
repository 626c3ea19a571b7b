#include "notices/HUDPosition.h"

#include <QHashFunctions>
#include <QLatin1StringView>

#include <algorithm>
#include <cmath>
#include <limits>

namespace glidra {

namespace {

// The icon's frame is only worth following when it is a real rectangle: not
// empty, and neither null (non-finite origin) nor the infinite rectangle.
bool isUsableAnchor(const QRectF& anchor) {
    const QRectF r = anchor.normalized();
    const double huge = std::numeric_limits<double>::max();
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height()) &&
           r.width() > 0 && r.height() > 0 && r.width() < huge && r.height() < huge;
}

constexpr double topMargin = 60;     // below the top limit for top
constexpr double bottomMargin = 60;  // above the frame's bottom for bottom
constexpr double cornerMargin = 16;  // from the top-right corner
constexpr double anchorGap = 8;      // between the icon and the panel

}  // namespace

QString title(HUDPosition position) { return enumTitle(position); }

QPointF origin(HUDPosition position, const QRectF& visibleFrame, const QSizeF& size,
               const std::optional<QRectF>& anchor) {
    const double minX = visibleFrame.x();
    const double minY = visibleFrame.y();
    const double maxX = visibleFrame.x() + visibleFrame.width();
    const double maxY = visibleFrame.y() + visibleFrame.height();
    const double w = size.width();
    const double h = size.height();

    // The highest origin at which the panel still fits below the frame's top.
    const double topLimit = std::max(minY, maxY - h);
    const double centredX = visibleFrame.center().x() - w / 2;

    double x = centredX;
    double y = topLimit - topMargin;
    switch (position) {
        case HUDPosition::top:
            break;
        case HUDPosition::middle:
            y = visibleFrame.center().y() - h / 2;
            break;
        case HUDPosition::bottom:
            y = minY + bottomMargin;
            break;
        case HUDPosition::topRight:
            x = maxX - w - cornerMargin;
            y = topLimit - cornerMargin;
            break;
        case HUDPosition::menuBarIcon:
            if (anchor && isUsableAnchor(*anchor)) {
                const QRectF icon = anchor->normalized();
                x = icon.center().x() - w / 2;
                y = icon.y() - h - anchorGap;
            }
            break;
    }

    // Raise first, then lower: a panel larger than the frame ends up at the
    // frame's left or bottom edge.
    x = std::min(std::max(x, minX), std::max(minX, maxX - w));
    y = std::min(std::max(y, minY), topLimit);
    return {x, y};
}

size_t qHash(HUDPosition position, size_t seed) noexcept {
    return qHash(QLatin1StringView(enumRow(position).raw), seed);
}

}  // namespace glidra
