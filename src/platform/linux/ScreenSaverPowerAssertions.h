#pragma once

#include "platform/PowerAssertions.h"
#include "platform/linux/DBusCall.h"

#include <QDBusConnection>

namespace glidra::linux_platform {

// Keep-awake through the desktop's screen-saver inhibit on the session bus,
// which holds off idle blanking and idle suspend but never a suspend the
// user asks for. The desktop drops the inhibit when the program ends. An
// inhibit granted after the caller was told it failed is lifted at once.
class ScreenSaverPowerAssertions final : public PowerAssertions {
public:
    explicit ScreenSaverPowerAssertions(QDBusConnection bus = QDBusConnection::sessionBus(),
                                        int timeoutMs = kDBusTimeoutMs)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

    QCoro::Task<std::optional<PowerAssertionId>> preventIdleDisplaySleep(QString name) override;
    QCoro::Task<bool> release(PowerAssertionId assertion) override;

private:
    QDBusConnection bus_;
    int timeoutMs_;
};

}  // namespace glidra::linux_platform
