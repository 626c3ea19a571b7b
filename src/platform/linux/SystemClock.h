#pragma once

#include "platform/Clock.h"

namespace glidra::linux_platform {

// CLOCK_MONOTONIC, the clock live evdev devices are switched to, so frame
// timestamps and uptime share one base.
class SystemClock final : public Clock {
public:
    double uptime() const override;
    QDateTime currentDateTimeUtc() const override;
};

}  // namespace glidra::linux_platform
