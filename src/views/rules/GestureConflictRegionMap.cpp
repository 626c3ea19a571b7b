#include "views/rules/GestureConflictRegionMap.h"

#include "views/kit/Ground.h"
#include "views/kit/KitColour.h"
#include "views/kit/StyledLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

constexpr double padRadius = 12;
constexpr double outlineWidth = 1.5;
constexpr float firstFill = 0.12f;
constexpr float secondFill = 0.12f;
constexpr float overlapFill = 0.5f;

std::vector<NormalizedRegionRect> layer(const std::optional<std::vector<NormalizedRegionRect>>& list,
                                        const NormalizedRegionRect& single) {
    return list ? *list : std::vector<NormalizedRegionRect>{single};
}

// The drawing itself, painted back to front: pad, rule A, rule B, overlap.
class RegionMapPad final : public QWidget {
public:
    RegionMapPad(const GestureRuleConflict& conflict, QWidget* parent)
        : QWidget(parent),
          first_(GestureConflictRegionMap::firstLayer(conflict)),
          second_(GestureConflictRegionMap::secondLayer(conflict)),
          overlap_(GestureConflictRegionMap::overlapLayer(conflict)) {
        setObjectName(QStringLiteral("regionMapPad"));
        setFixedHeight(GestureConflictRegionMap::mapHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override { return {240, GestureConflictRegionMap::mapHeight}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = palette();
        const QRectF pad(rect());
        const QColor padFill = kit::faded(kit::colour(kit::KitColour::quaternary, pal), 0.4f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(padFill);
        painter.drawRoundedRect(pad, padRadius, padRadius);

        // Each outline stands out from what lies around it: the pad, and for
        // the overlap the two rules' fills, which it always lies in.
        const QColor padGround = kit::over(padFill, kit::groundOf(this));
        const QColor first = kit::colourOnGrounds(kit::KitColour::blueMark, pal, {padGround});
        const QColor overFirst = kit::over(kit::faded(first, firstFill), padGround);
        const QColor second = kit::colourOnGrounds(kit::KitColour::purpleMark, pal, {padGround, overFirst});
        const QColor overBoth = kit::over(kit::faded(second, secondFill), overFirst);
        const QColor overlap = kit::colourOnGrounds(kit::KitColour::orangeMark, pal, {overBoth});
        drawLayer(painter, first_, first, first, false, firstFill);
        drawLayer(painter, second_, second, second, true, secondFill);
        // The outline carries the contrast; the fill keeps the orange the
        // legend names, which the darkened mark would turn brown.
        drawLayer(painter, overlap_, overlap, kit::colour(kit::KitColour::orange, pal), false, overlapFill);

        painter.setPen(QPen(kit::faded(kit::colour(kit::KitColour::secondary, pal), 0.3f), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(pad.adjusted(0.5, 0.5, -0.5, -0.5), padRadius - 0.5, padRadius - 0.5);
    }

private:
    void drawLayer(QPainter& painter, const std::vector<NormalizedRegionRect>& rects, const QColor& colour,
                   const QColor& fill, bool dashed, float fillOpacity) const {
        QPen outline(colour, outlineWidth);
        // Dash lengths are in units of the pen width: 5 on, 3 off.
        if (dashed) outline.setDashPattern({5 / outlineWidth, 3 / outlineWidth});
        painter.setPen(outline);
        painter.setBrush(kit::faded(fill, fillOpacity));
        for (const auto& rect : rects) painter.drawRect(GestureConflictRegionMap::placement(rect, size()));
    }

    std::vector<NormalizedRegionRect> first_;
    std::vector<NormalizedRegionRect> second_;
    std::vector<NormalizedRegionRect> overlap_;
};

}  // namespace

GestureConflictRegionMap::GestureConflictRegionMap(const GestureRuleConflict& conflict, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("regionMap"));
    setAccessibleName(tr("触控板区域交集"));
    setAccessibleDescription(tr("%1 处重叠区域").arg(overlapLayer(conflict).size()));

    auto* legend = new QHBoxLayout;
    legend->setContentsMargins(0, 0, 0, 0);
    legend->setSpacing(16);
    legend->addStretch(1);
    legend->addWidget(new kit::StyledLabel(tr("A 实线"), kit::TextStyle::caption, kit::KitColour::blueText));
    legend->addWidget(new kit::StyledLabel(tr("B 虚线"), kit::TextStyle::caption, kit::KitColour::purpleText));
    legend->addWidget(new kit::StyledLabel(tr("橙色：重叠区域"), kit::TextStyle::caption, kit::KitColour::orangeText));
    legend->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(new RegionMapPad(conflict, this));
    layout->addLayout(legend);
}

std::vector<NormalizedRegionRect> GestureConflictRegionMap::firstLayer(const GestureRuleConflict& conflict) {
    return layer(conflict.firstRegions, conflict.firstRegion);
}

std::vector<NormalizedRegionRect> GestureConflictRegionMap::secondLayer(const GestureRuleConflict& conflict) {
    return layer(conflict.secondRegions, conflict.secondRegion);
}

std::vector<NormalizedRegionRect> GestureConflictRegionMap::overlapLayer(const GestureRuleConflict& conflict) {
    return layer(conflict.intersections, conflict.intersection);
}

QRectF GestureConflictRegionMap::placement(const NormalizedRegionRect& rect, QSizeF size) {
    const double w = size.width();
    const double h = size.height();
    const double width = std::max(double(rect.maxX - rect.minX) * w, 1.0);
    const double height = std::max(double(rect.maxY - rect.minY) * h, 1.0);
    const QPointF centre(double(rect.minX + rect.maxX) * 0.5 * w, (1 - double(rect.minY + rect.maxY) * 0.5) * h);
    return {centre.x() - width / 2, centre.y() - height / 2, width, height};
}

}  // namespace glidra
