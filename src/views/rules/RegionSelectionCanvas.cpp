#include "views/rules/RegionSelectionCanvas.h"

#include "gestures/RegionQuickPreset.h"
#include "views/kit/KitColour.h"
#include "views/rules/RegionSelectionModel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

// A drag shorter than this on both axes is a tap.
constexpr double tapSlop = 3;
constexpr double padRadius = 16;

QColor faded(kit::KitColour named, const QPalette& palette, float opacity) {
    return kit::faded(kit::colour(named, palette), opacity);
}

bool isFinite(QPointF point) { return std::isfinite(point.x()) && std::isfinite(point.y()); }

float unitFloat(double value) { return float(std::clamp(value, 0.0, 1.0)); }

}  // namespace

RegionSelectionCanvas::RegionSelectionCanvas(RegionSelectionModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("regionSelectionCanvas"));
    setAccessibleName(tr("触控板区域示意图，可拖动框选，也可使用上方按钮选择"));
    setFixedHeight(fixedHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(&model_, &RegionSelectionModel::regionChanged, this, qOverload<>(&QWidget::update));
}

QSize RegionSelectionCanvas::sizeHint() const { return {400, fixedHeight}; }

void RegionSelectionCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragStart_ = event->position();
}

void RegionSelectionCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!dragStart_ || !(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    dragSelect(event->position());
}

void RegionSelectionCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragStart_) return QWidget::mouseReleaseEvent(event);
    dragSelect(event->position());
    tapSelect(event->position());
    dragStart_.reset();
}

void RegionSelectionCanvas::dragSelect(QPointF current) {
    const QPointF start = *dragStart_;
    const QPointF translation = current - start;
    if (!(std::abs(translation.x()) >= tapSlop || std::abs(translation.y()) >= tapSlop)) return;
    const double w = width();
    const double h = height();
    if (!isFinite(start) || !isFinite(current) || w <= 0 || h <= 0) return;

    const NormalizedRegionRect dragged{
        unitFloat(std::min(start.x(), current.x()) / w),
        unitFloat(1 - std::max(start.y(), current.y()) / h),
        unitFloat(std::max(start.x(), current.x()) / w),
        unitFloat(1 - std::min(start.y(), current.y()) / h),
    };
    model_.choose(GestureRegion::custom, {dragged});
}

void RegionSelectionCanvas::tapSelect(QPointF end) {
    const QPointF translation = end - *dragStart_;
    if (!(std::abs(translation.x()) < tapSlop && std::abs(translation.y()) < tapSlop)) return;
    const float x = float(end.x() / width());
    const float y = float(1 - end.y() / height());
    // In single precision a tap exactly on a grid line (x = 1/3 becomes
    // 0.33333334) falls in the outer cell.
    constexpr float oneThird = 1.0f / 3.0f;
    constexpr float twoThirds = 2.0f / 3.0f;
    const int column = x <= oneThird ? 0 : (x >= twoThirds ? 2 : 1);
    const int row = y >= twoThirds ? 0 : (y <= oneThird ? 2 : 1);
    // The presets are listed row by row from the top, as the cells are.
    const auto preset = enumAllCases<RegionQuickPreset>()[size_t(row * 3 + column)];
    model_.choose(GestureRegion::custom, {glidra::rect(preset, model_.percent())});
}

void RegionSelectionCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const double w = width();
    const double h = height();
    const QRectF pad(0, 0, w, h);

    painter.setPen(Qt::NoPen);
    painter.setBrush(faded(kit::KitColour::quaternary, pal, 0.45f));
    painter.drawRoundedRect(pad, padRadius, padRadius);

    QPen grid(faded(kit::KitColour::secondary, pal, 0.25f), 1);
    grid.setDashPattern({4, 4});
    painter.setPen(grid);
    for (const double x : {w / 3, w - w / 3}) painter.drawLine(QPointF(x, 0), QPointF(x, h));
    for (const double y : {h / 3, h - h / 3}) painter.drawLine(QPointF(0, y), QPointF(w, y));

    if (const auto region = NormalizedRegionRect::intersection(model_.rectangles())) {
        const double width = double(region->maxX - region->minX) * w;
        const double height = double(region->maxY - region->minY) * h;
        const QPointF centre(double(region->minX + region->maxX) / 2 * w,
                             (1 - double(region->minY + region->maxY) / 2) * h);
        const QRectF chosen(centre.x() - width / 2, centre.y() - height / 2, width, height);
        painter.setPen(Qt::NoPen);
        painter.setBrush(faded(kit::KitColour::accent, pal, 0.18f));
        painter.drawRoundedRect(chosen, 4, 4);
        // The border lies inside the region's edge.
        painter.setPen(QPen(kit::accentOver(pal, {faded(kit::KitColour::quaternary, pal, 0.45f),
                                                  faded(kit::KitColour::accent, pal, 0.18f)}),
                            2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(chosen.adjusted(1, 1, -1, -1), 3, 3);
    }

    painter.setPen(QPen(faded(kit::KitColour::secondary, pal, 0.3f), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(pad.adjusted(0.5, 0.5, -0.5, -0.5), padRadius - 0.5, padRadius - 0.5);
}

}  // namespace glidra
