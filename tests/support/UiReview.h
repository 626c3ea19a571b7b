#pragma once

// Palettes and review pictures for the widget tests.

#include "views/kit/KitColour.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace glidra::test {

inline QPalette lightPalette() {
    QPalette palette(QColor(0xec, 0xec, 0xec));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0x00, 0x7a, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

inline QPalette darkPalette() {
    QPalette palette(QColor(0x32, 0x32, 0x32));
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

// Fusion's own light palette, the one Qt gives without a desktop theme.
inline QPalette fusionPalette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// A dark scheme with a deep highlight, as qt6ct's "darker" has.
inline QPalette deepHighlightDarkPalette() {
    QPalette palette(QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, QColor(0xdd, 0xdd, 0xdd));
    palette.setColor(QPalette::Highlight, QColor(0x12, 0x60, 0x8a));
    palette.setColor(QPalette::HighlightedText, QColor(0xf9, 0xf9, 0xf9));
    return palette;
}

// qt6ct's "darker" scheme as it ships: a window darker than its fields, and
// placeholders of white at half opacity.
inline QPalette qt6ctDarkerPalette() {
    QPalette palette;
    const std::pair<QPalette::ColorRole, QRgb> roles[] = {
        {QPalette::WindowText, 0xffffffff},    {QPalette::Button, 0xff424245},
        {QPalette::Light, 0xff979797},         {QPalette::Midlight, 0xff5e5c5b},
        {QPalette::Dark, 0xff302f2e},          {QPalette::Mid, 0xff4a4947},
        {QPalette::Text, 0xffffffff},          {QPalette::BrightText, 0xffffffff},
        {QPalette::ButtonText, 0xffffffff},    {QPalette::Base, 0xff3d3d3d},
        {QPalette::Window, 0xff222020},        {QPalette::Shadow, 0xffe7e4e0},
        {QPalette::Highlight, 0xff12608a},     {QPalette::HighlightedText, 0xfff9f9f9},
        {QPalette::Link, 0xff0986d3},          {QPalette::LinkVisited, 0xffa70b06},
        {QPalette::AlternateBase, 0xff5c5b5a}, {QPalette::PlaceholderText, 0x80ffffff},
    };
    for (const auto& [role, rgba] : roles) palette.setColor(role, QColor::fromRgba(rgba));
    return palette;
}

// The palettes a view must read well in, by name.
inline std::vector<std::pair<const char*, QPalette>> everyPalette() {
    return {{"test light", lightPalette()},
            {"test dark", darkPalette()},
            {"Fusion", fusionPalette()},
            {"dark, deep highlight", deepHighlightDarkPalette()},
            {"qt6ct darker", qt6ctDarkerPalette()}};
}

// How well the tinted marks in a region of a picture stand out: the best
// contrast of its coloured pixels to the region's most common colour, its
// background. Text and other grey pixels do not count.
inline double tintedMarkContrast(const QImage& picture, const QRect& region) {
    std::map<QRgb, int> counts;
    const QRect area = region.intersected(picture.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[picture.pixel(x, y)];
    if (counts.empty()) return 0;
    const QColor background =
        QColor::fromRgb(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                            return a.second < b.second;
                        })->first);
    double best = 1;
    for (const auto& [rgb, count] : counts) {
        const QColor pixel = QColor::fromRgb(rgb);
        if (pixel.hsvSaturation() < 90) continue;
        best = std::max(best, kit::contrastRatio(pixel, background));
    }
    return best;
}

// Sets the application palette for a scope, as a theme change does; the
// widgets hear of it through posted events, delivered here.
class ScopedPalette {
public:
    explicit ScopedPalette(const QPalette& palette) : previous_(QApplication::palette()) { apply(palette); }
    ~ScopedPalette() { apply(previous_); }
    ScopedPalette(const ScopedPalette&) = delete;
    ScopedPalette& operator=(const ScopedPalette&) = delete;

private:
    static void apply(const QPalette& palette) {
        QApplication::setPalette(palette);
        QCoreApplication::sendPostedEvents();
    }

    QPalette previous_;
};

// A widget's picture at twice its size (as on a high-density screen), over
// a backdrop in its palette's window colour with a darker band, so that
// translucent and rounded edges show.
inline QImage pictureOf(QWidget& widget) {
    constexpr int margin = 16;
    const QSize size = widget.size() + QSize(2 * margin, 2 * margin);
    QImage picture(size * 2, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(2);
    const QColor window = widget.palette().color(QPalette::Window);
    picture.fill(window);
    QPainter painter(&picture);
    painter.fillRect(0, size.height() / 2, size.width(), size.height() / 2, window.darker(115));
    widget.render(&painter, QPoint(margin, margin), QRegion(), QWidget::DrawChildren);
    return picture;
}

// Saves a picture under the build tree for a person to look at.
inline QString saveForReview(const QImage& picture, const QString& name) {
    const QString folder = QStringLiteral(GLIDRA_REVIEW_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    picture.save(path);
    return path;
}

}  // namespace glidra::test
