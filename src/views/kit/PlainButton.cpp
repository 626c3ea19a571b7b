#include "views/kit/PlainButton.h"

#include "views/kit/Ground.h"

#include <QPainter>

namespace glidra::kit {

namespace {
constexpr int padding = 2;
}

PlainButton::PlainButton(const QString& text, TextStyle style, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setTextStyle(this, style);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PlainButton::sizeHint() const {
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(2 * padding, 2 * padding);
}

QSize PlainButton::minimumSizeHint() const { return sizeHint(); }

void PlainButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor ink =
        isEnabled() ? colourOn(KitColour::accentText, this) : palette().color(QPalette::Disabled, QPalette::WindowText);
    if (isDown()) ink.setAlphaF(ink.alphaF() * 0.6f);
    painter.setPen(ink);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        painter.setPen(QPen(faded(colour(KitColour::accent, palette()), 0.6f), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 4, 4);
    }
}

}  // namespace glidra::kit
