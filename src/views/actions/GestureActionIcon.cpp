#include "views/actions/GestureActionIcon.h"

#include "views/kit/Symbols.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

kit::KitColour categoryColour(GestureActionCategory category) {
    switch (category) {
        case GestureActionCategory::mouse:
            return kit::KitColour::teal;
        case GestureActionCategory::everyday:
        case GestureActionCategory::browsing:
            return kit::KitColour::blue;
        case GestureActionCategory::screenshots:
            return kit::KitColour::purple;
        case GestureActionCategory::applications:
            return kit::KitColour::indigo;
        case GestureActionCategory::music:
            return kit::KitColour::pink;
        case GestureActionCategory::video:
            return kit::KitColour::orange;
        case GestureActionCategory::editing:
            return kit::KitColour::green;
        case GestureActionCategory::custom:
            return kit::KitColour::gray;
    }
    return kit::KitColour::accent;
}

}  // namespace

GestureActionIcon::GestureActionIcon(GestureAction action, double size, QWidget* parent)
    : QWidget(parent), action_(action), size_(size) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
}

void GestureActionIcon::setAction(GestureAction action) {
    if (action == action_) return;
    action_ = action;
    update();
}

QSize GestureActionIcon::sizeHint() const {
    const int side = int(std::ceil(size_));
    return {side, side};
}

kit::KitColour GestureActionIcon::tint(GestureAction action) {
    for (const auto category : enumAllCases<GestureActionCategory>()) {
        const auto actions = categoryActions(category);
        if (std::find(actions.begin(), actions.end(), action) != actions.end()) return categoryColour(category);
    }
    return kit::KitColour::accent;
}

void GestureActionIcon::paint(QPainter& painter, const QPointF& topLeft, double size, GestureAction action,
                              const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(topLeft, QSizeF(size, size));
    // The colour's standard gradient: a little lighter at the top.
    const QColor base = kit::colour(tint(action), palette);
    QLinearGradient gradient(tile.topLeft(), tile.bottomLeft());
    gradient.setColorAt(0, base.lighter(112));
    gradient.setColorAt(1, base);
    const double radius = size * 0.23;
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(tile, radius, radius);
    const double glyph = size * 0.48;
    const QRectF symbolBox(tile.center() - QPointF(glyph / 2, glyph / 2), QSizeF(glyph, glyph));
    kit::paintSymbol(painter, symbolBox, symbolName(action), Qt::white);
    painter.restore();
}

void GestureActionIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QPointF(0, 0), size_, action_, palette());
}

}  // namespace glidra
