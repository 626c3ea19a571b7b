#include "gestures/GestureRegion.h"

#include "gestures/EnumCaseTable.h"

#include <gtest/gtest.h>

#include <limits>

namespace glidra {
namespace {

using Rect = NormalizedRegionRect;

TEST(GestureRegionTest, CasesAndTitles) {
    test::expectEnumCases<GestureRegion>({{"anywhere", "全触控板"},
                                          {"center", "中间区域"},
                                          {"left", "左边缘"},
                                          {"right", "右边缘"},
                                          {"top", "上边缘"},
                                          {"bottom", "下边缘"},
                                          {"topLeft", "左上角"},
                                          {"topRight", "右上角"},
                                          {"bottomLeft", "左下角"},
                                          {"bottomRight", "右下角"},
                                          {"custom", "自定义区域"}},
                                         [](GestureRegion r) { return title(r); });
}

TEST(GestureRegionTest, RectanglesForEdgeWidth) {
    const float w = 0.1f;
    struct Case {
        GestureRegion region;
        Rect rect;
    };
    const Case cases[] = {
        {GestureRegion::anywhere, {0, 0, 1, 1}},    {GestureRegion::center, {w, w, 1 - w, 1 - w}},
        {GestureRegion::left, {0, w, w, 1 - w}},    {GestureRegion::right, {1 - w, w, 1, 1 - w}},
        {GestureRegion::top, {w, 1 - w, 1 - w, 1}}, {GestureRegion::bottom, {w, 0, 1 - w, w}},
        {GestureRegion::topLeft, {0, 1 - w, w, 1}}, {GestureRegion::topRight, {1 - w, 1 - w, 1, 1}},
        {GestureRegion::bottomLeft, {0, 0, w, w}},  {GestureRegion::bottomRight, {1 - w, 0, 1, w}},
        {GestureRegion::custom, {0, 0, 1, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(rect(c.region, w), c.rect) << enumRaw(c.region).toStdString();
}

TEST(GestureRegionTest, EdgeWidthIsClamped) {
    EXPECT_EQ(rect(GestureRegion::left, 0.5f), (Rect{0, 0.3f, 0.3f, 0.7f}));
    EXPECT_EQ(rect(GestureRegion::center, 0.5f), (Rect{0.3f, 0.3f, 0.7f, 0.7f}));
    EXPECT_EQ(rect(GestureRegion::bottomLeft, 0), (Rect{0, 0, 0.02f, 0.02f}));
    EXPECT_EQ(rect(GestureRegion::bottomLeft, -1), (Rect{0, 0, 0.02f, 0.02f}));
    EXPECT_EQ(rect(GestureRegion::bottomLeft, std::numeric_limits<float>::quiet_NaN()), (Rect{0, 0, 0.02f, 0.02f}));
    EXPECT_EQ(rect(GestureRegion::bottomLeft, std::numeric_limits<float>::infinity()), (Rect{0, 0, 0.3f, 0.3f}));
    for (const GestureRegion region : enumAllCases<GestureRegion>()) {
        EXPECT_TRUE(rect(region, 0.3f).isValid()) << enumRaw(region).toStdString();
    }
}

}  // namespace
}  // namespace glidra
