#include "gestures/ForcePressLevel.h"
#include "gestures/GestureRecognitionLevel.h"

#include "gestures/EnumCaseTable.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

TEST(GestureRecognitionLevelTest, CasesAndDistances) {
    test::expectEnumCases<GestureRecognitionLevel>({{"relaxed", "灵敏"}, {"standard", "标准"}, {"deliberate", "稳健"}},
                                                   [](GestureRecognitionLevel l) { return title(l); });
    struct Case {
        GestureRecognitionLevel level;
        float travel, swipe, scale;
    };
    const Case cases[] = {
        {GestureRecognitionLevel::relaxed, 0.035f, 0.11f, 0.7857f},
        {GestureRecognitionLevel::standard, 0.025f, 0.14f, 1.0f},
        {GestureRecognitionLevel::deliberate, 0.015f, 0.2f, 1.4286f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(travelThreshold(c.level), c.travel);
        EXPECT_EQ(swipeDistance(c.level), c.swipe);
        EXPECT_NEAR(swipeScale(c.level), c.scale, 5e-5);
    }
    EXPECT_EQ(swipeScale(GestureRecognitionLevel::standard), 1.0f);
}

TEST(ForcePressLevelTest, CasesAndThresholds) {
    test::expectEnumCases<ForcePressLevel>({{"light", "较轻"}, {"standard", "标准"}, {"firm", "较重"}},
                                           [](ForcePressLevel l) { return title(l); });
    EXPECT_EQ(pressureThreshold(ForcePressLevel::light), 200.0f);
    EXPECT_EQ(pressureThreshold(ForcePressLevel::standard), 350.0f);
    EXPECT_EQ(pressureThreshold(ForcePressLevel::firm), 550.0f);
}

}  // namespace
}  // namespace glidra
