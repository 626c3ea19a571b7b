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
// writes without waiting for them (writesSettled() awaits their answers). The library runs on GLib's default main
// context, which Qt's event loop drives on Linux. A lost or absent server is
// asked for again after two seconds, then after twice as long each time up
// to a minute; meanwhile the folder of its socket is watched, and the
// socket's appearing connects at once. Until it answers every call fails.
class PulseAudioDevices final : public QObject, public AudioDevices {
    Q_OBJECT

public:
    static constexpr int kReconnectDelayMs = 2000;
    static constexpr int kLongestReconnectDelayMs = 60000;
    // The wait before the next attempt after `failures` attempts in a row
    // failed (1 or more), the first being `firstDelayMs`.
    static int reconnectDelayMs(int failures, int firstDelayMs = kReconnectDelayMs);

    // `server` in PulseAudio's notation ("unix:/run/user/1000/pulse/native");
    // the user's own server when empty. `firstDelayMs` is the first wait
    // before another attempt.
    explicit PulseAudioDevices(const QString& server = {}, QObject* parent = nullptr,
                               int firstDelayMs = kReconnectDelayMs);
    ~PulseAudioDevices() override;

    // The server's devices and defaults are known.
    bool isReady() const;

    std::optional<AudioDeviceId> defaultDevice(AudioScope scope) override;
    std::optional<bool> isSettable(AudioDeviceId device, const AudioAddress& address) override;
    std::optional<float> value(AudioDeviceId device, const AudioAddress& address) override;
    bool setValue(AudioDeviceId device, const AudioAddress& address, float value) override;
    QCoro::Task<bool> writesSettled() override;

Q_SIGNALS:
    // The copy of the server's state changed.
    void changed();

private:
    struct State;
    friend struct PulseCallbacks;

    void connectToServer();
    void scheduleReconnect();
    void watchSocket();
    void socketFolderChanged();

    std::unique_ptr<State> state_;
};

}  // namespace glidra::linux_platform
