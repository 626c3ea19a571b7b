#include "executors/KeepAwakeController.h"
#include "platform/sim/SimPowerAssertions.h"
#include "support/NoticePrinter.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;

const HUDNotice kOn = test::notice("保持唤醒已开启", "cup.and.saucer.fill", Kind::success);
const HUDNotice kOff = test::notice("已恢复自动熄屏和休眠", "cup.and.saucer", Kind::success);
const HUDNotice kCannotEnable = test::notice("无法开启保持唤醒", "cup.and.saucer", Kind::error);
const HUDNotice kCannotDisable = test::notice("未能关闭保持唤醒，请重试", "cup.and.saucer", Kind::error);

struct KeepAwakeControllerTest : ::testing::Test {
    sim::SimPowerAssertions power;
    KeepAwakeController keepAwake{power};
};

TEST_F(KeepAwakeControllerTest, HoldsOneAssertionWhileOnAndRepeatsTheStateNotice) {
    QSignalSpy changed(&keepAwake, &KeepAwakeController::isActiveChanged);
    EXPECT_EQ(keepAwake.setActive(false), kOff);
    EXPECT_EQ(power.releaseCalls(), 0) << "nothing held, nothing released";

    EXPECT_EQ(keepAwake.setActive(true), kOn);
    EXPECT_EQ(keepAwake.setActive(true), kOn);
    EXPECT_EQ(power.createCalls(), 1);
    EXPECT_EQ(power.held().size(), 1u);
    EXPECT_EQ(power.lastName(), QStringLiteral("Glidra — Keep display and system awake"));
    EXPECT_TRUE(keepAwake.isActive());
    EXPECT_EQ(keepAwake.assertion(), *power.held().begin());

    EXPECT_EQ(keepAwake.setActive(false), kOff);
    EXPECT_TRUE(power.held().empty());
    EXPECT_FALSE(keepAwake.isActive());
    EXPECT_EQ(keepAwake.assertion(), std::nullopt);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(KeepAwakeControllerTest, ARefusedAssertionLeavesItOff) {
    power.setCreateFails(true);
    EXPECT_EQ(keepAwake.setActive(true), kCannotEnable);
    EXPECT_FALSE(keepAwake.isActive());
    power.setCreateFails(false);
    EXPECT_EQ(keepAwake.setActive(true), kOn);
}

TEST_F(KeepAwakeControllerTest, AFailedReleaseKeepsItOnForARetryWithTheSameAssertion) {
    keepAwake.setActive(true);
    const auto held = keepAwake.assertion();
    power.setReleaseFails(true);
    EXPECT_EQ(keepAwake.setActive(false), kCannotDisable);
    EXPECT_TRUE(keepAwake.isActive());
    EXPECT_EQ(keepAwake.assertion(), held);

    power.setReleaseFails(false);
    EXPECT_EQ(keepAwake.setActive(false), kOff);
    EXPECT_TRUE(power.held().empty());
}

}  // namespace
}  // namespace glidra
