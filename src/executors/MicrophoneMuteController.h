#pragma once

#include "notices/HUDNotice.h"
#include "platform/AudioDevices.h"
#include "platform/Scheduler.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <functional>
#include <optional>

namespace glidra {

// Silences the default microphone and puts it back as it was: by its mute
// switch when it has one, else by its volume. While it holds the microphone
// silent it checks twice a second that the device is still the default
// input and still silent. One shared instance; main thread only.
class MicrophoneMuteController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
    Q_PROPERTY(bool isMuted READ isMuted NOTIFY isMutedChanged)

public:
    static constexpr double kMonitorInterval = 0.5;

    MicrophoneMuteController(AudioDevices& devices, Scheduler& scheduler, QObject* parent = nullptr);
    ~MicrophoneMuteController() override;

    // Silences the default input, or restores it when silenced already.
    HUDNotice toggle();
    // Undoes the silencing and stops the checks; a failed restore keeps both.
    HUDNotice restore();
    // Resumes once the system has taken what the controller set so far (a
    // restore takes effect later); false when it refused or went away.
    QCoro::Task<bool> settled();

    // A device has been silenced and is owed a restore.
    bool isActive() const { return isActive_; }
    // The last check found the device still silent.
    bool isMuted() const { return isMuted_; }

Q_SIGNALS:
    void isActiveChanged();
    void isMutedChanged();

private:
    // One silenced control, bound to its device and values.
    struct InputControl {
        std::function<bool()> restore;
        std::function<bool()> isApplied;
    };
    std::optional<InputControl> silence(AudioDeviceId device, AudioControl control, float target);
    void scheduleMonitor();
    void checkDevice();
    void setActive(bool value);
    void setMuted(bool value);

    AudioDevices& devices_;
    Scheduler& scheduler_;
    bool isActive_ = false;
    bool isMuted_ = false;
    std::optional<InputControl> control_;
    AudioDeviceId device_ = 0;
    TimerHandle monitor_;
};

}  // namespace glidra
