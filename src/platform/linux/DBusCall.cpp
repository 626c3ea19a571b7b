#include "platform/linux/DBusCall.h"

#include <QDBusMessage>

namespace glidra::linux_platform {

std::optional<QList<QVariant>> callDBus(const QDBusConnection& bus, const DBusMethod& method,
                                        const QList<QVariant>& arguments, int timeoutMs) {
    if (!bus.isConnected()) return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(method.service, method.path, method.interface, method.method);
    call.setArguments(arguments);
    // A copy: call() is not const, but the connection object is a shared handle.
    QDBusConnection connection = bus;
    const QDBusMessage reply = connection.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
    return reply.arguments();
}

}  // namespace glidra::linux_platform
