#pragma once

#include <QString>

namespace glidra {

// A playback position as the HUD shows it: "1:05", or "1:01:05" from an hour
// on. Negative values count as 0, fractions are cut off.
QString formatPlaybackTime(double seconds);

}  // namespace glidra
