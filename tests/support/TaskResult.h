#pragma once

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace glidra::test {

namespace detail {
template <typename T>
QCoro::Task<void> storeResult(QCoro::Task<T> task, std::shared_ptr<std::optional<T>> result) {
    *result = co_await std::move(task);
}
}  // namespace detail

// Lets a started task run on by itself and keeps its result once it has one:
//
//   auto notice = resultOf(executor.execute(action));
//   SimTime::drain();
//   EXPECT_EQ(*notice, ...);   // empty while the task is still suspended
template <typename T>
std::shared_ptr<std::optional<T>> resultOf(QCoro::Task<T> task) {
    auto result = std::make_shared<std::optional<T>>();
    auto running = detail::storeResult(std::move(task), result);
    Q_UNUSED(running);
    return result;
}

// The result of a task that finishes without waiting (on sim ports that
// answer at once); a failure, and a default value, when it is still
// suspended.
template <typename T>
T completed(QCoro::Task<T> task) {
    auto result = resultOf(std::move(task));
    if (!result->has_value()) {
        ADD_FAILURE() << "the task is still waiting";
        return T{};
    }
    return std::move(**result);
}

// Runs the event loop until the kept result is there, for tasks that wait on
// another process; false when it did not come within `timeoutMs`.
template <typename T>
bool waitFor(const std::shared_ptr<std::optional<T>>& result, int timeoutMs = 20000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!result->has_value() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return result->has_value();
}

// The result of a task that waits on another process; nothing when it had
// none within `timeoutMs`.
template <typename T>
std::optional<T> waitForResult(QCoro::Task<T> task, int timeoutMs = 20000) {
    auto result = resultOf(std::move(task));
    waitFor(result, timeoutMs);
    return *result;
}

// The result of a task that waits on another process, run to its end; a
// failure, and a default value, when it had none within `timeoutMs`.
template <typename T>
T awaited(QCoro::Task<T> task, int timeoutMs = 20000) {
    auto result = resultOf(std::move(task));
    if (!waitFor(result, timeoutMs)) {
        ADD_FAILURE() << "no result within " << timeoutMs << " ms";
        return T{};
    }
    return std::move(**result);
}

}  // namespace glidra::test
