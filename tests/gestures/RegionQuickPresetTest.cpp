#include "gestures/RegionQuickPreset.h"

#include "gestures/EnumCaseTable.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using Rect = NormalizedRegionRect;

TEST(RegionQuickPresetTest, CasesAndTitles) {
    test::expectEnumCases<RegionQuickPreset>({{"topLeft", "左上方"},
                                              {"top", "上方"},
                                              {"topRight", "右上方"},
                                              {"left", "左侧"},
                                              {"center", "居中"},
                                              {"right", "右侧"},
                                              {"bottomLeft", "左下方"},
                                              {"bottom", "下方"},
                                              {"bottomRight", "右下方"}},
                                             [](RegionQuickPreset p) { return title(p); });
}

TEST(RegionQuickPresetTest, RectanglesAtSize) {
    struct Case {
        RegionQuickPreset preset;
        int size;
        Rect rect;
    };
    const Case cases[] = {
        {RegionQuickPreset::topLeft, 25, {0, 0.75f, 0.25f, 1}},
        {RegionQuickPreset::top, 25, {0, 0.75f, 1, 1}},
        {RegionQuickPreset::topRight, 25, {0.75f, 0.75f, 1, 1}},
        {RegionQuickPreset::left, 25, {0, 0, 0.25f, 1}},
        {RegionQuickPreset::center, 50, {0.25f, 0.25f, 0.75f, 0.75f}},
        {RegionQuickPreset::right, 25, {0.75f, 0, 1, 1}},
        {RegionQuickPreset::bottomLeft, 25, {0, 0, 0.25f, 0.25f}},
        {RegionQuickPreset::bottom, 25, {0, 0, 1, 0.25f}},
        {RegionQuickPreset::bottomRight, 25, {0.75f, 0, 1, 0.25f}},
        // The size is clamped to 2...100 percent.
        {RegionQuickPreset::bottomLeft, 0, {0, 0, 0.02f, 0.02f}},
        {RegionQuickPreset::center, 150, {0, 0, 1, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(rect(c.preset, c.size), c.rect) << enumRaw(c.preset).toStdString();
}

TEST(RegionQuickPresetTest, Matching) {
    EXPECT_EQ(matchingQuickPreset({0.75f, 0, 1, 0.25f}, 25), RegionQuickPreset::bottomRight);
    EXPECT_EQ(matchingQuickPreset({0.75f, 0, 1, 0.25f}, 50), std::nullopt);
    EXPECT_EQ(matchingQuickPreset({0.1f, 0.1f, 0.4f, 0.4f}, 30), std::nullopt);
    // Size 1 reads as 2 percent, 150 as 100, where every preset is the whole pad
    // and the first in order wins.
    EXPECT_EQ(matchingQuickPreset({0, 0, 0.02f, 1}, 1), RegionQuickPreset::left);
    EXPECT_EQ(matchingQuickPreset({0, 0, 1, 1}, 150), RegionQuickPreset::topLeft);
    EXPECT_EQ(matchingQuickPreset({0, 0, 1, 1}, 100), RegionQuickPreset::topLeft);
}

}  // namespace
}  // namespace glidra
