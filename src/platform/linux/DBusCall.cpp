#include "platform/linux/DBusCall.h"

#include "platform/LogCategories.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QHash>

#include <mutex>

namespace glidra::linux_platform {

namespace {

// A service that keeps failing the same way (one the machine does not have,
// asked on every heartbeat) is logged once, and again when its answer
// changes.
class FailureLog {
public:
    void failed(const DBusMethod& method, const QString& reason) {
        const QString key = keyOf(method);
        {
            std::lock_guard lock(mutex_);
            const auto it = last_.constFind(key);
            if (it != last_.constEnd() && *it == reason) return;
            last_.insert(key, reason);
        }
        qCWarning(lcServices).noquote().nospace() << "D-Bus call " << method.interface << "." << method.method << " on "
                                                  << method.service << " " << method.path << " failed: " << reason;
    }
    void answered(const DBusMethod& method) {
        std::lock_guard lock(mutex_);
        if (last_.remove(keyOf(method)) > 0) {
            qCInfo(lcServices).noquote().nospace()
                << method.service << " answers " << method.interface << "." << method.method << " again";
        }
    }

private:
    static QString keyOf(const DBusMethod& method) {
        return method.service + QLatin1Char(' ') + method.path + QLatin1Char(' ') + method.interface +
               QLatin1Char('.') + method.method;
    }

    std::mutex mutex_;
    QHash<QString, QString> last_;
};

FailureLog& failureLog() {
    static FailureLog log;
    return log;
}

}  // namespace

std::optional<QList<QVariant>> callDBus(const QDBusConnection& bus, const DBusMethod& method,
                                        const QList<QVariant>& arguments, int timeoutMs) {
    if (!bus.isConnected()) {
        failureLog().failed(method, QStringLiteral("not connected to the bus (%1)").arg(bus.lastError().message()));
        return std::nullopt;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(method.service, method.path, method.interface, method.method);
    call.setArguments(arguments);
    // A copy: call() is not const, but the connection object is a shared handle.
    QDBusConnection connection = bus;
    const QDBusMessage reply = connection.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        failureLog().failed(method, reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
        return std::nullopt;
    }
    failureLog().answered(method);
    return reply.arguments();
}

}  // namespace glidra::linux_platform
