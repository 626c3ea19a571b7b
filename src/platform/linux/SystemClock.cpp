#include "platform/linux/SystemClock.h"

#include <time.h>

namespace glidra::linux_platform {

double SystemClock::uptime() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

QDateTime SystemClock::currentDateTimeUtc() const { return QDateTime::currentDateTimeUtc(); }

}  // namespace glidra::linux_platform
