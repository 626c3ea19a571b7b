#include "gestures/GestureDescriptor.h"

#include "gestures/EnumCaseTable.h"
#include "gestures/TouchPoint.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <unordered_set>

namespace glidra {
namespace {

using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

TEST(GestureDescriptorTest, KindCasesRawStringsAndTitles) {
    test::expectEnumCases<Kind>({{"tap", "轻点"},
                                 {"click", "单击（按下触控板）"},
                                 {"swipe", "方向滑动"},
                                 {"forcePress", "用力按下"},
                                 {"longPress", "长按后抬手"},
                                 {"holdSwipe", "长按后滑动"},
                                 {"tapSwipe", "轻点后滑动"},
                                 {"anchorSwipe", "一指按住、另一指滑动"},
                                 {"pinchIn", "捏合"},
                                 {"pinchOut", "张开"},
                                 {"rotateClockwise", "顺时针旋转"},
                                 {"rotateCounterclockwise", "逆时针旋转"},
                                 {"circle", "画圈"},
                                 {"backAndForth", "往返滑动"}},
                                [](Kind k) { return title(k); });
}

TEST(GestureDescriptorTest, DirectionCasesRawStringsAndTitles) {
    test::expectEnumCases<Direction>({{"up", "↑ 上"},
                                      {"down", "↓ 下"},
                                      {"left", "← 左"},
                                      {"right", "→ 右"},
                                      {"upLeft", "↖ 左上"},
                                      {"upRight", "↗ 右上"},
                                      {"downLeft", "↙ 左下"},
                                      {"downRight", "↘ 右下"}},
                                     [](Direction d) { return title(d); });
}

TEST(GestureDescriptorTest, KindProperties) {
    struct Case {
        Kind kind;
        bool usesDirection;
        bool twoFingerOnly;
        std::vector<qint64> allowed;
    };
    const std::vector<qint64> any = {1, 2, 3, 4};
    const Case cases[] = {
        {Kind::tap, false, false, any},
        {Kind::click, false, false, any},
        {Kind::swipe, true, false, any},
        {Kind::forcePress, false, false, any},
        {Kind::longPress, false, false, any},
        {Kind::holdSwipe, true, false, any},
        {Kind::tapSwipe, true, false, any},
        {Kind::anchorSwipe, true, true, {2}},
        {Kind::pinchIn, false, false, {2, 3, 4}},
        {Kind::pinchOut, false, false, {2, 3, 4}},
        {Kind::rotateClockwise, false, true, {2}},
        {Kind::rotateCounterclockwise, false, true, {2}},
        {Kind::circle, false, false, any},
        {Kind::backAndForth, false, false, any},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(enumRaw(c.kind).toStdString());
        EXPECT_EQ(usesDirection(c.kind), c.usesDirection);
        EXPECT_EQ(isTwoFingerOnly(c.kind), c.twoFingerOnly);
        EXPECT_EQ(allowedFingerCounts(c.kind), c.allowed);
    }
}

TEST(GestureDescriptorTest, NormalizedFingerCount) {
    struct Case {
        Kind kind;
        qint64 given;
        qint64 expected;
    };
    const Case cases[] = {
        {Kind::pinchIn, 1, 2},     {Kind::pinchIn, 3, 3},         {Kind::pinchOut, 5, 2}, {Kind::anchorSwipe, 1, 2},
        {Kind::anchorSwipe, 4, 2}, {Kind::rotateClockwise, 3, 2}, {Kind::tap, 5, 1},      {Kind::tap, 0, 1},
        {Kind::tap, -2, 1},        {Kind::swipe, 4, 4},           {Kind::circle, 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(normalizedFingerCount(c.kind, c.given), c.expected)
            << enumRaw(c.kind).toStdString() << " " << c.given;
    }
}

TEST(GestureDescriptorTest, DirectionOfDisplacement) {
    struct Case {
        float dx, dy;
        Direction expected;
    };
    const Case cases[] = {
        // 2·|dy| must be strictly less than |dx| for a horizontal direction.
        {0.1f, 0.05f, Direction::upRight},
        {0.11f, 0.05f, Direction::right},
        {-0.11f, 0.05f, Direction::left},
        {0.05f, 0.1f, Direction::upRight},
        {0.05f, 0.11f, Direction::up},
        {0.05f, -0.11f, Direction::down},
        {-0.1f, -0.1f, Direction::downLeft},
        {0.1f, -0.1f, Direction::downRight},
        {-0.1f, 0.1f, Direction::upLeft},
        // Zero components count as left and down.
        {0, 0, Direction::downLeft},
        {0, 0.3f, Direction::up},
        {0, -0.3f, Direction::down},
        {0.3f, 0, Direction::right},
        {-0.3f, 0, Direction::left},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GestureDescriptor::directionOf(c.dx, c.dy), c.expected) << c.dx << ", " << c.dy;
    }
}

TEST(GestureDescriptorTest, SameGestureComparesOnlyWhatTheKindUses) {
    const GestureDescriptor swipe{Kind::swipe, 3, Direction::right, 1};
    EXPECT_TRUE(swipe.isSameGesture({Kind::swipe, 3, Direction::right, 2}));
    EXPECT_FALSE(swipe.isSameGesture({Kind::swipe, 3, Direction::left, 1}));
    EXPECT_FALSE(swipe.isSameGesture({Kind::swipe, 2, Direction::right, 1}));
    EXPECT_FALSE(swipe.isSameGesture({Kind::holdSwipe, 3, Direction::right, 1}));

    const GestureDescriptor tap{Kind::tap, 2, Direction::up, 2};
    EXPECT_TRUE(tap.isSameGesture({Kind::tap, 2, Direction::down, 2}));
    EXPECT_FALSE(tap.isSameGesture({Kind::tap, 2, Direction::up, 1}));

    const GestureDescriptor pinch{Kind::pinchIn, 2, Direction::up, 1};
    EXPECT_TRUE(pinch.isSameGesture({Kind::pinchIn, 2, Direction::left, 3}));
    EXPECT_FALSE(pinch == (GestureDescriptor{Kind::pinchIn, 2, Direction::left, 3}));
}

TEST(GestureDescriptorTest, NewRuleDefault) {
    EXPECT_EQ(GestureDescriptor{}, (GestureDescriptor{Kind::swipe, 3, Direction::right, 1}));
}

TEST(GestureDescriptorTest, Titles) {
    struct Case {
        GestureDescriptor descriptor;
        const char* title;
    };
    const Case cases[] = {
        {{Kind::swipe, 3, Direction::right, 1}, "三指向右滑动"},
        {{Kind::tap, 5, Direction::up, 1}, "多指轻点一下"},
        {{Kind::tap, 1, Direction::up, 2}, "单指轻点两下"},
        {{Kind::tap, 2, Direction::up, 7}, "双指轻点三下"},
        {{Kind::click, 4, Direction::up, 1}, "四指单击触控板"},
        {{Kind::forcePress, 1, Direction::up, 1}, "单指用力按下"},
        {{Kind::longPress, 0, Direction::up, 1}, "多指长按后松开"},
        {{Kind::holdSwipe, 2, Direction::upLeft, 1}, "双指按住片刻，再向左上方滑动"},
        {{Kind::tapSwipe, 3, Direction::downRight, 1}, "三指轻点后，再向右下方滑动"},
        {{Kind::anchorSwipe, 2, Direction::down, 1}, "一指按住，另一指向下滑动"},
        {{Kind::pinchIn, 3, Direction::up, 1}, "三指合拢"},
        {{Kind::pinchOut, 4, Direction::up, 1}, "四指张开"},
        {{Kind::rotateClockwise, 3, Direction::up, 1}, "双指顺时针旋转"},
        {{Kind::rotateCounterclockwise, 2, Direction::up, 1}, "双指逆时针旋转"},
        {{Kind::circle, 1, Direction::up, 1}, "单指画一个圈"},
        {{Kind::backAndForth, 2, Direction::up, 1}, "双指来回滑动"},
        {{Kind::swipe, 1, Direction::up, 1}, "单指向上滑动"},
        {{Kind::swipe, 1, Direction::downLeft, 1}, "单指向左下方滑动"},
        {{Kind::swipe, 1, Direction::upRight, 1}, "单指向右上方滑动"},
        {{Kind::swipe, 1, Direction::left, 1}, "单指向左滑动"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.descriptor.title(), QString::fromUtf8(c.title));
}

TEST(GestureDescriptorTest, JsonRoundTripAndKeys) {
    const GestureDescriptor descriptor{Kind::holdSwipe, 4, Direction::downLeft, 1};
    const QJsonValue json = descriptor.toJson();
    EXPECT_EQ(QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact),
              QByteArray(R"({"direction":"downLeft","fingers":4,"kind":"holdSwipe","tapCount":1})"));
    auto back = GestureDescriptor::fromJson(json, JsonPath());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value(), descriptor);
}

TEST(GestureDescriptorTest, JsonDecodeFailures) {
    struct Case {
        const char* json;
        const char* path;
        JsonError::Kind kind;
    };
    const Case cases[] = {
        {R"({"kind":"tap","fingers":2,"direction":"up"})", "g.tapCount", JsonError::Kind::missingKey},
        {R"({"kind":"wave","fingers":2,"direction":"up","tapCount":1})", "g.kind", JsonError::Kind::dataCorrupted},
        {R"({"kind":"tap","fingers":2,"direction":"Up","tapCount":1})", "g.direction", JsonError::Kind::dataCorrupted},
        {R"({"kind":"tap","fingers":2.5,"direction":"up","tapCount":1})", "g.fingers", JsonError::Kind::dataCorrupted},
        {R"({"kind":"tap","fingers":"2","direction":"up","tapCount":1})", "g.fingers", JsonError::Kind::typeMismatch},
        {R"({"fingers":2,"direction":"up","tapCount":1})", "g.kind", JsonError::Kind::missingKey},
    };
    for (const auto& c : cases) {
        const QJsonValue json = QJsonDocument::fromJson(c.json).object();
        auto result = GestureDescriptor::fromJson(json, JsonPath(QStringLiteral("g")));
        ASSERT_FALSE(result.ok()) << c.json;
        EXPECT_EQ(result.error().path, QString::fromLatin1(c.path)) << c.json;
        EXPECT_EQ(result.error().kind, c.kind) << c.json;
    }
    EXPECT_FALSE(GestureDescriptor::fromJson(QJsonValue(QStringLiteral("tap")), JsonPath()).ok());
}

TEST(GestureDescriptorTest, UsableAsHashKey) {
    const GestureDescriptor a{Kind::tap, 2, Direction::up, 2};
    const GestureDescriptor b{Kind::tap, 2, Direction::up, 3};
    QHash<GestureDescriptor, int> qt{{a, 1}, {b, 2}};
    std::unordered_set<GestureDescriptor> std{a, b, a};
    EXPECT_EQ(qt.value(a), 1);
    EXPECT_EQ(qt.value(b), 2);
    EXPECT_EQ(std.size(), 2u);
    QHash<Kind, int> byKind{{Kind::circle, 7}};
    EXPECT_EQ(byKind.value(Kind::circle), 7);
}

TEST(TouchPointTest, SortByIdentifierOrdersAscendingInPlace) {
    std::vector<TouchPoint> points = {{7, 0.1f, 0.2f, 1}, {-1, 0.3f, 0.4f, 2}, {3, 0.5f, 0.6f, 3}, {3, 0.9f, 0.9f, 4}};
    TouchPoint::sortByIdentifier(points);
    const std::vector<TouchPoint> expected = {
        {-1, 0.3f, 0.4f, 2}, {3, 0.5f, 0.6f, 3}, {3, 0.9f, 0.9f, 4}, {7, 0.1f, 0.2f, 1}};
    EXPECT_EQ(points, expected);
    std::vector<TouchPoint> none;
    TouchPoint::sortByIdentifier(none);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace glidra
