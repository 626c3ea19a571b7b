#include "hud/VideoProgressHUDView.h"

#include "actions/PlaybackTime.h"
#include "views/kit/KitColour.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

constexpr double symbolWidth = 22;
constexpr double spacing = 12;
constexpr double columnSpacing = 6;
constexpr double barHeight = 6;

}  // namespace

VideoProgressHUDView::VideoProgressHUDView(const BrowserVideoState& state, QWidget* parent)
    : HUDView(capsuleSize, parent), state_(state) {
    setObjectName(QStringLiteral("videoProgressHUDView"));
    setAccessibleName(tr("视频进度") + QLatin1Char(' ') + timeText());
}

QString VideoProgressHUDView::timeText() const {
    return formatPlaybackTime(state_.time) + QStringLiteral(" / ") + formatPlaybackTime(state_.duration);
}

double VideoProgressHUDView::fraction() const {
    if (!(state_.duration > 0) || !std::isfinite(state_.time)) return 0;
    return std::clamp(state_.time / state_.duration, 0.0, 1.0);
}

void VideoProgressHUDView::paintContent(QPainter& painter, const QRectF& row) {
    const QColor primary = kit::colour(kit::KitColour::primary, palette());
    paintSymbol(painter, QRectF(row.x(), row.y(), symbolWidth, row.height()), QStringLiteral("play.rectangle"),
                primary);

    const QFont font = textFont();
    const QFontMetricsF metrics(font);
    const double left = row.x() + symbolWidth + spacing;
    const double columnHeight = metrics.height() + columnSpacing + barHeight;
    const double top = row.center().y() - columnHeight / 2;
    painter.setFont(font);
    painter.setPen(primary);
    paintTabularText(painter, QRectF(left, top, row.right() - left, metrics.height()), Qt::AlignLeft, timeText());
    paintProgress(painter, QRectF(left, top + metrics.height() + columnSpacing, row.right() - left, barHeight),
                  fraction());
}

}  // namespace glidra
