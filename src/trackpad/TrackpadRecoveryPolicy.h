#pragma once

#include <limits>

namespace glidra {

// The timing behind the listener recovery's rate limits, in seconds of
// system uptime. Its heartbeat and stall check start no reconnect within
// `kStartGrace` of `startedAt` nor within `kAttemptSpacing` of `lastAttempt`;
// manual reconnects, device changes and wakes do not wait, but stamp
// `lastAttempt` and so hold those two back.
struct TrackpadRecoveryPolicy {
    double startedAt = 0;
    double lastAttempt = -std::numeric_limits<double>::infinity();

    static constexpr double kStartGrace = 1.0;
    static constexpr double kAttemptSpacing = 5.0;

    // Whether the heartbeat or the stall check may decide an attempt at `now`.
    bool allowsAttempt(double now) const {
        return now - startedAt >= kStartGrace && now - lastAttempt >= kAttemptSpacing;
    }

    friend bool operator==(const TrackpadRecoveryPolicy&, const TrackpadRecoveryPolicy&) = default;
};

}  // namespace glidra
