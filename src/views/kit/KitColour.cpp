#include "views/kit/KitColour.h"

namespace glidra::kit {

bool isDark(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 127; }

QColor colour(KitColour named, const QPalette& palette, QPalette::ColorGroup group) {
    const auto& row = enumRow(named);
    const QRgb chosen = isDark(palette) ? row.dark : row.light;
    if (row.role == QPalette::NoRole) return QColor::fromRgba(chosen);
    QColor result = palette.color(group, row.role);
    result.setAlpha(qAlpha(chosen) * result.alpha() / 255);
    return result;
}

QColor faded(QColor colour, float opacity) {
    colour.setAlphaF(colour.alphaF() * opacity);
    return colour;
}

}  // namespace glidra::kit
