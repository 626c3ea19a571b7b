#pragma once

#include "platform/Clock.h"

#include <atomic>

namespace glidra::sim {

// A clock that moves only when told to; tests and the replay tool drive it.
class ManualClock final : public Clock {
public:
    explicit ManualClock(double uptime = 0.0,
                         QDateTime wallClockAtZero = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));

    double uptime() const override { return uptime_.load(std::memory_order_acquire); }
    QDateTime currentDateTimeUtc() const override;

    void set(double uptime) { uptime_.store(uptime, std::memory_order_release); }

private:
    std::atomic<double> uptime_;
    QDateTime wallClockAtZero_;
};

}  // namespace glidra::sim
