#pragma once

#include <QDateTime>

namespace glidra {

// The only source of time in the program.
class Clock {
public:
    virtual ~Clock() = default;

    // Seconds of monotonic system uptime. Safe from any thread: the bridge's
    // frame callback reads it. Frame timestamps share this base.
    virtual double uptime() const = 0;

    // Wall-clock time, for what is written for people (export dates, logs).
    virtual QDateTime currentDateTimeUtc() const = 0;
};

}  // namespace glidra
