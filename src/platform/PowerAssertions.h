#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

using PowerAssertionId = std::uint32_t;

// Holds the display and the system awake while the user is idle. An
// assertion never blocks a sleep the user asks for, and it ends with the
// process.
class PowerAssertions {
public:
    virtual ~PowerAssertions() = default;

    // Prevents idle display sleep under `name`, as the system shows it;
    // nothing when the system refuses.
    virtual std::optional<PowerAssertionId> preventIdleDisplaySleep(const QString& name) = 0;
    // False when the system did not release it.
    virtual bool release(PowerAssertionId assertion) = 0;
};

}  // namespace glidra
