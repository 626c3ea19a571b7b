#include "executors/KeepAwakeController.h"
#include "platform/sim/SimPowerAssertions.h"
#include "support/NoticePrinter.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

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

    // The notice of a request that the system answers at once.
    std::optional<HUDNotice> set(bool active) {
        auto notice = test::resultOf(keepAwake.setActive(active));
        test::SimTime::drain();
        return *notice;
    }
};

TEST_F(KeepAwakeControllerTest, HoldsOneAssertionWhileOnAndRepeatsTheStateNotice) {
    QSignalSpy changed(&keepAwake, &KeepAwakeController::isActiveChanged);
    EXPECT_EQ(set(false), kOff);
    EXPECT_EQ(power.releaseCalls(), 0) << "nothing held, nothing released";

    EXPECT_EQ(set(true), kOn);
    EXPECT_EQ(set(true), kOn);
    EXPECT_EQ(power.createCalls(), 1);
    EXPECT_EQ(power.held().size(), 1u);
    EXPECT_EQ(power.lastName(), QStringLiteral("Glidra — Keep display and system awake"));
    EXPECT_TRUE(keepAwake.isActive());
    EXPECT_EQ(keepAwake.assertion(), *power.held().begin());

    EXPECT_EQ(set(false), kOff);
    EXPECT_TRUE(power.held().empty());
    EXPECT_FALSE(keepAwake.isActive());
    EXPECT_EQ(keepAwake.assertion(), std::nullopt);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(KeepAwakeControllerTest, ARefusedAssertionLeavesItOff) {
    power.setCreateFails(true);
    EXPECT_EQ(set(true), kCannotEnable);
    EXPECT_FALSE(keepAwake.isActive());
    power.setCreateFails(false);
    EXPECT_EQ(set(true), kOn);
}

TEST_F(KeepAwakeControllerTest, AFailedReleaseKeepsItOnForARetryWithTheSameAssertion) {
    set(true);
    const auto held = keepAwake.assertion();
    power.setReleaseFails(true);
    EXPECT_EQ(set(false), kCannotDisable);
    EXPECT_TRUE(keepAwake.isActive());
    EXPECT_EQ(keepAwake.assertion(), held);

    power.setReleaseFails(false);
    EXPECT_EQ(set(false), kOff);
    EXPECT_TRUE(power.held().empty());
}

// Requests made while the system has not answered the first wait their turn:
// two quick enables take one assertion, and a toggle acts on the state the
// request before it left.
TEST_F(KeepAwakeControllerTest, RequestsDuringASlowAnswerTakeTheirTurn) {
    power.answers.setHolds(true);
    auto first = test::resultOf(keepAwake.setActive(true));
    auto second = test::resultOf(keepAwake.setActive(true));
    auto toggled = test::resultOf(keepAwake.toggle());
    test::SimTime::drain();
    EXPECT_FALSE(first->has_value()) << "the system has not answered yet";
    EXPECT_EQ(power.createCalls(), 1) << "the others wait";

    power.answers.release();
    test::SimTime::drain();
    EXPECT_EQ(*first, kOn);
    EXPECT_EQ(*second, kOn);
    EXPECT_EQ(power.createCalls(), 1);
    EXPECT_FALSE(toggled->has_value()) << "the toggle's release waits for its answer";

    power.answers.release();
    test::SimTime::drain();
    EXPECT_EQ(*toggled, kOff);
    EXPECT_TRUE(power.held().empty());
    EXPECT_FALSE(keepAwake.isActive());
    EXPECT_EQ(power.releaseCalls(), 1);
}

TEST_F(KeepAwakeControllerTest, ARequestStillInLineWhenTheControllerGoesChangesNothing) {
    power.answers.setHolds(true);
    auto controller = std::make_unique<KeepAwakeController>(power);
    auto first = test::resultOf(controller->setActive(true));
    auto waiting = test::resultOf(controller->setActive(false));
    controller.reset();
    test::SimTime::drain();
    EXPECT_EQ(*waiting, kCannotDisable);
    power.answers.release();
    test::SimTime::drain();
    EXPECT_EQ(*first, kCannotEnable);
    power.answers.release();
    test::SimTime::drain();
    EXPECT_TRUE(power.held().empty()) << "what was granted after the controller went is given back";
}

}  // namespace
}  // namespace glidra
