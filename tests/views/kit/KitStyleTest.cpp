#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/kit/Ground.h"
#include "views/kit/KitColour.h"
#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/TextStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QVBoxLayout>

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
        // The foreground hierarchy: the palette's text at falling opacity
        // (the secondary style as legible as text must be, below).
        {KitColour::primary, QColor(0, 0, 0, 217), QColor(255, 255, 255, 217)},
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

// Text, symbols and lines in the secondary style and in the colours that
// tell conflicting rules apart, on the window, on fields and on the kit's
// boxes, where they are drawn.
TEST(KitStyleTest, EveryLegibleRoleReadsWhereItIsDrawnAndKeepsItsHue) {
    struct Role {
        KitColour named;
        double least;
        std::optional<QRgb> hueOf;  // the system colour whose hue it keeps
    };
    const Role roles[] = {
        {KitColour::secondary, textContrast, std::nullopt}, {KitColour::accentText, textContrast, std::nullopt},
        {KitColour::orangeText, textContrast, 0xffff9500},  {KitColour::orangeMark, graphicContrast, 0xffff9500},
        {KitColour::blueText, textContrast, 0xff007aff},    {KitColour::blueMark, graphicContrast, 0xff007aff},
        {KitColour::purpleText, textContrast, 0xffaf52de},  {KitColour::purpleMark, graphicContrast, 0xffaf52de},
    };
    for (const auto& [name, palette] : test::everyPalette()) {
        SCOPED_TRACE(name);
        const test::ScopedPalette theme(palette);
        // A conflict card in the notice of the rule editor, a group box's
        // fill, and the bare window.
        QWidget window;
        auto* notice = new RoundedBox(KitColour::quaternary, 12, &window);
        notice->setFillOpacity(0.4);
        auto* card = new RoundedBox(KitColour::quaternary, 12, notice);
        card->setFillOpacity(0.45);
        auto* inCard = new QWidget(card);
        auto* group = new RoundedBox(KitColour::quaternaryFill, 8, &window);
        auto* inGroup = new QWidget(group);
        auto* onWindow = new QWidget(&window);
        for (const Role& role : roles) {
            SCOPED_TRACE(enumRaw(role.named).toStdString());
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                const QColor bare = colour(role.named, palette, group);
                EXPECT_GE(contrastRatio(bare, palette.color(group, QPalette::Window)), role.least);
                EXPECT_GE(contrastRatio(bare, palette.color(group, QPalette::Base)), role.least);
            }
            for (const QWidget* drawnOn : {inCard, inGroup, onWindow}) {
                const QColor ink = colourOn(role.named, drawnOn);
                EXPECT_GE(contrastRatio(ink, groundOf(drawnOn)), role.least)
                    << ink.name(QColor::HexArgb).toStdString() << " on " << groundOf(drawnOn).name().toStdString();
                if (role.hueOf) {
                    EXPECT_NEAR(ink.hslHue(), QColor::fromRgba(*role.hueOf).hslHue(), 4) << ink.name().toStdString();
                } else if (role.named == KitColour::secondary) {
                    // The window's text, only less see-through.
                    EXPECT_EQ(ink.rgb(), palette.color(QPalette::WindowText).rgb());
                }
            }
        }
    }
}

TEST(KitStyleTest, TheGroundIsTheWindowUnderEveryBoxAndFilledWidgetBetween) {
    const test::ScopedPalette theme(test::lightPalette());
    QWidget window;
    auto* box = new RoundedBox(KitColour::quaternary, 12, &window);
    box->setFillOpacity(0.45);
    auto* field = new QWidget(box);
    field->setAutoFillBackground(true);
    field->setBackgroundRole(QPalette::Base);
    auto* inField = new RoundedBox(KitColour::quaternaryFill, 8, field);
    auto* label = new QWidget(inField);
    const QColor windowColour = window.palette().color(QPalette::Window);
    const QColor boxFill = faded(colour(KitColour::quaternary, window.palette()), 0.45f);
    EXPECT_EQ(groundOf(&window), windowColour);
    EXPECT_EQ(groundOf(box), over(boxFill, windowColour));
    EXPECT_EQ(groundOf(label), over(colour(KitColour::quaternaryFill, window.palette()), Qt::white));
    EXPECT_LT(groundOf(box).lightness(), windowColour.lightness());
}

// The placeholder of a field on a box, such as the library's search, reads
// as text does, in every theme.
TEST(KitStyleTest, PlaceholdersReadOnTheFieldsTheyStandIn) {
    QWidget window;
    auto* row = new RoundedBox(KitColour::quaternaryFill, 8, &window);
    auto* search = new QLineEdit(row);
    QPalette see = search->palette();
    see.setColor(QPalette::Base, Qt::transparent);
    search->setPalette(see);
    search->setPlaceholderText(QStringLiteral("搜索动作"));
    auto* field = new QLineEdit(&window);
    field->setPlaceholderText(QStringLiteral("网址，例如 example.com"));
    keepPlaceholderLegible(search);
    keepPlaceholderLegible(field);
    window.show();
    for (const auto& [name, palette] : test::everyPalette()) {
        SCOPED_TRACE(name);
        const test::ScopedPalette theme(palette);
        const QColor behindSearch = over(colour(KitColour::quaternaryFill, palette), palette.color(QPalette::Window));
        EXPECT_GE(contrastRatio(search->palette().color(QPalette::PlaceholderText), behindSearch), textContrast);
        EXPECT_GE(contrastRatio(field->palette().color(QPalette::PlaceholderText), palette.color(QPalette::Base)),
                  textContrast);
        EXPECT_EQ(field->palette().color(QPalette::PlaceholderText).rgb(), palette.color(QPalette::Text).rgb());
    }
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
        EXPECT_EQ(label.palette().color(QPalette::WindowText), colour(KitColour::secondary, test::lightPalette()));
        EXPECT_EQ(label.palette().color(QPalette::WindowText).rgb(), QColor(Qt::black).rgb());
    }
    {
        const test::ScopedPalette theme(test::darkPalette());
        EXPECT_EQ(label.palette().color(QPalette::WindowText), colour(KitColour::secondary, test::darkPalette()));
        EXPECT_EQ(label.palette().color(QPalette::WindowText).rgb(), QColor(Qt::white).rgb());
        label.setColour(KitColour::red);
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0xff, 0x45, 0x3a));
    }
    // In a box it is as legible on the box's fill.
    QWidget window;
    auto* box = new RoundedBox(KitColour::quaternary, 12, &window);
    box->setFillOpacity(0.45);
    auto* boxed = new StyledLabel(QStringLiteral("A · 拷贝"), TextStyle::caption, KitColour::secondary, box);
    window.show();
    const QColor ink = boxed->palette().color(QPalette::WindowText);
    EXPECT_GE(contrastRatio(ink, groundOf(boxed)), textContrast);
    EXPECT_GT(ink.alpha(), colour(KitColour::secondary, window.palette()).alpha()) << "darker than on the window";
}

}  // namespace
}  // namespace glidra::kit
