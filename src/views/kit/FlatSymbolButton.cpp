#include "views/kit/FlatSymbolButton.h"

#include "views/kit/Ground.h"
#include "views/kit/Symbols.h"

#include <QEnterEvent>
#include <QPainter>

namespace glidra::kit {

namespace {
constexpr int symbolSpacing = 6;
}  // namespace

FlatSymbolButton::FlatSymbolButton(const QString& symbol, const QString& text, KitColour colour, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), colour_(colour) {
    setText(text);
    setAccessibleName(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void FlatSymbolButton::setPadding(const QMargins& padding) {
    padding_ = padding;
    updateGeometry();
}

int FlatSymbolButton::symbolSide() const { return fontMetrics().height(); }

QSize FlatSymbolButton::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {padding_.left() + symbolSide() + symbolSpacing + textWidth + padding_.right(),
            padding_.top() + fontMetrics().height() + padding_.bottom()};
}

QSize FlatSymbolButton::minimumSizeHint() const { return sizeHint(); }

void FlatSymbolButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatSymbolButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FlatSymbolButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isEnabled() && (hovered_ || isDown())) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour(isDown() ? KitColour::quaternary : KitColour::quaternaryFill, palette()));
        painter.drawRoundedRect(QRectF(rect()).adjusted(4, 2, -4, -2), 6, 6);
    }
    const QColor tint = isEnabled() ? colourOn(colour_, this) : colour(KitColour::tertiary, palette());
    const QRect content = rect().marginsRemoved(padding_);
    const int side = symbolSide();
    const QRect symbolBox(content.left(), content.top() + (content.height() - side) / 2, side, side);
    paintSymbol(painter, QRectF(symbolBox).adjusted(1, 1, -1, -1), symbol_, tint);
    painter.setPen(tint);
    const QRect textBox(symbolBox.right() + 1 + symbolSpacing, content.top(),
                        content.right() - symbolBox.right() - symbolSpacing, content.height());
    painter.drawText(textBox, Qt::AlignLeading | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, textBox.width()));
    if (hasFocus()) {
        painter.setPen(QPen(colour(KitColour::accent, palette()), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(4, 2, -4, -2), 6, 6);
    }
}

}  // namespace glidra::kit
