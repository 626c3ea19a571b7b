#include "views/kit/KitColour.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace glidra::kit {

bool isDark(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 127; }

QColor faded(QColor colour, float opacity) {
    colour.setAlphaF(colour.alphaF() * opacity);
    return colour;
}

QColor over(const QColor& top, const QColor& bottom) {
    const float alpha = top.alphaF();
    const auto mix = [alpha](float a, float b) { return a * alpha + b * (1 - alpha); };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()));
}

namespace {

// Relative luminance of an opaque sRGB colour.
double luminance(const QColor& colour) {
    const auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// The colour as it is painted: 8 bits a channel.
QColor painted(const QColor& colour) { return QColor::fromRgba(colour.rgba()); }

double lowestContrast(const QColor& ink, const std::vector<QColor>& grounds) {
    double lowest = std::numeric_limits<double>::infinity();
    for (const QColor& ground : grounds) lowest = std::min(lowest, contrastRatio(ink, ground));
    return lowest;
}

QColor legibleOn(const QColor& ink, const std::vector<QColor>& grounds, double least) {
    if (auto shifted = leastShifted(ink, [&](const QColor& c) { return lowestContrast(c, grounds) >= least; })) {
        return *shifted;
    }
    QColor black(Qt::black);
    QColor white(Qt::white);
    black.setAlpha(ink.alpha());
    white.setAlpha(ink.alpha());
    return lowestContrast(black, grounds) >= lowestContrast(white, grounds) ? black : white;
}

// A style of the hierarchy, the palette's text at some opacity, reads by
// more of it: the same ink, only less see-through. When even opaque it does
// not read, its lightness shifts too.
QColor legibleFor(const KitColourRow& row, QColor ink, const std::vector<QColor>& grounds) {
    const auto enough = [&](const QColor& c) { return lowestContrast(c, grounds) >= row.leastContrast; };
    if (row.role != QPalette::NoRole && ink.alpha() < 255) {
        if (enough(ink)) return ink;
        QColor opaque = ink;
        opaque.setAlpha(255);
        if (!enough(opaque)) return legibleOn(opaque, grounds, row.leastContrast);
        int tooLittle = ink.alpha();
        int sufficient = 255;
        while (sufficient - tooLittle > 1) {
            const int middle = (sufficient + tooLittle) / 2;
            QColor candidate = ink;
            candidate.setAlpha(middle);
            (enough(candidate) ? sufficient : tooLittle) = middle;
        }
        ink.setAlpha(sufficient);
        return ink;
    }
    return legibleOn(ink, grounds, row.leastContrast);
}

}  // namespace

QColor colour(KitColour named, const QPalette& palette, QPalette::ColorGroup group) {
    return colourOnGrounds(named, palette, {}, group);
}

QColor colourOnGrounds(KitColour named, const QPalette& palette, std::initializer_list<QColor> grounds,
                       QPalette::ColorGroup group) {
    const auto& row = enumRow(named);
    const QRgb chosen = isDark(palette) ? row.dark : row.light;
    QColor result = QColor::fromRgba(chosen);
    if (row.role != QPalette::NoRole) {
        result = palette.color(group, row.role);
        result.setAlpha(qAlpha(chosen) * result.alpha() / 255);
    }
    if (row.leastContrast <= 0) return result;
    std::vector<QColor> all{palette.color(group, QPalette::Window), palette.color(group, QPalette::Base)};
    all.insert(all.end(), grounds.begin(), grounds.end());
    return legibleFor(row, result, all);
}

double contrastRatio(const QColor& ink, const QColor& background) {
    const QColor ground = over(background, Qt::white);
    const double a = luminance(over(ink, ground));
    const double b = luminance(ground);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::optional<QColor> leastShifted(const QColor& colour, const std::function<bool(const QColor&)>& enough) {
    if (enough(colour)) return colour;
    const float hue = colour.hslHueF();
    const float saturation = colour.hslSaturationF();
    const float lightness = colour.lightnessF();
    const auto shifted = [&](float towards, float share) {
        return painted(
            QColor::fromHslF(hue, saturation, lightness + (towards - lightness) * share, colour.alphaF()).toRgb());
    };
    // Towards black and towards white: the smallest share of the way that
    // is enough, where the end of the way is.
    std::optional<std::pair<float, QColor>> best;
    for (const float end : {0.0f, 1.0f}) {
        if (!enough(shifted(end, 1))) continue;
        float sufficient = 1;
        float tooLittle = 0;
        for (int step = 0; step < 12; ++step) {
            const float middle = (sufficient + tooLittle) / 2;
            (enough(shifted(end, middle)) ? sufficient : tooLittle) = middle;
        }
        if (!best || sufficient < best->first) best.emplace(sufficient, shifted(end, sufficient));
    }
    if (!best) return std::nullopt;
    return best->second;
}

QColor legible(const QColor& ink, std::initializer_list<QColor> backgrounds, double least) {
    return legibleOn(ink, std::vector<QColor>(backgrounds), least);
}

QColor legible(const QColor& ink, const std::vector<QColor>& backgrounds, double least) {
    return legibleOn(ink, backgrounds, least);
}

QColor accentOver(const QPalette& palette, std::initializer_list<QColor> tints) {
    QColor window = palette.color(QPalette::Window);
    QColor base = palette.color(QPalette::Base);
    for (const QColor& tint : tints) {
        window = over(tint, window);
        base = over(tint, base);
    }
    return legible(colour(KitColour::accent, palette), {window, base}, graphicContrast);
}

}  // namespace glidra::kit
