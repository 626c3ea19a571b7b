#pragma once

#include "platform/KeyboardBacklight.h"
#include "platform/linux/DBusCall.h"

#include <QDBusConnection>

namespace glidra::linux_platform {

// The keyboard backlight that UPower drives on the system bus: one keyboard,
// with whole-number levels up to a maximum the hardware sets.
class UPowerKeyboardBacklight final : public KeyboardBacklight {
public:
    static constexpr KeyboardBacklightId kKeyboard = 0;

    explicit UPowerKeyboardBacklight(QDBusConnection bus = QDBusConnection::systemBus(), int timeoutMs = kDBusTimeoutMs)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

    std::optional<std::vector<KeyboardBacklightId>> keyboards() override;
    std::optional<float> brightness(KeyboardBacklightId keyboard) override;
    bool setBrightness(KeyboardBacklightId keyboard, float level) override;

private:
    std::optional<int> maximum();
    std::optional<int> callInt(const char* method);

    QDBusConnection bus_;
    int timeoutMs_;
    std::optional<int> maximum_;  // fixed by the hardware, so asked once
};

}  // namespace glidra::linux_platform
