#include "gestures/NormalizedRegionRect.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>
#include <unordered_set>
#include <vector>

namespace glidra {
namespace {

using Rect = NormalizedRegionRect;
using Rects = std::vector<Rect>;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

TEST(NormalizedRegionRectTest, Validity) {
    struct Case {
        Rect rect;
        bool valid;
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, true},
        {{0, 0, 0.02f, 0.5f}, true},  // exactly the minimum side
        {{0.98f, 0.98f, 1, 1}, true},
        {{0, 0, 0.0199f, 0.5f}, false},
        {{0, 0, 0.5f, 0.0199f}, false},
        {{-0.01f, 0, 0.5f, 0.5f}, false},
        {{0, 0, 1.01f, 0.5f}, false},
        {{-0.0f, -0.0f, 0.5f, 0.5f}, true},  // negative zero is zero
        {{0.5f, 0.5f, 0.4f, 0.9f}, false},   // negative width
        {{nan, 0, 0.5f, 0.5f}, false},
        {{0, 0, 0.5f, nan}, false},
        {{0, 0, inf, 0.5f}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rect.isValid(), c.valid)
            << c.rect.minX << " " << c.rect.minY << " " << c.rect.maxX << " " << c.rect.maxY;
    }
}

TEST(NormalizedRegionRectTest, Intersection) {
    EXPECT_EQ(Rect::intersection(Rects{}), std::nullopt);
    EXPECT_EQ(Rect::intersection(Rects{{0.1f, 0.2f, 0.3f, 0.4f}}), (Rect{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(Rect::intersection(Rects{{0, 0, 0.6f, 0.6f}, {0.5f, 0.5f, 1, 1}}), (Rect{0.5f, 0.5f, 0.6f, 0.6f}));
    EXPECT_EQ(Rect::intersection(Rects{{0, 0, 0.6f, 0.6f}, {0.5f, 0.5f, 1, 1}, {0.55f, 0, 1, 1}}),
              (Rect{0.55f, 0.5f, 0.6f, 0.6f}));
    // Too thin an overlap is no overlap.
    EXPECT_EQ(Rect::intersection(Rects{{0, 0, 0.5f, 0.5f}, {0.49f, 0, 1, 1}}), std::nullopt);
    EXPECT_EQ(Rect::intersection(Rects{{0, 0, 0.3f, 0.3f}, {0.6f, 0.6f, 1, 1}}), std::nullopt);
    // One invalid rectangle spoils the list even when the others overlap.
    EXPECT_EQ(Rect::intersection(Rects{{0, 0, 1, 1}, {0.2f, 0.2f, 0.8f, 0.8f}, {0, 0, 0.01f, 1}}), std::nullopt);
    EXPECT_EQ(Rect::intersection(Rects{{nan, 0, 1, 1}}), std::nullopt);
}

TEST(NormalizedRegionRectTest, PresetTitles) {
    struct Case {
        std::optional<Rect> rect;
        std::optional<QString> title;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt},
        {Rect{0, 0.75f, 0.25f, 1}, QStringLiteral("左上方 25%")},
        {Rect{0, 0, 1, 0.5f}, QStringLiteral("下方 50%")},
        {Rect{0.125f, 0.125f, 0.875f, 0.875f}, QStringLiteral("居中 75%")},
        {Rect{0.25f, 0, 1, 1}, QStringLiteral("右侧 75%")},
        {Rect{0, 0, 0.3f, 0.3f}, std::nullopt},  // a preset shape at a size the picker does not offer
        {Rect{0, 0, 1, 1}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Rect::presetTitle(c.rect), c.title);
}

TEST(NormalizedRegionRectTest, ListTitles) {
    EXPECT_EQ(Rect::listTitle(Rects{}), QStringLiteral("未选择区域"));
    EXPECT_EQ(Rect::listTitle(Rects{{0, 0.75f, 0.25f, 1}}), QStringLiteral("左上方 25%"));
    EXPECT_EQ(Rect::listTitle(Rects{{0.1f, 0.1f, 0.4f, 0.3f}}), QStringLiteral("自定义区域"));
    EXPECT_EQ(Rect::listTitle(Rects{{0, 0, 0.6f, 0.6f}, {0.3f, 0.3f, 1, 1}}), QStringLiteral("交叉区域"));
    EXPECT_EQ(Rect::listTitle(Rects{{0, 0, 0.3f, 0.3f}, {0.6f, 0.6f, 1, 1}}), QStringLiteral("没有交叉区域"));
    EXPECT_EQ(Rect::listTitle(Rects{{0, 0, 0.01f, 1}}), QStringLiteral("没有交叉区域"));
    // An intersection that is itself a preset is titled as the preset.
    EXPECT_EQ(Rect::listTitle(Rects{{0, 0, 1, 0.5f}, {0, 0, 0.5f, 1}}), QStringLiteral("左下方 50%"));
}

TEST(NormalizedRegionRectTest, JsonRoundTripAndMissingKey) {
    const Rect rect{0.1f, 0.2f, 0.7f, 0.9f};
    const QJsonValue json = rect.toJson();
    EXPECT_EQ(QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact),
              QByteArray(R"({"maxX":0.7,"maxY":0.9,"minX":0.1,"minY":0.2})"));
    auto back = Rect::fromJson(json, JsonPath());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value(), rect);

    // Decoding does not validate.
    auto inverted =
        Rect::fromJson(QJsonDocument::fromJson(R"({"minX":0.9,"minY":0,"maxX":0.1,"maxY":2})").object(), JsonPath());
    ASSERT_TRUE(inverted.ok());
    EXPECT_FALSE(inverted->isValid());

    auto missing = Rect::fromJson(QJsonDocument::fromJson(R"({"minX":0,"minY":0,"maxX":1})").object(),
                                  JsonPath(QStringLiteral("r")));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, JsonError::Kind::missingKey);
    EXPECT_EQ(missing.error().path, QStringLiteral("r.maxY"));
}

TEST(NormalizedRegionRectTest, NegativeZeroHashesLikeZero) {
    const Rect positive{0, 0, 0.5f, 0.5f};
    const Rect negative{-0.0f, -0.0f, 0.5f, 0.5f};
    ASSERT_EQ(positive, negative);
    EXPECT_EQ(qHash(positive, 7), qHash(negative, 7));
    EXPECT_EQ(std::hash<Rect>{}(positive), std::hash<Rect>{}(negative));
    QHash<Rect, int> qt{{positive, 1}};
    EXPECT_EQ(qt.value(negative), 1);
    std::unordered_set<Rect> set{positive, negative, {0, 0, 1, 1}};
    EXPECT_EQ(set.size(), 2u);
}

}  // namespace
}  // namespace glidra
