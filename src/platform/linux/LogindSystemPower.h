#pragma once

#include "platform/SystemPower.h"

#include <QDBusConnection>

namespace glidra::linux_platform {

// Suspends the machine through systemd-logind, as the desktop user, without
// asking for a password (a suspend that would need one is refused).
class LogindSystemPower final : public SystemPower {
public:
    static constexpr int kTimeoutMs = 3000;

    explicit LogindSystemPower(QDBusConnection bus = QDBusConnection::systemBus(), int timeoutMs = kTimeoutMs)
        : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

    QCoro::Task<SleepResult> sleep() override;

private:
    QDBusConnection bus_;
    int timeoutMs_;
};

}  // namespace glidra::linux_platform
