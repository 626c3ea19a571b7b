#include "platform/linux/LogindSystemPower.h"

#include <QCoro/QCoroDBus>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace glidra::linux_platform {

QCoro::Task<SystemPower::SleepResult> LogindSystemPower::sleep() {
    if (!bus_.isConnected()) co_return SleepResult::unavailable;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Suspend"));
    call.setArguments({false});
    QDBusPendingCall pending = bus_.asyncCall(call, timeoutMs_);
    const QDBusMessage reply = co_await pending;
    if (reply.type() == QDBusMessage::ReplyMessage) co_return SleepResult::sleeping;

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
            co_return SleepResult::unavailable;
        default:
            co_return SleepResult::refused;
    }
}

}  // namespace glidra::linux_platform
