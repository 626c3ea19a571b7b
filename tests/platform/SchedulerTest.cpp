#include "support/SimTime.h"

#include <gtest/gtest.h>
#include <QCoro/QCoroTask>

#include <vector>

namespace glidra {
namespace {

TEST(SimSchedulerTest, FiresInDeadlineOrderWithTheClockAtEachDeadline) {
    test::SimTime time;
    std::vector<std::pair<int, double>> fired;
    time.scheduler.after(0.4, nullptr, [&] { fired.emplace_back(1, time.clock.uptime()); });
    time.scheduler.after(0.2, nullptr, [&] { fired.emplace_back(2, time.clock.uptime()); });
    time.scheduler.after(0.2, nullptr, [&] { fired.emplace_back(3, time.clock.uptime()); });
    time.advanceTo(0.3);
    EXPECT_EQ(fired, (std::vector<std::pair<int, double>>{{2, 0.2}, {3, 0.2}}));
    EXPECT_EQ(time.clock.uptime(), 0.3);
    time.advanceTo(1.0);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[2], (std::pair<int, double>{1, 0.4}));
}

TEST(SimSchedulerTest, AHandleCancelledAtItsDeadlineNeverFires) {
    test::SimTime time;
    bool laterFired = false;
    TimerHandle later;
    time.scheduler.after(0.4, nullptr, [&] { later.cancel(); });
    later = time.scheduler.after(0.4, nullptr, [&] { laterFired = true; });
    time.advanceTo(0.4);
    EXPECT_FALSE(laterFired);
    EXPECT_FALSE(later.isActive());
}

TEST(SimSchedulerTest, ADestroyedContextSilencesItsCallbacks) {
    test::SimTime time;
    bool fired = false;
    auto context = std::make_unique<QObject>();
    time.scheduler.after(0.1, context.get(), [&] { fired = true; });
    context.reset();
    time.advanceTo(1.0);
    EXPECT_FALSE(fired);
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);
}

QCoro::Task<void> sleeper(Scheduler& scheduler, CancellationToken token, std::vector<bool>& results) {
    results.push_back(co_await scheduler.sleep(2.0, token));
}

TEST(SimSchedulerTest, SleepResumesWhenTheTimePassesOrWithCancelled) {
    test::SimTime time;
    std::vector<bool> results;
    CancellationSource full;
    CancellationSource cancelled;
    auto a = sleeper(time.scheduler, full.token(), results);
    auto b = sleeper(time.scheduler, cancelled.token(), results);
    time.advanceTo(1.0);
    EXPECT_TRUE(results.empty());
    cancelled.cancel();
    EXPECT_TRUE(results.empty()) << "a cancelled sleep resumes from the event loop, not inside cancel()";
    time.drain();
    EXPECT_EQ(results, std::vector<bool>{false});
    time.advanceTo(2.0);
    EXPECT_EQ(results, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace glidra
