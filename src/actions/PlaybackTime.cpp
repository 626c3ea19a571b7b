#include "actions/PlaybackTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace glidra {

QString formatPlaybackTime(double seconds) {
    // Not a number counts as 0 as well; beyond 2^53 a double has no fraction
    // left to cut, and no video lasts that long.
    const double clamped = std::isnan(seconds) || seconds < 0 ? 0.0 : std::min(seconds, 9.0e15);
    const auto whole = static_cast<std::int64_t>(clamped);
    const auto twoDigits = [](std::int64_t value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    if (whole < 3600) return QStringLiteral("%1:%2").arg(whole / 60).arg(twoDigits(whole % 60));
    return QStringLiteral("%1:%2:%3").arg(whole / 3600).arg(twoDigits(whole / 60 % 60)).arg(twoDigits(whole % 60));
}

}  // namespace glidra
