#pragma once

#include <QCoro/QCoroTask>
#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

using PowerAssertionId = std::uint32_t;

// Holds the display and the system awake while the user is idle. An
// assertion never blocks a sleep the user asks for, and it ends with the
// process. Both calls answer within a bounded time without blocking.
class PowerAssertions {
public:
    virtual ~PowerAssertions() = default;

    // Prevents idle display sleep under `name`, as the system shows it;
    // nothing when the system refuses or does not answer in time. An
    // assertion granted after that is not kept.
    virtual QCoro::Task<std::optional<PowerAssertionId>> preventIdleDisplaySleep(QString name) = 0;
    // False when the system did not release it.
    virtual QCoro::Task<bool> release(PowerAssertionId assertion) = 0;
};

}  // namespace glidra
