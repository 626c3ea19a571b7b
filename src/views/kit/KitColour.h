#pragma once

#include "common/EnumTable.h"

#include <QColor>
#include <QPalette>

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace glidra::kit {

// The named colours the views ask for, light and dark. The hierarchy of
// foreground styles and the semantic backgrounds follow the palette; the
// system colours are fixed per appearance. The accent is the palette's
// highlight made legible on the window and on fields: `accent` for symbols,
// marks and rings, `accentText` for text. The secondary style is made legible
// as text the same way, by its opacity, and the orange, blue and purple that
// tell conflicting rules apart keep their hue with the lightness made legible:
// `...Mark` for symbols, lines and fills, `...Text` for text.
enum class KitColour {
    primary,
    secondary,
    tertiary,
    quaternary,
    quaternaryFill,
    separator,
    accent,
    accentText,
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
    orangeMark,
    orangeText,
    blueMark,
    blueText,
    purpleMark,
    purpleText,
};

// Least contrast ratios (WCAG 2): symbols and other graphics, and text.
constexpr double graphicContrast = 3.0;
constexpr double textContrast = 4.5;

// A colour whose only part is its alpha, for the rows that take the rest
// from the palette.
constexpr QRgb alphaOnly(int alpha) { return QRgb(unsigned(alpha) << 24); }

// With a palette role, the colour is that role's with the alpha of `light`
// or `dark`; with NoRole it is `light` or `dark` as they stand. A least
// contrast makes it legible on the palette's window and base: a translucent
// role by more opacity, any other by its lightness (legible()).
struct KitColourRow {
    KitColour value;
    const char* raw;
    QPalette::ColorRole role;
    QRgb light;
    QRgb dark;
    double leastContrast = 0;
};

}  // namespace glidra::kit

namespace glidra {

template <>
struct EnumTable<kit::KitColour> {
    using Row = kit::KitColourRow;
    static constexpr Row cases[] = {
        {kit::KitColour::primary, "primary", QPalette::WindowText, kit::alphaOnly(217), kit::alphaOnly(217)},
        {kit::KitColour::secondary, "secondary", QPalette::WindowText, kit::alphaOnly(128), kit::alphaOnly(140),
         kit::textContrast},
        {kit::KitColour::tertiary, "tertiary", QPalette::WindowText, kit::alphaOnly(66), kit::alphaOnly(64)},
        {kit::KitColour::quaternary, "quaternary", QPalette::WindowText, kit::alphaOnly(26), kit::alphaOnly(26)},
        {kit::KitColour::quaternaryFill, "quaternaryFill", QPalette::WindowText, kit::alphaOnly(13),
         kit::alphaOnly(20)},
        {kit::KitColour::separator, "separator", QPalette::WindowText, kit::alphaOnly(26), kit::alphaOnly(26)},
        {kit::KitColour::accent, "accent", QPalette::Highlight, kit::alphaOnly(255), kit::alphaOnly(255),
         kit::graphicContrast},
        {kit::KitColour::accentText, "accentText", QPalette::Highlight, kit::alphaOnly(255), kit::alphaOnly(255),
         kit::textContrast},
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
        {kit::KitColour::orangeMark, "orangeMark", QPalette::NoRole, 0xffff9500, 0xffff9f0a, kit::graphicContrast},
        {kit::KitColour::orangeText, "orangeText", QPalette::NoRole, 0xffff9500, 0xffff9f0a, kit::textContrast},
        {kit::KitColour::blueMark, "blueMark", QPalette::NoRole, 0xff007aff, 0xff0a84ff, kit::graphicContrast},
        {kit::KitColour::blueText, "blueText", QPalette::NoRole, 0xff007aff, 0xff0a84ff, kit::textContrast},
        {kit::KitColour::purpleMark, "purpleMark", QPalette::NoRole, 0xffaf52de, 0xffbf5af2, kit::graphicContrast},
        {kit::KitColour::purpleText, "purpleText", QPalette::NoRole, 0xffaf52de, 0xffbf5af2, kit::textContrast},
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

// `top` painted over `bottom`, as one opaque colour.
QColor over(const QColor& top, const QColor& bottom);

// The contrast ratio of `ink`, painted over `background`, to the background:
// from 1 (none) to 21 (black on white).
double contrastRatio(const QColor& ink, const QColor& background);

// `colour` with its hue and saturation, lightened or darkened as little as
// `enough` allows; nothing when neither black nor white is enough.
std::optional<QColor> leastShifted(const QColor& colour, const std::function<bool(const QColor&)>& enough);

// `ink` shifted as little as it takes to keep `least` contrast on every one
// of the backgrounds; black or white, whichever contrasts more, when no
// lightness does. The colours are judged as they are painted, in 8 bits.
QColor legible(const QColor& ink, std::initializer_list<QColor> backgrounds, double least);
QColor legible(const QColor& ink, const std::vector<QColor>& backgrounds, double least);

// The named colour for `palette`, legible as its row asks on the palette's
// window and base and on each of `grounds` too (the opaque colours it is
// drawn on); as colour() when the row asks for no contrast.
QColor colourOnGrounds(KitColour named, const QPalette& palette, std::initializer_list<QColor> grounds,
                       QPalette::ColorGroup group = QPalette::Active);

// The accent for a symbol or line on tints of the view's own, painted in
// order over the window or over a field: as legible there as `accent` is
// on the bare window and field.
QColor accentOver(const QPalette& palette, std::initializer_list<QColor> tints);

}  // namespace glidra::kit
