#include "executors/SystemVolume.h"

#include "common/Localized.h"

#include <algorithm>

namespace glidra {

namespace {
AudioAddress output(AudioControl control, int element) { return {control, AudioScope::output, element}; }
}  // namespace

std::optional<SystemVolume::Elements> SystemVolume::collect(AudioControl control) {
    const auto device = devices_.defaultDevice(AudioScope::output);
    if (!device) return std::nullopt;
    Elements found{*device, {}};
    for (const int element : {AudioDevices::kMainElement, 1, 2}) {
        const AudioAddress address = output(control, element);
        if (devices_.isSettable(*device, address) != true) continue;
        const auto value = devices_.value(*device, address);
        if (!value) continue;
        found.elements.push_back(Element{element, *value});
        if (element == AudioDevices::kMainElement) break;
    }
    if (found.elements.empty()) return std::nullopt;
    return found;
}

std::optional<float> SystemVolume::adjustOutput(float step) {
    const auto volume = collect(AudioControl::volume);
    if (!volume) return std::nullopt;
    const float count = float(volume->elements.size());
    float mean = 0;
    for (const Element& element : volume->elements) {
        const float next = std::clamp(element.value + step, 0.0f, 1.0f);
        if (!devices_.setValue(volume->device, output(AudioControl::volume, element.element), next)) {
            return std::nullopt;
        }
        mean += next / count;
    }
    // Turning the volume up always brings the sound back.
    if (mean > 0) devices_.setValue(volume->device, output(AudioControl::mute, AudioDevices::kMainElement), 0.0f);
    return mean;
}

SystemVolume::MuteToggle SystemVolume::toggleOutputMute() {
    const auto mute = collect(AudioControl::mute);
    if (!mute) return MuteToggle::failed;
    const bool allMuted = std::all_of(mute->elements.begin(), mute->elements.end(),
                                      [](const Element& element) { return element.value != 0; });
    const float next = allMuted ? 0.0f : 1.0f;
    for (const Element& element : mute->elements) {
        if (devices_.setValue(mute->device, output(AudioControl::mute, element.element), next)) continue;
        for (const Element& previous : mute->elements) {
            devices_.setValue(mute->device, output(AudioControl::mute, previous.element), previous.value);
        }
        return MuteToggle::failed;
    }
    return allMuted ? MuteToggle::unmuted : MuteToggle::muted;
}

HUDNotice SystemVolume::muteNotice(MuteToggle result) {
    switch (result) {
        case MuteToggle::muted:
            return {localized(GLIDRA_TEXT("已静音")), QStringLiteral("speaker.slash.fill"), HUDNotice::Kind::success};
        case MuteToggle::unmuted:
            return {localized(GLIDRA_TEXT("已恢复声音")), QStringLiteral("speaker.wave.2.fill"),
                    HUDNotice::Kind::success};
        case MuteToggle::failed:
            break;
    }
    return {localized(GLIDRA_TEXT("此输出设备不支持静音")), QStringLiteral("speaker.slash"), HUDNotice::Kind::error};
}

}  // namespace glidra
