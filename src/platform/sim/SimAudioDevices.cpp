#include "platform/sim/SimAudioDevices.h"

namespace glidra::sim {

void SimAudioDevices::setControl(AudioDeviceId device, const AudioAddress& address, Control control) {
    controls_[key(device, address)] = control;
}

SimAudioDevices::Control& SimAudioDevices::control(AudioDeviceId device, const AudioAddress& address) {
    return controls_.at(key(device, address));
}

void SimAudioDevices::setDefaultDevice(AudioScope scope, std::optional<AudioDeviceId> device) {
    defaults_[scope] = device;
}

void SimAudioDevices::addMainDevice(AudioDeviceId device, AudioScope scope, float volume, bool muted) {
    setControl(device, {AudioControl::volume, scope, kMainElement}, Control{true, volume, false});
    setControl(device, {AudioControl::mute, scope, kMainElement}, Control{true, muted ? 1.0f : 0.0f, false});
}

void SimAudioDevices::addStereoDevice(AudioDeviceId device, AudioScope scope, float left, float right) {
    setControl(device, {AudioControl::volume, scope, 1}, Control{true, left, false});
    setControl(device, {AudioControl::volume, scope, 2}, Control{true, right, false});
    setControl(device, {AudioControl::mute, scope, 1}, Control{true, 0.0f, false});
    setControl(device, {AudioControl::mute, scope, 2}, Control{true, 0.0f, false});
}

const SimAudioDevices::Control* SimAudioDevices::find(AudioDeviceId device, const AudioAddress& address) const {
    const auto it = controls_.find(key(device, address));
    return it == controls_.end() ? nullptr : &it->second;
}

std::optional<AudioDeviceId> SimAudioDevices::defaultDevice(AudioScope scope) {
    const auto it = defaults_.find(scope);
    return it == defaults_.end() ? std::optional<AudioDeviceId>(0) : it->second;
}

std::optional<bool> SimAudioDevices::isSettable(AudioDeviceId device, const AudioAddress& address) {
    const Control* control = find(device, address);
    if (!control) return std::nullopt;
    return control->settable;
}

std::optional<float> SimAudioDevices::value(AudioDeviceId device, const AudioAddress& address) {
    const Control* control = find(device, address);
    if (!control) return std::nullopt;
    return control->value;
}

bool SimAudioDevices::setValue(AudioDeviceId device, const AudioAddress& address, float value) {
    const auto it = controls_.find(key(device, address));
    if (it == controls_.end() || it->second.writeFails || it->second.settable != true) return false;
    it->second.value = value;
    writes_.push_back(Write{device, address, value});
    return true;
}

QCoro::Task<bool> SimAudioDevices::writesSettled() {
    ++settleCalls_;
    co_await settling.turn();
    co_return !settleFails_;
}

}  // namespace glidra::sim
