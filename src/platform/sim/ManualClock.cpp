#include "platform/sim/ManualClock.h"

#include <cmath>

namespace glidra::sim {

ManualClock::ManualClock(double uptime, QDateTime wallClockAtZero)
    : uptime_(uptime), wallClockAtZero_(std::move(wallClockAtZero)) {}

QDateTime ManualClock::currentDateTimeUtc() const {
    return wallClockAtZero_.addMSecs(qint64(std::llround(uptime() * 1000.0)));
}

}  // namespace glidra::sim
