#include "views/kit/RoundedBox.h"

#include <QPainter>

namespace glidra::kit {

RoundedBox::RoundedBox(KitColour fill, double radius, QWidget* parent)
    : QWidget(parent), fill_(fill), radius_(radius) {}

void RoundedBox::setFillOpacity(double opacity) {
    if (opacity == fillOpacity_) return;
    fillOpacity_ = opacity;
    update();
}

void RoundedBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(faded(kit::colour(fill_, palette()), float(fillOpacity_)));
    painter.drawRoundedRect(QRectF(rect()), radius_, radius_);
}

}  // namespace glidra::kit
