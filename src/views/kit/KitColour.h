#pragma once

#include "common/EnumTable.h"

#include <QColor>
#include <QPalette>

namespace glidra::kit {

// The named colours the views ask for, light and dark. The hierarchy of
// foreground styles and the semantic backgrounds follow the palette; the
// system colours are fixed per appearance.
enum class KitColour {
    primary,
    secondary,
    tertiary,
    quaternary,
    quaternaryFill,
    separator,
    accent,
    windowBackground,
    controlBackground,
    material,  // the HUD's translucent backing
    red,
    orange,
    yellow,
    green,
    mint,
    teal,
    cyan,
    blue,
    indigo,
    purple,
    pink,
    brown,
    gray,
    white,
    black,
};

// A colour whose only part is its alpha, for the rows that take the rest
// from the palette.
constexpr QRgb alphaOnly(int alpha) { return QRgb(unsigned(alpha) << 24); }

}  // namespace glidra::kit

namespace glidra {

template <>
struct EnumTable<kit::KitColour> {
    // With a palette role, the colour is that role's with the alpha of
    // `light` or `dark`; with NoRole it is `light` or `dark` as they stand.
    struct Row {
        kit::KitColour value;
        const char* raw;
        QPalette::ColorRole role;
        QRgb light;
        QRgb dark;
    };
    static constexpr Row cases[] = {
        {kit::KitColour::primary, "primary", QPalette::WindowText, kit::alphaOnly(217), kit::alphaOnly(217)},
        {kit::KitColour::secondary, "secondary", QPalette::WindowText, kit::alphaOnly(128), kit::alphaOnly(140)},
        {kit::KitColour::tertiary, "tertiary", QPalette::WindowText, kit::alphaOnly(66), kit::alphaOnly(64)},
        {kit::KitColour::quaternary, "quaternary", QPalette::WindowText, kit::alphaOnly(26), kit::alphaOnly(26)},
        {kit::KitColour::quaternaryFill, "quaternaryFill", QPalette::WindowText, kit::alphaOnly(13),
         kit::alphaOnly(20)},
        {kit::KitColour::separator, "separator", QPalette::WindowText, kit::alphaOnly(26), kit::alphaOnly(26)},
        {kit::KitColour::accent, "accent", QPalette::Highlight, kit::alphaOnly(255), kit::alphaOnly(255)},
        {kit::KitColour::windowBackground, "windowBackground", QPalette::Window, kit::alphaOnly(255),
         kit::alphaOnly(255)},
        {kit::KitColour::controlBackground, "controlBackground", QPalette::Base, kit::alphaOnly(255),
         kit::alphaOnly(255)},
        {kit::KitColour::material, "material", QPalette::Window, kit::alphaOnly(240), kit::alphaOnly(235)},
        {kit::KitColour::red, "red", QPalette::NoRole, 0xffff3b30, 0xffff453a},
        {kit::KitColour::orange, "orange", QPalette::NoRole, 0xffff9500, 0xffff9f0a},
        {kit::KitColour::yellow, "yellow", QPalette::NoRole, 0xffffcc00, 0xffffd60a},
        {kit::KitColour::green, "green", QPalette::NoRole, 0xff28cd41, 0xff32d74b},
        {kit::KitColour::mint, "mint", QPalette::NoRole, 0xff00c7be, 0xff66d4cf},
        {kit::KitColour::teal, "teal", QPalette::NoRole, 0xff59adc4, 0xff6ac4dc},
        {kit::KitColour::cyan, "cyan", QPalette::NoRole, 0xff55bef0, 0xff5ac8f5},
        {kit::KitColour::blue, "blue", QPalette::NoRole, 0xff007aff, 0xff0a84ff},
        {kit::KitColour::indigo, "indigo", QPalette::NoRole, 0xff5856d6, 0xff5e5ce6},
        {kit::KitColour::purple, "purple", QPalette::NoRole, 0xffaf52de, 0xffbf5af2},
        {kit::KitColour::pink, "pink", QPalette::NoRole, 0xffff2d55, 0xffff375f},
        {kit::KitColour::brown, "brown", QPalette::NoRole, 0xffa2845e, 0xffac8e68},
        {kit::KitColour::gray, "gray", QPalette::NoRole, 0xff8e8e93, 0xff98989d},
        {kit::KitColour::white, "white", QPalette::NoRole, 0xffffffff, 0xffffffff},
        {kit::KitColour::black, "black", QPalette::NoRole, 0xff000000, 0xff000000},
    };
};

}  // namespace glidra

namespace glidra::kit {

// Dark when the palette's base is of low lightness; the desktop offers no
// colour-scheme signal, so painted widgets repaint on QEvent::PaletteChange.
bool isDark(const QPalette& palette);

// The named colour for a palette, in its active group unless one is given.
QColor colour(KitColour named, const QPalette& palette, QPalette::ColorGroup group = QPalette::Active);

// A colour drawn at a fraction of its own opacity.
QColor faded(QColor colour, float opacity);

}  // namespace glidra::kit
