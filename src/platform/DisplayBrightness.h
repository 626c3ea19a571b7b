#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace glidra {

using DisplayId = std::uint32_t;

// Brightness of the displays the system can drive.
class DisplayBrightness {
public:
    virtual ~DisplayBrightness() = default;

    // False when brightness control is not available at all.
    virtual bool load() = 0;
    // The online displays, at most `maximum` of them; nothing when listing fails.
    virtual std::optional<std::vector<DisplayId>> onlineDisplays(int maximum) = 0;
    virtual bool isBuiltin(DisplayId display) = 0;
    // 0...1, or nothing when it cannot be read.
    virtual std::optional<float> brightness(DisplayId display) = 0;
    virtual bool setBrightness(DisplayId display, float level) = 0;
};

}  // namespace glidra
