#include "hud/HUDView.h"

#include "views/kit/KitColour.h"
#include "views/kit/Symbols.h"
#include "views/kit/TextStyle.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace glidra {

HUDView::HUDView(const QSize& size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void HUDView::setDrawsCapsule(bool draws) {
    if (draws == drawsCapsule_) return;
    drawsCapsule_ = draws;
    update();
}

void HUDView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (drawsCapsule_) {
        const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const double radius = capsule.height() / 2;
        painter.setBrush(kit::colour(kit::KitColour::material, palette()));
        painter.setPen(QPen(kit::colour(kit::KitColour::separator, palette()), 1));
        painter.drawRoundedRect(capsule, radius, radius);
    }
    const QRectF row = QRectF(rect()).adjusted(horizontalPadding, 0, -horizontalPadding, 0);
    paintContent(painter, row);
}

QFont HUDView::textFont() const { return kit::font(kit::TextStyle::callout, QFont::Medium, font()); }

void HUDView::paintProgress(QPainter& painter, const QRectF& area, double fraction) const {
    if (!std::isfinite(fraction)) fraction = 0;
    fraction = std::clamp(fraction, 0.0, 1.0);
    constexpr double thickness = 6;
    const QRectF track(area.x(), area.center().y() - thickness / 2, area.width(), thickness);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kit::colour(kit::KitColour::quaternary, palette()));
    painter.drawRoundedRect(track, thickness / 2, thickness / 2);
    if (fraction > 0) {
        QRectF filled = track;
        filled.setWidth(std::max(thickness, track.width() * fraction));
        painter.setBrush(kit::colour(kit::KitColour::primary, palette()));
        painter.drawRoundedRect(filled, thickness / 2, thickness / 2);
    }
    painter.restore();
}

void HUDView::paintTabularText(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text) {
    const QFontMetricsF metrics(painter.font());
    double digitAdvance = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        digitAdvance = std::max(digitAdvance, metrics.horizontalAdvance(QLatin1Char(digit)));
    }
    const auto advance = [&](QChar c) { return c.isDigit() ? digitAdvance : metrics.horizontalAdvance(c); };
    double width = 0;
    for (const QChar c : text) width += advance(c);

    double x = box.x();
    if (alignment & Qt::AlignRight) x = box.right() - width;
    if (alignment & Qt::AlignHCenter) x = box.center().x() - width / 2;
    const double baseline = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    for (const QChar c : text) {
        const double cell = advance(c);
        // Digits sit centred in their cell.
        const double offset = c.isDigit() ? (cell - metrics.horizontalAdvance(c)) / 2 : 0;
        painter.drawText(QPointF(x + offset, baseline), QString(c));
        x += cell;
    }
}

void HUDView::paintSymbol(QPainter& painter, const QRectF& slot, const QString& symbol, const QColor& colour) const {
    const double side = std::min(symbolSide, slot.width());
    const QRectF box(slot.center().x() - side / 2, slot.center().y() - side / 2, side, side);
    kit::paintSymbol(painter, box, symbol, colour);
}

}  // namespace glidra
