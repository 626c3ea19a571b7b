#pragma once

#include "notices/HUDNotice.h"
#include "platform/AudioDevices.h"

#include <optional>
#include <vector>

namespace glidra {

// Volume and mute of the default output device. Main thread only.
class SystemVolume {
public:
    enum class MuteToggle { unmuted = 0, muted = 1, failed = 2 };

    explicit SystemVolume(AudioDevices& devices) : devices_(devices) {}

    // Moves the volume by `step` (positive is louder), clamped to 0...1, and
    // unmutes when the result is above 0. The new level is the mean of the
    // adjusted elements; nothing when there is no adjustable output.
    std::optional<float> adjustOutput(float step);
    // Mutes unless every mute element is on already, then unmutes; a toggle
    // that fails half-way is rolled back.
    MuteToggle toggleOutputMute();

    // What the mute action tells the user about a toggle.
    static HUDNotice muteNotice(MuteToggle result);

private:
    struct Element {
        int element = 0;
        float value = 0;
    };
    struct Elements {
        AudioDeviceId device = 0;
        std::vector<Element> elements;
    };
    // The settable, readable elements of a control: the main element alone
    // when it qualifies, else the channels that do.
    std::optional<Elements> collect(AudioControl control);

    AudioDevices& devices_;
};

}  // namespace glidra
