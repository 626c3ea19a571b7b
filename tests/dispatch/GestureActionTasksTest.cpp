#include "dispatch/GestureActionTasks.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

QCoro::Task<void> sleepThenRecord(Scheduler* scheduler, double seconds, CancellationToken token, QStringList* log,
                                  QString name) {
    log->append(name + QStringLiteral(" started"));
    const bool slept = co_await scheduler->sleep(seconds, token);
    log->append(name + (slept ? QStringLiteral(" finished") : QStringLiteral(" cancelled")));
}

QCoro::Task<void> setFlag(bool* flag) {
    *flag = true;
    co_return;
}

TEST(GestureActionTasksTest, ATaskCancelledBeforeItStartsNeverRunsItsOperation) {
    GestureActionTasks tasks;
    bool ran = false;
    tasks.run([&ran](CancellationToken) { return setFlag(&ran); });
    EXPECT_EQ(tasks.runningCount(), 1u);
    tasks.cancelAll();
    EXPECT_EQ(tasks.runningCount(), 0u);
    test::SimTime::drain();
    EXPECT_FALSE(ran);
    EXPECT_EQ(tasks.runningCount(), 0u);
}

TEST(GestureActionTasksTest, OperationsStartFromTheEventLoopAndRemoveOnlyTheirOwnEntry) {
    test::SimTime time;
    GestureActionTasks tasks;
    QStringList log;
    Scheduler* scheduler = &time.scheduler;
    tasks.run([&, scheduler](CancellationToken token) {
        return sleepThenRecord(scheduler, 1.0, token, &log, QStringLiteral("a"));
    });
    tasks.run([&, scheduler](CancellationToken token) {
        return sleepThenRecord(scheduler, 2.0, token, &log, QStringLiteral("b"));
    });
    EXPECT_TRUE(log.isEmpty()) << "run() returns before the operation starts";
    time.drain();
    EXPECT_EQ(log, (QStringList{QStringLiteral("a started"), QStringLiteral("b started")}));
    EXPECT_EQ(tasks.runningCount(), 2u);
    time.advanceTo(1.0);
    EXPECT_EQ(tasks.runningCount(), 1u);
    time.advanceTo(2.0);
    EXPECT_EQ(tasks.runningCount(), 0u);
    EXPECT_EQ(log.last(), QStringLiteral("b finished"));
}

TEST(GestureActionTasksTest, CancelAllEmptiesAtOnceWhileRunningOperationsFinishCooperatively) {
    test::SimTime time;
    GestureActionTasks tasks;
    QStringList log;
    Scheduler* scheduler = &time.scheduler;
    tasks.run([&, scheduler](CancellationToken token) {
        return sleepThenRecord(scheduler, 5.0, token, &log, QStringLiteral("a"));
    });
    time.drain();
    tasks.cancelAll();
    EXPECT_EQ(tasks.runningCount(), 0u);
    time.drain();
    EXPECT_EQ(log.last(), QStringLiteral("a cancelled"));
    tasks.cancelAll();  // empty: nothing happens
    EXPECT_EQ(tasks.runningCount(), 0u);
}

TEST(GestureActionTasksTest, TasksOutliveTheRegistryWithoutTouchingIt) {
    test::SimTime time;
    QStringList log;
    Scheduler* scheduler = &time.scheduler;
    {
        GestureActionTasks tasks;
        tasks.run([&, scheduler](CancellationToken token) {
            return sleepThenRecord(scheduler, 1.0, token, &log, QStringLiteral("a"));
        });
        time.drain();
    }
    time.advanceTo(1.0);
    EXPECT_EQ(log.last(), QStringLiteral("a finished"));
}

}  // namespace
}  // namespace glidra
