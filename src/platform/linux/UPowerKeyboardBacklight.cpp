#include "platform/linux/UPowerKeyboardBacklight.h"

#include <algorithm>
#include <cmath>

namespace glidra::linux_platform {

namespace {
DBusMethod keyboardBacklight(const char* method) {
    return {QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower/KbdBacklight"),
            QStringLiteral("org.freedesktop.UPower.KbdBacklight"), QString::fromLatin1(method)};
}
}  // namespace

std::optional<int> UPowerKeyboardBacklight::callInt(const char* method) {
    const auto reply = callDBus(bus_, keyboardBacklight(method), {}, timeoutMs_);
    if (!reply || reply->size() != 1 || reply->first().metaType() != QMetaType::fromType<int>()) return std::nullopt;
    return reply->first().toInt();
}

std::optional<int> UPowerKeyboardBacklight::maximum() {
    if (!maximum_) {
        const auto answer = callInt("GetMaxBrightness");
        if (answer && *answer > 0) maximum_ = answer;
    }
    return maximum_;
}

std::optional<std::vector<KeyboardBacklightId>> UPowerKeyboardBacklight::keyboards() {
    if (maximum_) return std::vector<KeyboardBacklightId>{kKeyboard};
    const auto answer = callInt("GetMaxBrightness");
    if (!answer) return std::nullopt;
    // A machine without a backlight may still answer, with no levels.
    if (*answer <= 0) return std::vector<KeyboardBacklightId>{};
    maximum_ = answer;
    return std::vector<KeyboardBacklightId>{kKeyboard};
}

std::optional<float> UPowerKeyboardBacklight::brightness(KeyboardBacklightId keyboard) {
    if (keyboard != kKeyboard) return std::nullopt;
    const auto max = maximum();
    if (!max) return std::nullopt;
    const auto level = callInt("GetBrightness");
    if (!level) return std::nullopt;
    return float(*level) / float(*max);
}

bool UPowerKeyboardBacklight::setBrightness(KeyboardBacklightId keyboard, float level) {
    if (keyboard != kKeyboard || !std::isfinite(level)) return false;
    const auto max = maximum();
    if (!max) return false;
    const int value = std::clamp(int(std::lround(level * float(*max))), 0, *max);
    return callDBus(bus_, keyboardBacklight("SetBrightness"), {QVariant(value)}, timeoutMs_).has_value();
}

}  // namespace glidra::linux_platform
