#pragma once

#include "platform/AudioDevices.h"
#include "platform/sim/SimAnswers.h"

#include <map>
#include <tuple>
#include <vector>

namespace glidra::sim {

// Audio devices in memory. Each control of each device can refuse the
// settable query, the read or the write, as real drivers do; tests change
// values and default devices behind the program's back as the user would.
// Writes take at once; the answer that they did can be held, as a busy
// sound server keeps it, or be a refusal.
class SimAudioDevices final : public AudioDevices {
public:
    struct Control {
        std::optional<bool> settable = true;  // nothing: the query fails
        std::optional<float> value = 0.0f;    // nothing: the read fails
        bool writeFails = false;
    };

    struct Write {
        AudioDeviceId device = 0;
        AudioAddress address;
        float value = 0;
        friend bool operator==(const Write&, const Write&) = default;
    };

    // Adds or replaces one control of a device.
    void setControl(AudioDeviceId device, const AudioAddress& address, Control control);
    // A device's control as it stands; it must exist.
    Control& control(AudioDeviceId device, const AudioAddress& address);
    // Nothing makes the default-device read fail.
    void setDefaultDevice(AudioScope scope, std::optional<AudioDeviceId> device);

    // A device with a settable main volume and mute, as most outputs have.
    void addMainDevice(AudioDeviceId device, AudioScope scope, float volume, bool muted);
    // A device with settable volume and mute on its two channels only.
    void addStereoDevice(AudioDeviceId device, AudioScope scope, float left, float right);

    const std::vector<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

    std::optional<AudioDeviceId> defaultDevice(AudioScope scope) override;
    std::optional<bool> isSettable(AudioDeviceId device, const AudioAddress& address) override;
    std::optional<float> value(AudioDeviceId device, const AudioAddress& address) override;
    bool setValue(AudioDeviceId device, const AudioAddress& address, float value) override;
    QCoro::Task<bool> writesSettled() override;

    // The server says a write did not take.
    void setSettleFails(bool fails) { settleFails_ = fails; }
    int settleCalls() const { return settleCalls_; }
    SimAnswers settling;

private:
    using Key = std::tuple<AudioDeviceId, AudioControl, AudioScope, int>;
    static Key key(AudioDeviceId device, const AudioAddress& address) {
        return {device, address.control, address.scope, address.element};
    }
    const Control* find(AudioDeviceId device, const AudioAddress& address) const;

    std::map<Key, Control> controls_;
    std::map<AudioScope, std::optional<AudioDeviceId>> defaults_;
    std::vector<Write> writes_;
    bool settleFails_ = false;
    int settleCalls_ = 0;
};

}  // namespace glidra::sim
