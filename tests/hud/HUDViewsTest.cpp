#include "hud/AdjustmentHUDView.h"
#include "hud/FloatingAdjustmentHUD.h"
#include "hud/HUDPanel.h"
#include "hud/MessageHUDView.h"
#include "hud/VideoProgressHUDView.h"
#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/kit/KitColour.h"

#include "hud/HUDTestSupport.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace glidra::test {
namespace {

// Whether some pixel of the region is close to the colour: the symbols are
// tinted when painted, so their pixels carry the tint.
bool showsColour(const QImage& image, const QRect& region, const QColor& colour) {
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200 && std::abs(pixel.red() - colour.red()) < 24 &&
                std::abs(pixel.green() - colour.green()) < 24 && std::abs(pixel.blue() - colour.blue()) < 24) {
                return true;
            }
        }
    }
    return false;
}

// A translucent colour laid over an opaque one.
QColor over(const QColor& top, const QColor& bottom) {
    const double a = top.alphaF();
    const auto mix = [a](int t, int b) { return int(std::lround(t * a + b * (1 - a))); };
    return {mix(top.red(), bottom.red()), mix(top.green(), bottom.green()), mix(top.blue(), bottom.blue())};
}

TEST(HUDViewsTest, AdjustmentViewShowsTheSideAndTheRoundedLevel) {
    struct Case {
        EdgeGesture::Side side;
        float value;
        const char* symbol;
        const char* percent;
        const char* label;
    };
    const Case cases[] = {
        {EdgeGesture::Side::brightness, 0.5f, "sun.max.fill", "50%", "亮度"},
        {EdgeGesture::Side::brightness, 0.125f, "sun.max.fill", "13%", "亮度"},  // halves away from zero
        {EdgeGesture::Side::volume, 0.0f, "speaker.slash.fill", "0%", "音量"},
        {EdgeGesture::Side::volume, 0.004f, "speaker.wave.2.fill", "0%", "音量"},  // not exactly 0
        {EdgeGesture::Side::volume, 1.0f, "speaker.wave.2.fill", "100%", "音量"},
    };
    for (const auto& c : cases) {
        const AdjustmentHUDView view(c.side, c.value);
        EXPECT_EQ(view.size(), QSize(224, 48));
        EXPECT_EQ(view.symbolName(), QString::fromLatin1(c.symbol));
        EXPECT_EQ(view.percentText(), QString::fromLatin1(c.percent));
        EXPECT_EQ(view.accessibleName(),
                  QString::fromUtf8(c.label) + QLatin1Char(' ') + QString::fromLatin1(c.percent));
    }
}

TEST(HUDViewsTest, MessageViewKeepsTheTextAsGivenOnAtMostTwoLines) {
    const HUDNotice shortNotice{QStringLiteral("<b>粗体</b>"), QStringLiteral("keyboard"), HUDNotice::Kind::success};
    const MessageHUDView markup(shortNotice, FloatingAdjustmentHUD::messagePanelSize(shortNotice.text).width());
    EXPECT_EQ(markup.lines(), QStringList{shortNotice.text});  // never read as markup
    EXPECT_EQ(markup.size(), QSize(264, 48));

    const QString longText =
        QStringLiteral("快捷指令未完成，请在快捷指令 App 中检查，这段说明特意写得很长很长，长到两行也放不下为止");
    const MessageHUDView wrapped({longText, QStringLiteral("exclamationmark.circle"), HUDNotice::Kind::error}, 280);
    ASSERT_EQ(wrapped.lines().size(), 2);
    EXPECT_TRUE(longText.startsWith(wrapped.lines()[0]));
    EXPECT_TRUE(wrapped.lines()[1].endsWith(QChar(0x2026))) << wrapped.lines()[1];
    EXPECT_EQ(wrapped.width(), 264);
    EXPECT_LE(wrapped.height(), 72 - 16);

    // A panel narrower than the view's minimum still gets a 120-point view.
    EXPECT_EQ(MessageHUDView(shortNotice, 100).width(), 120);
}

TEST(HUDViewsTest, VideoViewShowsTimeAndDurationAndTheirRatio) {
    struct Case {
        BrowserVideoState state;
        const char* text;
        double fraction;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {{65, 200}, "1:05 / 3:20", 0.325}, {{3665, 7200}, "1:01:05 / 2:00:00", 3665.0 / 7200},
        {{5.9, 0}, "0:05 / 0:00", 0},  // no duration yet
        {{-3, 60}, "0:00 / 1:00", 0},      {{nan, nan}, "0:00 / 0:00", 0},
        {{90, 60}, "1:30 / 1:00", 1},
    };
    for (const auto& c : cases) {
        const VideoProgressHUDView view(c.state);
        EXPECT_EQ(view.size(), QSize(256, 60));
        EXPECT_EQ(view.timeText(), QString::fromLatin1(c.text));
        EXPECT_DOUBLE_EQ(view.fraction(), c.fraction);
        EXPECT_EQ(view.accessibleName(), QStringLiteral("视频进度 ") + QString::fromLatin1(c.text));
    }
}

// Every kind on the real panel, light and dark: the picture for review, the
// capsule centred in the panel, and the symbol in its tint.
class HUDPicturesTest : public HUDTest {};

TEST_F(HUDPicturesTest, EachKindInLightAndDark) {
    struct Kind {
        const char* name;
        std::function<void(FloatingAdjustmentHUD&)> present;
        QSize panel;
        QSize capsule;
        bool orangeSymbol;
    };
    const Kind kinds[] = {
        {"notice",
         [](auto& h) {
             h.show({QStringLiteral("键盘已锁定"), QStringLiteral("lock.fill")});
         },
         {180, 72},
         {164, 48},
         false},
        {"notice-error",
         [](auto& h) {
             h.show({QStringLiteral("无法锁定键盘，请检查辅助功能权限。"), QStringLiteral("lock"),
                     HUDNotice::Kind::error});
         },
         {280, 72},
         {264, 48},
         true},
        {"notice-long",
         [](auto& h) {
             h.show({QStringLiteral("识别：右边缘上滑 → 增加音量，再往上滑可以继续调高，松开手指就停下"),
                     QStringLiteral("hand.draw"), HUDNotice::Kind::information});
         },
         {280, 72},
         {264, 48},
         false},
        {"brightness",
         [](auto& h) { h.showAdjustment(EdgeGesture::Side::brightness, 0.62f); },
         {240, 64},
         {224, 48},
         false},
        {"volume-muted",
         [](auto& h) { h.showAdjustment(EdgeGesture::Side::volume, 0.0f); },
         {240, 64},
         {224, 48},
         false},
        {"video",
         [](auto& h) {
             h.showVideoProgress({754, 3725});
         },
         {272, 76},
         {256, 60},
         false},
    };
    const std::pair<const char*, QPalette> appearances[] = {{"light", lightPalette()}, {"dark", darkPalette()}};
    double t = 0;
    for (const auto& [appearance, palette] : appearances) {
        const ScopedPalette theme(palette);
        for (const auto& kind : kinds) {
            SCOPED_TRACE(std::string(kind.name) + " " + appearance);
            at(t += 5);
            kind.present(hud);
            ASSERT_TRUE(visible());
            EXPECT_EQ(panel().size(), kind.panel);
            const QRect capsule = content()->geometry();
            EXPECT_EQ(capsule.size().width(), kind.capsule.width());
            EXPECT_GE(capsule.height(), kind.capsule.height());
            EXPECT_EQ(capsule.center(), panel().rect().center());

            const QImage picture = panel().grab().toImage();
            saveForReview(pictureOf(panel()),
                          QStringLiteral("hud-%1-%2").arg(QLatin1String(kind.name), QLatin1String(appearance)));
            // The symbol slot sits at the capsule's leading edge after its padding.
            const QRect slot(capsule.x() + 18, capsule.y(), 22, capsule.height());
            const QColor tint =
                kit::colour(kind.orangeSymbol ? kit::KitColour::orange : kit::KitColour::primary, panel().palette());
            const QColor backing = kit::colour(kit::KitColour::material, panel().palette());
            EXPECT_TRUE(showsColour(picture, slot, over(tint, backing))) << "symbol not tinted";
            // The capsule's middle carries the material of the appearance.
            const QColor material = picture.pixelColor(capsule.center().x(), capsule.top() + 3);
            EXPECT_EQ(kit::isDark(panel().palette()), material.lightness() < 127) << material.name().toStdString();
        }
    }
}

// Without a compositor a window's clear pixels show black: every pixel of
// the panel is painted then, and the capsule gives way to the panel itself.
TEST_F(HUDTest, WithoutACompositorThePanelIsOpaqueEdgeToEdge) {
    const auto alphas = [this] {
        const QImage picture = panel().grab().toImage();
        int least = 255;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) least = std::min(least, qAlpha(picture.pixel(x, y)));
        return least;
    };
    const std::pair<const char*, QPalette> appearances[] = {{"light", lightPalette()}, {"dark", darkPalette()}};
    double t = 0;
    for (const auto& [appearance, palette] : appearances) {
        SCOPED_TRACE(appearance);
        const ScopedPalette theme(palette);
        compositing.setCompositing(false);
        at(t += 5);
        hud.show({QStringLiteral("已复制"), QStringLiteral("doc.on.clipboard"), HUDNotice::Kind::success});
        ASSERT_TRUE(visible());
        EXPECT_EQ(panel().backdrop(), HUDPanel::Backdrop::opaque);
        EXPECT_EQ(alphas(), 255);
        const QImage picture = panel().grab().toImage();
        EXPECT_EQ(picture.pixelColor(panel().rect().center()).lightness() < 127, kit::isDark(palette));
        saveForReview(pictureOf(panel()), QStringLiteral("hud-notice-opaque-%1").arg(QLatin1String(appearance)));

        // Switched on while the panel is up: it keeps its look until it next
        // comes up, then is translucent around its capsule again.
        compositing.setCompositing(true);
        hud.showAdjustment(EdgeGesture::Side::volume, 0.5f);
        EXPECT_EQ(panel().backdrop(), HUDPanel::Backdrop::opaque);
        at(t += 5);
        ASSERT_FALSE(visible());
        hud.show({QStringLiteral("已复制"), QStringLiteral("doc.on.clipboard"), HUDNotice::Kind::success});
        EXPECT_EQ(panel().backdrop(), HUDPanel::Backdrop::translucent);
        EXPECT_EQ(qAlpha(panel().grab().toImage().pixel(0, 0)), 0);
    }
}

}  // namespace
}  // namespace glidra::test
