#include "executors/KeyboardBacklightStepper.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimAccessibilityTrust.h"
#include "support/NoticePrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;

struct KeyboardBacklightStepperTest : ::testing::Test {
    sim::SimAccessibilityTrust trust;
    sim::ManualClock clock{10.0};
    std::vector<std::pair<ShortcutMediaKey, QString>> posted;
    std::optional<int> failPostAt;  // the index of the posting that fails
    KeyboardBacklightStepper stepper{trust, clock, [this](ShortcutMediaKey key, const QString& label) {
                                         posted.emplace_back(key, label);
                                         if (failPostAt && int(posted.size()) - 1 == *failPostAt) {
                                             return test::notice("媒体按键暂不可用", "keyboard", Kind::error);
                                         }
                                         return HUDNotice{label, QStringLiteral("keyboard"), Kind::success};
                                     }};

    void SetUp() override { trust.setTrusted(true); }
};

TEST_F(KeyboardBacklightStepperTest, StepsCarryTheRemainderOnlyForQuickChangesInOneDirection) {
    struct Step {
        float delta;
        double now;
        int steps;
        float residual;
    };
    const std::vector<Step> script = {
        {0.1f, 1.0, 1, 0.0375f},      // 1.6 steps
        {0.1f, 1.3, 2, 0.0125f},      // 0.1375 x 16 = 2.2
        {0.1f, 1.8, 1, 0.0375f},      // after more than 0.4 s the carry is gone
        {-0.05f, 1.9, 0, -0.05f},     // a reversal drops the carry
        {-0.03f, 2.3, -1, -0.0175f},  // 0.4 s later still carries
        {-0.01f, 2.2, 0, -0.01f},     // time running backwards drops it
        {5.0f, 2.3, 16, 0.0f},        // clamped to the whole range
        {-2.0f, 2.4, -16, 0.0f},     {std::numeric_limits<float>::quiet_NaN(), 2.5, 0, 0.0f},
    };
    for (const Step& s : script) {
        SCOPED_TRACE(::testing::Message() << s.delta << " at " << s.now);
        EXPECT_EQ(stepper.steps(s.delta, s.now), s.steps);
        EXPECT_NEAR(stepper.residual(), s.residual, 1e-6f);
    }
    EXPECT_EQ(stepper.steps(0.05f, std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(stepper.steps(0.05f, 2.6), 0) << "an infinite time changed nothing";
    EXPECT_NEAR(stepper.residual(), 0.05f, 1e-6f);
}

TEST_F(KeyboardBacklightStepperTest, ResetDropsTheCarry) {
    EXPECT_EQ(stepper.steps(0.1f, 1.0), 1);
    stepper.reset();
    EXPECT_EQ(stepper.residual(), 0.0f);
    EXPECT_EQ(stepper.steps(0.05f, 1.1), 0);
}

TEST_F(KeyboardBacklightStepperTest, AdjustPostsOneKeyPerStepAndNamesIt) {
    EXPECT_EQ(stepper.adjust(0.03f), std::nullopt) << "less than a step";
    EXPECT_TRUE(posted.empty());

    clock.set(10.1);
    EXPECT_EQ(stepper.adjust(0.1f), test::notice("键盘背光调亮", "light.max", Kind::success));
    ASSERT_EQ(posted.size(), 2u) << "0.03 carried over: 0.13 x 16 = 2.08";
    EXPECT_EQ(posted[0], std::make_pair(ShortcutMediaKey::keyboardBrightnessUp, QStringLiteral("键盘背光调亮")));

    posted.clear();
    clock.set(11.0);
    EXPECT_EQ(stepper.adjust(-0.2f), test::notice("键盘背光调暗", "light.min", Kind::success));
    EXPECT_EQ(posted, (std::vector<std::pair<ShortcutMediaKey, QString>>(
                          3, {ShortcutMediaKey::keyboardBrightnessDown, QStringLiteral("键盘背光调暗")})));
}

TEST_F(KeyboardBacklightStepperTest, AFailedPostingStopsTheStepsWithItsNotice) {
    failPostAt = 1;
    EXPECT_EQ(stepper.adjust(0.25f), test::notice("媒体按键暂不可用", "keyboard", Kind::error));
    EXPECT_EQ(posted.size(), 2u);
}

TEST_F(KeyboardBacklightStepperTest, WithoutAccessibilityNothingIsPostedOrCarried) {
    trust.setTrusted(false);
    EXPECT_EQ(stepper.adjust(0.5f), test::notice("请在通用设置中授权访问输入设备", "lock.fill", Kind::error));
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(stepper.residual(), 0.0f);
}

}  // namespace
}  // namespace glidra
