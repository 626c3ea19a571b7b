#include "actions/GestureAction.h"
#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/kit/Symbols.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>

namespace glidra::kit {
namespace {

// The symbols the notices of every executor, the controller and the views
// name, as the program's texts give them.
constexpr const char* noticeSymbols[] = {
    "app",
    "app.switcher",
    "arrow.left.arrow.right.square",
    "camera",
    "camera.viewfinder",
    "checkmark",
    "computermouse",
    "cup.and.saucer",
    "cup.and.saucer.fill",
    "desktopcomputer",
    "display.2",
    "doc.on.clipboard",
    "exclamationmark.circle",
    "eye",
    "eye.slash",
    "folder",
    "gearshape",
    "globe",
    "hand.draw",
    "hourglass",
    "info.circle",
    "keyboard",
    "light.max",
    "light.min",
    "lock",
    "lock.fill",
    "lock.open",
    "macwindow",
    "mic",
    "mic.slash",
    "mic.slash.fill",
    "moon.zzz",
    "play.rectangle",
    "play.slash",
    "rectangle.3.group",
    "rectangle.inset.filled",
    "sparkles",
    "speaker.slash",
    "speaker.slash.fill",
    "speaker.wave.2.fill",
    "square.stack.3d.up",
    "stop.circle",
    "sun.max",
    "sun.max.fill",
    "translate",
    "xmark.square",
};

constexpr const char* viewSymbols[] = {
    // Settings pages, sidebar, header, toolbar and setup guide.
    "hand.draw",
    "rectangle.split.3x1",
    "waveform.path",
    "gearshape",
    "pause.fill",
    "play.fill",
    "pause.circle",
    "rectangle.and.hand.point.up.left",
    "lock",
    "arrow.down.circle",
    "bubble.left.and.bubble.right",
    // Rule list, rule editor, regions, conflicts and advice.
    "plus",
    "exclamationmark.triangle",
    "info.circle",
    "checkmark.circle",
    "arrow.up.left",
    "arrow.up",
    "arrow.up.right",
    "arrow.left",
    "dot.scope",
    "arrow.right",
    "arrow.down.left",
    "arrow.down",
    "arrow.down.right",
    "arrow.up.left.and.arrow.down.right",
    "rectangle.dashed",
    "plus.square.dashed",
    // Action library tabs and pickers.
    "star",
    "computermouse",
    "slider.horizontal.3",
    "camera.viewfinder",
    "app",
    "music.note",
    "play.rectangle",
    "safari",
    "doc.text",
    "keyboard",
    "magnifyingglass",
    "xmark.circle.fill",
    "checkmark",
    "doc",
    "folder",
    "xmark.circle",
    "xmark",
    "exclamationmark.circle",
    "menubar.rectangle",
    "checkmark.square",
    // General page sections.
    "square.and.arrow.up",
    "square.and.arrow.down",
    "app.badge.checkmark",
    "cup.and.saucer",
    "cup.and.saucer.fill",
};

TEST(SymbolsTest, EveryRowNamesABundledIcon) {
    QSet<QString> names;
    for (const SymbolRow& row : symbolRows()) {
        const QString name = QString::fromLatin1(row.name);
        EXPECT_FALSE(names.contains(name)) << "twice: " << name;
        names.insert(name);
        const QString resource = symbolResource(name);
        ASSERT_TRUE(QFile::exists(resource)) << name << " -> " << resource;
        EXPECT_TRUE(QSvgRenderer(resource).isValid()) << resource;
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral(GLIDRA_SOURCE_DIR "/src/views/kit/icons/LICENSE")));

    // Only the icons the table names are bundled.
    QSet<QString> files;
    for (const SymbolRow& row : symbolRows()) files.insert(QString::fromLatin1(row.file));
    const QString folder = QStringLiteral(GLIDRA_SOURCE_DIR "/src/views/kit/icons/");
    QDirIterator svgs(folder, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
    while (svgs.hasNext()) {
        const QString file = svgs.next().mid(folder.size());
        EXPECT_TRUE(files.contains(file)) << "unused icon " << file;
    }
}

TEST(SymbolsTest, EveryNameTheCatalogueNoticesAndViewsUseResolves) {
    for (const GestureAction action : enumAllCases<GestureAction>()) {
        EXPECT_FALSE(symbolResource(symbolName(action)).isEmpty()) << enumRaw(action) << ": " << symbolName(action);
    }
    for (const char* name : noticeSymbols) EXPECT_FALSE(symbolResource(QString::fromLatin1(name)).isEmpty()) << name;
    for (const char* name : viewSymbols) EXPECT_FALSE(symbolResource(QString::fromLatin1(name)).isEmpty()) << name;
    EXPECT_TRUE(symbolResource(u"no.such.symbol").isEmpty());
}

// Symbol names in the program's sources (dotted lower-case literals that are
// no reverse-domain identifiers, log categories or file names) must all be in
// the table, so that no notice or view draws the placeholder.
TEST(SymbolsTest, EveryDottedSymbolLiteralInTheSourcesResolves) {
    const QRegularExpression literal(QStringLiteral(R"re("([a-z][a-z0-9]*(?:\.[a-z0-9]+)+)")re"));
    const QRegularExpression notSymbol(QStringLiteral(
        R"(^(com|org|io|net|dev|glidra)\.|\.(com|desktop|json|jsonl|js|svg|png|txt|conf|rules|service|lock|socket)$)"));
    int checked = 0;
    QDirIterator files(QStringLiteral(GLIDRA_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(file.readAll());
        for (const auto& match : literal.globalMatch(source)) {
            const QString name = match.captured(1);
            if (notSymbol.match(name).hasMatch()) continue;
            ++checked;
            EXPECT_FALSE(symbolResource(name).isEmpty()) << name << " in " << file.fileName();
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(SymbolsTest, PaintsInTheTintOnlyAndAPlaceholderForAnUnknownName) {
    const QColor tint(0xff, 0x95, 0x00);
    const auto paint = [&tint](const QString& name) {
        QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintSymbol(painter, QRectF(0, 0, 48, 48), name, tint);
        return image;
    };
    for (const char* name : {"lock.fill", "speaker.wave.2.fill", "play.rectangle", "no.such.symbol"}) {
        SCOPED_TRACE(name);
        const QImage image = paint(QLatin1String(name));
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() < 250) continue;
                ++opaque;
                EXPECT_EQ(pixel.rgb(), tint.rgb());
            }
        }
        EXPECT_GT(opaque, 40);
    }
    EXPECT_NE(paint(QStringLiteral("no.such.symbol")), paint(QStringLiteral("lock")));
}

TEST(SymbolsTest, IconsTintFromThePaletteWhenPainted) {
    const QIcon icon = symbolIcon(QStringLiteral("xmark"), KitColour::primary);
    // The primary colour is the palette's text at 85 % opacity.
    const auto darkest = [](const QImage& image) {
        int lightness = 256;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() > 150) lightness = std::min(lightness, pixel.lightness());
            }
        }
        return lightness;
    };
    {
        const test::ScopedPalette theme(test::lightPalette());
        EXPECT_LT(darkest(icon.pixmap(32, 32).toImage()), 40);
    }
    {
        const test::ScopedPalette theme(test::darkPalette());
        EXPECT_GT(darkest(icon.pixmap(32, 32).toImage()), 200);
    }
}

// Every symbol of the table on one sheet, light and dark, for review.
TEST(SymbolsTest, PicturesOfEverySymbol) {
    const int columns = 12;
    const int cell = 40;
    const auto rows = symbolRows();
    for (const auto& [appearance, palette] :
         {std::pair{"light", test::lightPalette()}, std::pair{"dark", test::darkPalette()}}) {
        QImage sheet(columns * cell, int((rows.size() + columns - 1) / columns) * cell, QImage::Format_ARGB32);
        sheet.fill(palette.color(QPalette::Window));
        QPainter painter(&sheet);
        for (size_t i = 0; i < rows.size(); ++i) {
            const QRectF box(double(i % columns) * cell + 8, double(i / columns) * cell + 8, cell - 16, cell - 16);
            paintSymbol(painter, box, QString::fromLatin1(rows[i].name), colour(KitColour::primary, palette));
        }
        painter.end();
        test::saveForReview(sheet, QStringLiteral("symbols-%1").arg(QLatin1String(appearance)));
    }
}

}  // namespace
}  // namespace glidra::kit
