#pragma once

#include "notices/HUDNotice.h"

#include <limits>
#include <optional>

namespace glidra {

// Keeps the HUD from flashing the same information or error again and again:
// an equal notice is dropped while it is still within its window of the last
// one shown. Successes always pass.
struct HUDNoticeGate {
    static constexpr double informationWindow = 2.0;  // seconds
    static constexpr double errorWindow = 4.0;        // seconds

    // The last notice let through and when (seconds of system uptime).
    std::optional<HUDNotice> previous;
    double lastShown = -std::numeric_limits<double>::infinity();

    // True when the notice may be shown; it is then recorded. A dropped notice
    // changes nothing, so the window runs from the last notice shown.
    bool admit(const HUDNotice& notice, double now);

    // Forget the last notice, so that the next one always passes.
    void reset();

    friend bool operator==(const HUDNoticeGate&, const HUDNoticeGate&) = default;
};

}  // namespace glidra
