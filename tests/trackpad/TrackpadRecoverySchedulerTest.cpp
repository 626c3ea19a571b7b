#include "platform/sim/SimMultitouchDeviceRegistry.h"
#include "support/SimTime.h"
#include "trackpad/TrackpadDeviceObserver.h"
#include "trackpad/TrackpadRecoveryScheduler.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace glidra {
namespace {

class TrackpadRecoverySchedulerTest : public ::testing::Test {
protected:
    test::SimTime time;
    bool permitted = true;
    int permissionAsked = 0;
    std::vector<double> reconnects;
    std::unique_ptr<TrackpadRecoveryScheduler> scheduler = std::make_unique<TrackpadRecoveryScheduler>(
        time.scheduler,
        [this] {
            ++permissionAsked;
            return permitted;
        },
        [this] { reconnects.push_back(time.clock.uptime()); });
};

TEST_F(TrackpadRecoverySchedulerTest, ANewerScheduleReplacesThePendingOne) {
    scheduler->schedule(0.7, [] { return true; });
    time.advanceBy(0.1);
    scheduler->schedule(0.1, [] { return true; });
    time.advanceBy(2);
    EXPECT_EQ(reconnects, (std::vector<double>{0.2}));
    EXPECT_FALSE(scheduler->isPending());
}

TEST_F(TrackpadRecoverySchedulerTest, TheConditionIsAskedOnlyWithThePermission) {
    int conditionAsked = 0;
    const auto condition = [&conditionAsked] {
        ++conditionAsked;
        return false;
    };
    scheduler->schedule(0.6, condition);
    time.advanceBy(0.6);
    EXPECT_EQ(conditionAsked, 1);
    EXPECT_TRUE(reconnects.empty());

    permitted = false;
    scheduler->schedule(0.6, condition);
    time.advanceBy(0.6);
    EXPECT_EQ(permissionAsked, 2);
    EXPECT_EQ(conditionAsked, 1);
    EXPECT_TRUE(reconnects.empty());
}

TEST_F(TrackpadRecoverySchedulerTest, ACancelledOrOrphanedReconnectNeverHappens) {
    scheduler->schedule(0.7, [] { return true; });
    time.advanceBy(0.5);
    scheduler->cancel();
    EXPECT_FALSE(scheduler->isPending());
    time.advanceBy(1);

    scheduler->schedule(0.7, [] { return true; });
    scheduler.reset();
    time.advanceBy(1);
    EXPECT_TRUE(reconnects.empty());
    EXPECT_EQ(permissionAsked, 0);
}

// --- device observer ---------------------------------------------------------------

class TrackpadDeviceObserverTest : public ::testing::Test {
protected:
    sim::SimMultitouchFramework framework;
    sim::SimMultitouchDeviceRegistry registry{framework};
    int changes = 0;
    TrackpadDeviceObserver observer{registry, [this] { ++changes; }};
};

TEST_F(TrackpadDeviceObserverTest, ReportsEachArrivalAndRemovalButNotTheDevicesAlreadyThere) {
    registry.plugIn();
    observer.start();
    EXPECT_TRUE(observer.isArmed());
    EXPECT_EQ(changes, 0);
    const auto second = registry.plugIn(2);
    EXPECT_EQ(changes, 1) << "one notification for devices that arrive together";
    registry.pullOut(second[0]);
    EXPECT_EQ(changes, 2);

    observer.start();
    EXPECT_EQ(registry.subscriptionCount(), 2) << "a second start never doubles the notifications";
    observer.stop();
    EXPECT_EQ(registry.subscriptionCount(), 0);
    registry.pullOut(second[1]);
    EXPECT_EQ(changes, 2);
}

TEST_F(TrackpadDeviceObserverTest, ARefusedNotificationLeavesItUnarmedAndSilent) {
    registry.setSubscribeFails(true);
    observer.start();
    EXPECT_FALSE(observer.isArmed());
    EXPECT_EQ(registry.subscriptionCount(), 0);
    registry.plugIn();
    EXPECT_EQ(changes, 0);
}

TEST_F(TrackpadDeviceObserverTest, PresenceIsFalseWhenTheSystemCannotBeAsked) {
    EXPECT_FALSE(TrackpadDeviceObserver::hasDevice(registry));
    registry.plugIn();
    EXPECT_TRUE(TrackpadDeviceObserver::hasDevice(registry));
    registry.setQueryFails(true);
    EXPECT_FALSE(TrackpadDeviceObserver::hasDevice(registry));
}

}  // namespace
}  // namespace glidra
