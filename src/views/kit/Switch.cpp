#include "views/kit/Switch.h"

#include "views/kit/KitColour.h"

#include <QPainter>

namespace glidra::kit {

namespace {
constexpr QSize trackSize(42, 24);
constexpr double knobDiameter = 18;
constexpr double knobMargin = 3;
}  // namespace

Switch::Switch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize Switch::sizeHint() const { return trackSize; }

bool Switch::hitButton(const QPoint& position) const { return rect().contains(position); }

void Switch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.5);
    const QRectF track(QPointF((width() - trackSize.width()) / 2.0, (height() - trackSize.height()) / 2.0),
                       QSizeF(trackSize));
    QColor fill = colour(isChecked() ? KitColour::blue : KitColour::gray, palette());
    if (!isChecked()) fill.setAlphaF(0.45f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);

    const double knobX = track.x() + (isChecked() ? track.width() - knobMargin - knobDiameter : knobMargin);
    const QRectF knob(knobX, track.y() + knobMargin, knobDiameter, knobDiameter);
    painter.setBrush(QColor(0, 0, 0, 31));
    painter.drawEllipse(knob.translated(0, 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob);

    if (hasFocus()) {
        QColor ring = colour(KitColour::accent, palette());
        ring.setAlphaF(0.6f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.adjusted(-1, -1, 1, 1), track.height() / 2 + 1, track.height() / 2 + 1);
    }
}

}  // namespace glidra::kit
