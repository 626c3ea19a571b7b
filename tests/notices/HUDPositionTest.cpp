#include "notices/HUDPosition.h"

#include "common/Json.h"

#include <gtest/gtest.h>

#include <QHash>

#include <limits>

namespace glidra {
namespace {

// A 1440 x 875 visible frame above a 25-point panel strip, origin bottom left.
const QRectF frame(0, 25, 1440, 875);
const QSizeF panel(200, 50);

TEST(HUDPositionTest, CasesTitlesAndRawStrings) {
    struct Case {
        HUDPosition position;
        const char* raw;
        const char* title;
    };
    const Case cases[] = {
        {HUDPosition::top, "top", "上"},
        {HUDPosition::middle, "middle", "中"},
        {HUDPosition::bottom, "bottom", "下"},
        {HUDPosition::topRight, "topRight", "右上角"},
        {HUDPosition::menuBarIcon, "menuBarIcon", "图标下方"},
    };
    ASSERT_EQ(enumAllCases<HUDPosition>().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(enumAllCases<HUDPosition>()[i], c.position);
        EXPECT_EQ(title(c.position), QString::fromUtf8(c.title));
        EXPECT_EQ(json::encode(c.position), QJsonValue(QString::fromLatin1(c.raw)));
        auto back = json::decode<HUDPosition>(QJsonValue(QString::fromLatin1(c.raw)), JsonPath());
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(back.value(), c.position);
    }
    EXPECT_EQ(enumFromRaw<HUDPosition>(u"Bottom"), std::nullopt);
    EXPECT_FALSE(json::decode<HUDPosition>(QJsonValue(QStringLiteral("left")), JsonPath()).ok());
    QHash<HUDPosition, int> byPosition{{HUDPosition::middle, 3}};
    EXPECT_EQ(byPosition.value(HUDPosition::middle), 3);
}

TEST(HUDPositionTest, OriginPerPosition) {
    // Top limit: 900 - 50 = 850; centred x: 720 - 100 = 620.
    struct Case {
        HUDPosition position;
        QPointF origin;
    };
    const Case cases[] = {
        {HUDPosition::top, {620, 790}},       {HUDPosition::middle, {620, 437.5}},    {HUDPosition::bottom, {620, 85}},
        {HUDPosition::topRight, {1224, 834}}, {HUDPosition::menuBarIcon, {620, 790}},  // no anchor: as top
    };
    for (const auto& c : cases) {
        EXPECT_EQ(origin(c.position, frame, panel), c.origin) << enumRaw(c.position).toStdString();
    }
}

TEST(HUDPositionTest, MenuBarIconFollowsAUsableAnchor) {
    // A 22 x 22 tray icon in the panel above the visible frame, centred at x = 1000.
    const QRectF icon(989, 900, 22, 22);
    EXPECT_EQ(origin(HUDPosition::menuBarIcon, frame, panel, icon), QPointF(900, 842));

    // Near the right screen edge the panel is pushed left into the frame, and
    // it never rises above the top limit.
    const QRectF rightIcon(1420, 900, 20, 22);
    EXPECT_EQ(origin(HUDPosition::menuBarIcon, frame, panel, rightIcon), QPointF(1240, 842));
    const QRectF highIcon(989, 1000, 22, 22);
    EXPECT_EQ(origin(HUDPosition::menuBarIcon, frame, panel, highIcon), QPointF(900, 850));

    // Empty, null-like or infinite anchors are ignored: the panel goes to the top.
    const double inf = std::numeric_limits<double>::infinity();
    const double huge = std::numeric_limits<double>::max();
    for (const QRectF& unusable :
         {QRectF(), QRectF(1000, 900, 0, 22), QRectF(inf, inf, 0, 0), QRectF(-huge / 2, -huge / 2, huge, huge)}) {
        EXPECT_EQ(origin(HUDPosition::menuBarIcon, frame, panel, unusable), QPointF(620, 790));
    }
}

TEST(HUDPositionTest, ClampsIntoTheVisibleFrame) {
    // A panel taller than the frame sits at its bottom edge, whatever the position.
    const QSizeF tall(200, 1000);
    EXPECT_EQ(origin(HUDPosition::top, frame, tall), QPointF(620, 25));
    EXPECT_EQ(origin(HUDPosition::topRight, frame, tall), QPointF(1224, 25));
    EXPECT_EQ(origin(HUDPosition::bottom, frame, tall), QPointF(620, 25));

    // A panel wider than the frame sits at its left edge.
    const QSizeF wide(1600, 50);
    EXPECT_EQ(origin(HUDPosition::middle, frame, wide), QPointF(0, 437.5));
    EXPECT_EQ(origin(HUDPosition::topRight, frame, wide), QPointF(0, 834));

    // A frame that does not start at the screen origin (a second screen).
    const QRectF second(-1280, 100, 1280, 700);
    EXPECT_EQ(origin(HUDPosition::bottom, second, panel), QPointF(-740, 160));
    EXPECT_EQ(origin(HUDPosition::topRight, second, panel), QPointF(-216, 734));
}

}  // namespace
}  // namespace glidra
