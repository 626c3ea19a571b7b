#pragma once

#include <QCoro/QCoroTask>

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

}  // namespace glidra::test
