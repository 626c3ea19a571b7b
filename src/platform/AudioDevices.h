#pragma once

#include <QCoro/QCoroTask>

#include <cstdint>
#include <optional>

namespace glidra {

// Identifies one audio device within its scope; 0 stands for no device.
using AudioDeviceId = std::uint32_t;

enum class AudioScope { output, input };
enum class AudioControl {
    volume,  // scalar 0...1
    mute,    // 1 muted, 0 not
};

// One control of a device. Element 0 is the device's main control, 1 and 2
// its first two channels.
struct AudioAddress {
    AudioControl control = AudioControl::volume;
    AudioScope scope = AudioScope::output;
    int element = 0;

    friend bool operator==(const AudioAddress&, const AudioAddress&) = default;
};

// The system's audio devices, as far as the volume, mute and microphone
// controls reach them. Every call answers at once; a failed query, read or
// write is reported, never waited out. A write may take effect later: what
// must be in force before the program goes on (its end) awaits
// writesSettled().
class AudioDevices {
public:
    static constexpr int kMainElement = 0;

    virtual ~AudioDevices() = default;

    // The device the system uses by default: 0 when there is none, nothing
    // when the system cannot be asked.
    virtual std::optional<AudioDeviceId> defaultDevice(AudioScope scope) = 0;
    // Whether the control can be set; nothing when the query fails.
    virtual std::optional<bool> isSettable(AudioDeviceId device, const AudioAddress& address) = 0;
    // The control's value; nothing when it cannot be read.
    virtual std::optional<float> value(AudioDeviceId device, const AudioAddress& address) = 0;
    virtual bool setValue(AudioDeviceId device, const AudioAddress& address, float value) = 0;
    // Resumes once the system has answered every write sent before the
    // call: true when all of them took, false when one was refused or the
    // system went away first. With nothing outstanding it answers at once.
    virtual QCoro::Task<bool> writesSettled() = 0;
};

}  // namespace glidra
