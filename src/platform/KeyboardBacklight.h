#pragma once

#include <QCoro/QCoroTask>

#include <cstdint>
#include <optional>
#include <vector>

namespace glidra {

using KeyboardBacklightId = std::uint64_t;

// The backlights of the built-in keyboards. Levels run from 0 (dark) to 1.
// Every call answers within a bounded time without blocking.
class KeyboardBacklight {
public:
    virtual ~KeyboardBacklight() = default;

    // The keyboards with a backlight; nothing when the system cannot list them.
    virtual QCoro::Task<std::optional<std::vector<KeyboardBacklightId>>> keyboards() = 0;
    // Nothing when the level cannot be read.
    virtual QCoro::Task<std::optional<float>> brightness(KeyboardBacklightId keyboard) = 0;
    virtual QCoro::Task<bool> setBrightness(KeyboardBacklightId keyboard, float level) = 0;
};

}  // namespace glidra
