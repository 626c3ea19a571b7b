#include "executors/MicrophoneMuteController.h"

#include "common/Localized.h"

namespace glidra {

namespace {
HUDNotice failure() {
    return {localized(GLIDRA_TEXT("无法切换麦克风静音")), QStringLiteral("mic.slash"), HUDNotice::Kind::error};
}
}  // namespace

MicrophoneMuteController::MicrophoneMuteController(AudioDevices& devices, Scheduler& scheduler, QObject* parent)
    : QObject(parent), devices_(devices), scheduler_(scheduler) {}

MicrophoneMuteController::~MicrophoneMuteController() { monitor_.cancel(); }

std::optional<MicrophoneMuteController::InputControl> MicrophoneMuteController::silence(AudioDeviceId device,
                                                                                        AudioControl control,
                                                                                        float target) {
    const AudioAddress address{control, AudioScope::input, AudioDevices::kMainElement};
    if (devices_.isSettable(device, address) != true) return std::nullopt;
    const auto previous = devices_.value(device, address);
    // A device that is silent already is not taken over: restoring it would
    // undo what the user set.
    if (!previous || *previous == target) return std::nullopt;
    if (!devices_.setValue(device, address, target)) return std::nullopt;

    AudioDevices& devices = devices_;
    InputControl silenced;
    silenced.restore = [&devices, device, address, target, previous = *previous] {
        const auto current = devices.value(device, address);
        if (!current) return false;
        // Somebody else changed it meanwhile: their setting stands.
        if (*current != target) return true;
        return devices.setValue(device, address, previous);
    };
    silenced.isApplied = [&devices, device, address, target] {
        const auto current = devices.value(device, address);
        return current && *current == target;
    };
    return silenced;
}

HUDNotice MicrophoneMuteController::toggle() {
    if (isActive_) return restore();
    const auto device = devices_.defaultDevice(AudioScope::input);
    if (!device || *device == 0) return failure();
    auto control = silence(*device, AudioControl::mute, 1.0f);
    if (!control) control = silence(*device, AudioControl::volume, 0.0f);
    if (!control) return failure();

    control_ = std::move(control);
    device_ = *device;
    setActive(true);
    setMuted(control_->isApplied());
    scheduleMonitor();
    return {localized(GLIDRA_TEXT("麦克风已静音")), QStringLiteral("mic.slash.fill"), HUDNotice::Kind::success};
}

HUDNotice MicrophoneMuteController::restore() {
    if (control_ && !control_->restore()) return failure();
    control_.reset();
    device_ = 0;
    monitor_.cancel();
    monitor_ = {};
    setActive(false);
    setMuted(false);
    return {localized(GLIDRA_TEXT("已恢复麦克风")), QStringLiteral("mic"), HUDNotice::Kind::success};
}

QCoro::Task<bool> MicrophoneMuteController::settled() { return devices_.writesSettled(); }

void MicrophoneMuteController::scheduleMonitor() {
    monitor_.cancel();
    monitor_ = scheduler_.after(kMonitorInterval, this, [this] {
        checkDevice();
        scheduleMonitor();
    });
}

// Only watches: a user who unmutes the microphone elsewhere sees it shown as
// live while the restore stays owed.
void MicrophoneMuteController::checkDevice() {
    if (!control_) return;
    const auto device = devices_.defaultDevice(AudioScope::input);
    setMuted(device && *device != 0 && *device == device_ && control_->isApplied());
}

void MicrophoneMuteController::setActive(bool value) {
    if (value == isActive_) return;
    isActive_ = value;
    Q_EMIT isActiveChanged();
}

void MicrophoneMuteController::setMuted(bool value) {
    if (value == isMuted_) return;
    isMuted_ = value;
    Q_EMIT isMutedChanged();
}

}  // namespace glidra
