#include "views/pages/PracticeTrackpadView.h"

#include "views/kit/KitColour.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace glidra {

namespace {

// One element for the whole drawing, named and valued, with no children.
class PracticeTrackpadAccessible final : public QAccessibleWidget {
public:
    explicit PracticeTrackpadAccessible(PracticeTrackpadView* view) : QAccessibleWidget(view, QAccessible::Graphic) {}

    QString text(QAccessible::Text kind) const override {
        const auto* view = static_cast<const PracticeTrackpadView*>(widget());
        if (kind == QAccessible::Name) return PracticeTrackpadView::tr("实时触点");
        if (kind == QAccessible::Value) return view->accessibleValue();
        return QAccessibleWidget::text(kind);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("glidra::PracticeTrackpadView") && object && object->isWidgetType()) {
        return new PracticeTrackpadAccessible(static_cast<PracticeTrackpadView*>(object));
    }
    return nullptr;
}

}  // namespace

PracticeTrackpadView::PracticeTrackpadView(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("practiceTrackpad"));
    setFixedHeight(drawingHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize PracticeTrackpadView::sizeHint() const { return {360, drawingHeight}; }

void PracticeTrackpadView::setPoints(std::vector<PracticeContactPoint> points) {
    if (points == points_) return;
    points_ = std::move(points);
    update();
    QAccessibleValueChangeEvent event(this, accessibleValue());
    QAccessible::updateAccessibility(&event);
}

void PracticeTrackpadView::setOrigin(std::optional<TouchPoint> origin) {
    if (origin == origin_) return;
    origin_ = origin;
    update();
}

void PracticeTrackpadView::setRegion(std::optional<NormalizedRegionRect> region) {
    if (region == region_) return;
    region_ = region;
    update();
}

QPointF PracticeTrackpadView::mapped(double x, double y, QSizeF size) {
    return {size.width() * x, size.height() * (1 - y)};
}

QString PracticeTrackpadView::accessibleValue() const {
    return QString::number(points_.size()) + tr(" 个触点，橙点为手势起点");
}

void PracticeTrackpadView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) update();
}

void PracticeTrackpadView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QSizeF size = this->size();
    const QRectF bounds(QPointF(0, 0), size);
    QPainterPath pad;
    pad.addRoundedRect(bounds, cornerRadius, cornerRadius);

    painter.save();
    painter.setClipPath(pad);
    painter.fillPath(pad, kit::colour(kit::KitColour::quaternary, pal));

    const QColor accent = kit::colour(kit::KitColour::accent, pal);
    if (region_) {
        const QPointF topLeft = mapped(region_->minX, region_->maxY, size);
        const QPointF bottomRight = mapped(region_->maxX, region_->minY, size);
        const QRectF area(topLeft, bottomRight);
        painter.fillRect(area, kit::faded(accent, 0.12f));
        QPen dashed(kit::accentOver(pal, {kit::colour(kit::KitColour::quaternary, pal), kit::faded(accent, 0.12f)}), 1);
        dashed.setDashPattern({5, 4});
        dashed.setMiterLimit(10);
        dashed.setJoinStyle(Qt::MiterJoin);
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    if (origin_) {
        const QPointF centre = mapped(origin_->x, origin_->y, size);
        painter.setPen(QPen(kit::colour(kit::KitColour::orange, pal), 2));
        painter.setBrush(Qt::NoBrush);
        const double r = originSize / 2 - 1;
        painter.drawEllipse(centre, r, r);
    }
    for (const auto& point : points_) {
        const QPointF centre = mapped(point.x, point.y, size);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kit::faded(accent, 0.8f));
        painter.drawEllipse(centre, dotSize / 2, dotSize / 2);
        painter.setPen(QPen(kit::faded(Qt::white, 0.7f), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, dotSize / 2 - 1, dotSize / 2 - 1);
    }
    if (points_.empty() && !origin_) {
        painter.setPen(kit::colour(kit::KitColour::secondary, pal));
        painter.drawText(bounds, Qt::AlignCenter, tr("在触控板上放下手指"));
    }
    painter.restore();

    painter.setPen(QPen(kit::faded(kit::colour(kit::KitColour::secondary, pal), 0.25f), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5, cornerRadius - 0.5);
}

}  // namespace glidra
