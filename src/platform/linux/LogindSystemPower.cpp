#include "platform/linux/LogindSystemPower.h"

#include <QDBusError>
#include <QDBusMessage>

namespace glidra::linux_platform {

SystemPower::SleepResult LogindSystemPower::sleep() {
    if (!bus_.isConnected()) return SleepResult::unavailable;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Suspend"));
    call.setArguments({false});
    const QDBusMessage reply = bus_.call(call, QDBus::Block, timeoutMs_);
    if (reply.type() == QDBusMessage::ReplyMessage) return SleepResult::sleeping;

    // No logind on the bus, or one that does not answer, could not be
    // reached; anything it said itself is a refusal.
    switch (QDBusError(reply).type()) {
        case QDBusError::ServiceUnknown:
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
        case QDBusError::Disconnected:
        case QDBusError::NoServer:
        case QDBusError::UnknownObject:
        case QDBusError::UnknownInterface:
        case QDBusError::UnknownMethod:
            return SleepResult::unavailable;
        default:
            return SleepResult::refused;
    }
}

}  // namespace glidra::linux_platform
