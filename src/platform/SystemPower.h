#pragma once

#include <QCoro/QCoroTask>

namespace glidra {

// Puts the computer to sleep.
class SystemPower {
public:
    enum class SleepResult {
        unavailable,  // the power management could not be reached
        refused,      // it was reached and did not start the sleep
        sleeping,
    };

    virtual ~SystemPower() = default;

    // Asks for sleep now; answers within a bounded time, without blocking.
    virtual QCoro::Task<SleepResult> sleep() = 0;
};

}  // namespace glidra
