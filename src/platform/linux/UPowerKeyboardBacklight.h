#pragma once

#include "platform/KeyboardBacklight.h"
#include "platform/linux/DBusCall.h"

#include <QDBusConnection>

#include <memory>

namespace glidra::linux_platform {

// The keyboard backlight that UPower drives on the system bus: one keyboard,
// with whole-number levels up to a maximum the hardware sets.
class UPowerKeyboardBacklight final : public KeyboardBacklight {
public:
    static constexpr KeyboardBacklightId kKeyboard = 0;

    explicit UPowerKeyboardBacklight(QDBusConnection bus = QDBusConnection::systemBus(), int timeoutMs = kDBusTimeoutMs)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

    QCoro::Task<std::optional<std::vector<KeyboardBacklightId>>> keyboards() override;
    QCoro::Task<std::optional<float>> brightness(KeyboardBacklightId keyboard) override;
    QCoro::Task<bool> setBrightness(KeyboardBacklightId keyboard, float level) override;

private:
    // Fixed by the hardware, so asked once; shared with the calls under way,
    // which may end after the adapter.
    using Maximum = std::shared_ptr<std::optional<int>>;

    static QCoro::Task<std::optional<int>> maximum(QDBusConnection bus, int timeoutMs, Maximum known);

    QDBusConnection bus_;
    int timeoutMs_;
    Maximum maximum_ = std::make_shared<std::optional<int>>();
};

}  // namespace glidra::linux_platform
