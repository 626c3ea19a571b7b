#pragma once

#include "platform/AudioDevices.h"

#include <QObject>
#include <QString>

#include <memory>

namespace glidra::linux_platform {

// Audio devices through PulseAudio's client library, which also serves
// PipeWire desktops through their Pulse server. Sinks are the outputs and
// sources the inputs; element 0 is a device's overall volume and mute,
// elements 1 and 2 its first two channels' volumes.
//
// Nothing here waits for the server: the adapter keeps a copy of the devices
// that the server's change events keep current, answers from it, and sends
// writes without waiting for them. The library runs on GLib's default main
// context, which Qt's event loop drives on Linux. A lost server is asked
// for again every two seconds; until it answers every call fails.
class PulseAudioDevices final : public QObject, public AudioDevices {
    Q_OBJECT

public:
    static constexpr int kReconnectDelayMs = 2000;

    // `server` in PulseAudio's notation ("unix:/run/user/1000/pulse/native");
    // the user's own server when empty.
    explicit PulseAudioDevices(const QString& server = {}, QObject* parent = nullptr);
    ~PulseAudioDevices() override;

    // The server's devices and defaults are known.
    bool isReady() const;

    std::optional<AudioDeviceId> defaultDevice(AudioScope scope) override;
    std::optional<bool> isSettable(AudioDeviceId device, const AudioAddress& address) override;
    std::optional<float> value(AudioDeviceId device, const AudioAddress& address) override;
    bool setValue(AudioDeviceId device, const AudioAddress& address, float value) override;

Q_SIGNALS:
    // The copy of the server's state changed.
    void changed();

private:
    struct State;
    friend struct PulseCallbacks;

    void connectToServer();
    void scheduleReconnect();

    std::unique_ptr<State> state_;
};

}  // namespace glidra::linux_platform
