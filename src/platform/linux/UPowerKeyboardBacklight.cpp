#include "platform/linux/UPowerKeyboardBacklight.h"

#include <algorithm>
#include <cmath>

namespace glidra::linux_platform {

namespace {

DBusMethod keyboardBacklight(const char* method) {
    return {QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower/KbdBacklight"),
            QStringLiteral("org.freedesktop.UPower.KbdBacklight"), QString::fromLatin1(method)};
}

QCoro::Task<std::optional<int>> callInt(QDBusConnection bus, const char* method, int timeoutMs) {
    auto asking = callDBus(std::move(bus), keyboardBacklight(method), {}, timeoutMs);
    const auto reply = co_await asking;
    if (!reply || reply->size() != 1 || reply->first().metaType() != QMetaType::fromType<int>()) {
        co_return std::nullopt;
    }
    co_return reply->first().toInt();
}

}  // namespace

QCoro::Task<std::optional<int>> UPowerKeyboardBacklight::maximum(QDBusConnection bus, int timeoutMs, Maximum known) {
    if (!*known) {
        auto asking = callInt(std::move(bus), "GetMaxBrightness", timeoutMs);
        const auto answer = co_await asking;
        if (answer && *answer > 0) *known = answer;
    }
    co_return *known;
}

QCoro::Task<std::optional<std::vector<KeyboardBacklightId>>> UPowerKeyboardBacklight::keyboards() {
    if (*maximum_) co_return std::vector<KeyboardBacklightId>{kKeyboard};
    const Maximum known = maximum_;
    auto asking = callInt(bus_, "GetMaxBrightness", timeoutMs_);
    const auto answer = co_await asking;
    if (!answer) co_return std::nullopt;
    // A machine without a backlight may still answer, with no levels.
    if (*answer <= 0) co_return std::vector<KeyboardBacklightId>{};
    *known = answer;
    co_return std::vector<KeyboardBacklightId>{kKeyboard};
}

QCoro::Task<std::optional<float>> UPowerKeyboardBacklight::brightness(KeyboardBacklightId keyboard) {
    if (keyboard != kKeyboard) co_return std::nullopt;
    const QDBusConnection bus = bus_;
    const int timeoutMs = timeoutMs_;
    auto measuring = maximum(bus, timeoutMs, maximum_);
    const auto max = co_await measuring;
    if (!max) co_return std::nullopt;
    auto reading = callInt(bus, "GetBrightness", timeoutMs);
    const auto level = co_await reading;
    if (!level) co_return std::nullopt;
    co_return float(*level) / float(*max);
}

QCoro::Task<bool> UPowerKeyboardBacklight::setBrightness(KeyboardBacklightId keyboard, float level) {
    if (keyboard != kKeyboard || !std::isfinite(level)) co_return false;
    const QDBusConnection bus = bus_;
    const int timeoutMs = timeoutMs_;
    auto measuring = maximum(bus, timeoutMs, maximum_);
    const auto max = co_await measuring;
    if (!max) co_return false;
    const int value = std::clamp(int(std::lround(level * float(*max))), 0, *max);
    auto setting = callDBus(bus, keyboardBacklight("SetBrightness"), {QVariant(value)}, timeoutMs);
    const auto reply = co_await setting;
    co_return reply.has_value();
}

}  // namespace glidra::linux_platform
