#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/kit/KitColour.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/TextStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>

namespace glidra::kit {
namespace {

TEST(KitStyleTest, DarkMeansALowLightnessBase) {
    EXPECT_FALSE(isDark(test::lightPalette()));
    EXPECT_TRUE(isDark(test::darkPalette()));
}

TEST(KitStyleTest, ColoursFollowTheAppearance) {
    struct Case {
        KitColour named;
        QColor light;
        QColor dark;
    };
    const Case cases[] = {
        // System colours: fixed per appearance.
        {KitColour::red, QColor(0xff, 0x3b, 0x30), QColor(0xff, 0x45, 0x3a)},
        {KitColour::orange, QColor(0xff, 0x95, 0x00), QColor(0xff, 0x9f, 0x0a)},
        {KitColour::blue, QColor(0x00, 0x7a, 0xff), QColor(0x0a, 0x84, 0xff)},
        // The foreground hierarchy: the palette's text at falling opacity.
        {KitColour::primary, QColor(0, 0, 0, 217), QColor(255, 255, 255, 217)},
        {KitColour::secondary, QColor(0, 0, 0, 128), QColor(255, 255, 255, 140)},
        {KitColour::quaternary, QColor(0, 0, 0, 26), QColor(255, 255, 255, 26)},
        // Semantic backgrounds: the palette's own.
        {KitColour::controlBackground, Qt::white, QColor(0x1e, 0x1e, 0x1e)},
        {KitColour::accent, QColor(0x00, 0x7a, 0xff), QColor(0x0a, 0x84, 0xff)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(enumRaw(c.named).toStdString());
        EXPECT_EQ(colour(c.named, test::lightPalette()), c.light);
        EXPECT_EQ(colour(c.named, test::darkPalette()), c.dark);
    }
}

TEST(KitStyleTest, TheAccentReadsOnTheWindowAndOnFieldsInEveryPalette) {
    for (const auto& [name, palette] : test::everyPalette()) {
        SCOPED_TRACE(name);
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            const QColor highlight = palette.color(group, QPalette::Highlight);
            for (const auto& [named, least] :
                 {std::pair{KitColour::accent, graphicContrast}, std::pair{KitColour::accentText, textContrast}}) {
                const QColor accent = colour(named, palette, group);
                for (const auto ground : {QPalette::Window, QPalette::Base}) {
                    EXPECT_GE(contrastRatio(accent, palette.color(group, ground)), least)
                        << enumRaw(named).toStdString() << " on " << ground << ": " << accent.name().toStdString();
                }
                // Still the highlight's colour, not black or white.
                EXPECT_NEAR(accent.hslHue(), highlight.hslHue(), 2) << accent.name().toStdString();
            }
        }
    }
    // A highlight that reads already is the accent as it is.
    EXPECT_EQ(colour(KitColour::accent, test::fusionPalette()), test::fusionPalette().color(QPalette::Highlight));
}

TEST(KitStyleTest, LegibleShiftsTheLightnessAsLittleAsItTakes) {
    struct Case {
        const char* what;
        QColor ink;
        QColor background;
        double least;
    };
    const Case cases[] = {
        {"darker on a light ground", QColor(0x62, 0xaf, 0xdf), QColor(0xef, 0xef, 0xef), textContrast},
        {"lighter on a dark ground", QColor(0x12, 0x60, 0x8a), QColor(0x35, 0x35, 0x35), graphicContrast},
        {"a translucent ink", QColor(0x12, 0x60, 0x8a, 200), QColor(0x2a, 0x2a, 0x2a), textContrast},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QColor shifted = legible(c.ink, {c.background}, c.least);
        const double ratio = contrastRatio(shifted, c.background);
        EXPECT_GE(ratio, c.least);
        EXPECT_LT(ratio, c.least + 0.1) << "shifted further than needed";
        EXPECT_EQ(shifted.alpha(), c.ink.alpha());
    }
    const QColor readable(0x00, 0x55, 0xaa);
    EXPECT_EQ(legible(readable, {Qt::white}, textContrast), readable);
    // On black and on light grey at once no lightness reads at 5:1, so it is
    // whichever of black and white reads better.
    const QColor mid = legible(QColor(0x80, 0x80, 0x80), {Qt::black, QColor(0xe0, 0xe0, 0xe0)}, 5);
    EXPECT_EQ(mid, QColor(Qt::white));
}

TEST(KitStyleTest, TextStylesScaleTheBodyFont) {
    QFont base(QStringLiteral("Noto Sans CJK SC"));
    base.setPointSizeF(10);
    struct Case {
        TextStyle style;
        double pointSize;
        QFont::Weight weight;
    };
    const Case cases[] = {
        {TextStyle::body, 10, QFont::Normal},     {TextStyle::headline, 10, QFont::Bold},
        {TextStyle::callout, 9.2, QFont::Normal}, {TextStyle::caption, 8, QFont::Normal},
        {TextStyle::title2, 13, QFont::Normal},   {TextStyle::largeTitle, 20, QFont::Normal},
    };
    for (const auto& c : cases) {
        const QFont styled = font(c.style, std::nullopt, base);
        EXPECT_DOUBLE_EQ(styled.pointSizeF(), c.pointSize) << enumRaw(c.style);
        EXPECT_EQ(styled.weight(), c.weight) << enumRaw(c.style);
        EXPECT_EQ(styled.families(), base.families());
    }
    EXPECT_EQ(font(TextStyle::callout, QFont::Medium, base).weight(), QFont::Medium);
}

TEST(KitStyleTest, TheApplicationFontPutsTheChineseFamilyFirst) {
    // The test main called useApplicationFont() as the application does.
    const QFont applied = QApplication::font();
    ASSERT_FALSE(applied.families().isEmpty());
    EXPECT_EQ(applied.families().first(), QLatin1String(applicationFontFamily));
    EXPECT_EQ(applied.families().count(QLatin1String(applicationFontFamily)), 1);
    EXPECT_EQ(QFontInfo(applied).family(), QLatin1String(applicationFontFamily)) << "fonts-noto-cjk installed?";

    // Calling it again changes nothing.
    useApplicationFont();
    EXPECT_EQ(QApplication::font(), applied);
}

TEST(KitStyleTest, LabelsRetintOnAThemeChange) {
    StyledLabel label(QStringLiteral("<i>外部名称</i>"), TextStyle::caption, KitColour::secondary);
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    {
        const test::ScopedPalette theme(test::lightPalette());
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 0, 128));
    }
    {
        const test::ScopedPalette theme(test::darkPalette());
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 255, 255, 140));
        label.setColour(KitColour::red);
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0xff, 0x45, 0x3a));
    }
}

}  // namespace
}  // namespace glidra::kit
