#include "views/kit/SymbolView.h"

#include "views/kit/Ground.h"
#include "views/kit/Symbols.h"

#include <QPainter>

namespace glidra::kit {

SymbolView::SymbolView(const QString& symbol, KitColour colour, QWidget* parent)
    : QWidget(parent), symbol_(symbol), colour_(colour) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolView::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    update();
}

void SymbolView::setColour(KitColour colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
}

QSize SymbolView::sizeHint() const {
    const int side = fontMetrics().height();
    return {side, side};
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor tint =
        isEnabled() ? kit::colourOn(colour_, this) : palette().color(QPalette::Disabled, QPalette::WindowText);
    paintSymbol(painter, QRectF(rect()).adjusted(1, 1, -1, -1), symbol_, tint);
}

}  // namespace glidra::kit
