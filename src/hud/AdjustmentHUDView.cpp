#include "hud/AdjustmentHUDView.h"

#include "views/kit/KitColour.h"

#include <QPainter>

#include <cmath>

namespace glidra {

namespace {
constexpr double spacing = 12;
constexpr double symbolWidth = 22;
constexpr double percentWidth = 38;
}  // namespace

AdjustmentHUDView::AdjustmentHUDView(EdgeGesture::Side side, float value, QWidget* parent)
    : HUDView(capsuleSize, parent), side_(side), value_(value) {
    setObjectName(QStringLiteral("adjustmentHUDView"));
    setAccessibleName(barLabel() + QLatin1Char(' ') + percentText());
}

int AdjustmentHUDView::percent(float value) { return int(std::lround(value * 100.0f)); }

QString AdjustmentHUDView::symbolName() const {
    if (side_ == EdgeGesture::Side::brightness) return QStringLiteral("sun.max.fill");
    return value_ == 0 ? QStringLiteral("speaker.slash.fill") : QStringLiteral("speaker.wave.2.fill");
}

QString AdjustmentHUDView::percentText() const { return QString::number(percent(value_)) + QLatin1Char('%'); }

QString AdjustmentHUDView::barLabel() const { return side_ == EdgeGesture::Side::brightness ? tr("亮度") : tr("音量"); }

void AdjustmentHUDView::paintContent(QPainter& painter, const QRectF& row) {
    const QColor primary = kit::colour(kit::KitColour::primary, palette());
    paintSymbol(painter, QRectF(row.x(), row.y(), symbolWidth, row.height()), symbolName(), primary);
    const QRectF text(row.right() - percentWidth, row.y(), percentWidth, row.height());
    const double barLeft = row.x() + symbolWidth + spacing;
    paintProgress(painter, QRectF(barLeft, row.y(), text.x() - spacing - barLeft, row.height()), double(value_));
    painter.setFont(textFont());
    painter.setPen(primary);
    paintTabularText(painter, text, Qt::AlignRight, percentText());
}

}  // namespace glidra
