#include "platform/linux/DBusCall.h"

#include "common/Completion.h"
#include "platform/LogCategories.h"

#include <QCoro/QCoroDBus>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QHash>
#include <QTimer>

#include <mutex>

namespace glidra::linux_platform {

namespace {

using Arguments = std::optional<QList<QVariant>>;

// D-Bus's own limit; a late answer is still caught until then.
constexpr int kLateAnswerTimeoutMs = 25'000;

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

QDBusMessage methodCall(const DBusMethod& method, const QList<QVariant>& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(method.service, method.path, method.interface, method.method);
    call.setArguments(arguments);
    return call;
}

bool connected(const QDBusConnection& bus, const DBusMethod& method) {
    if (bus.isConnected()) return true;
    failureLog().failed(method, QStringLiteral("not connected to the bus (%1)").arg(bus.lastError().message()));
    return false;
}

Arguments argumentsOf(const DBusMethod& method, const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage) {
        failureLog().failed(method, reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
        return std::nullopt;
    }
    failureLog().answered(method);
    return reply.arguments();
}

}  // namespace

QCoro::Task<std::optional<QList<QVariant>>> callDBus(QDBusConnection bus, DBusMethod method, QList<QVariant> arguments,
                                                     int timeoutMs) {
    if (!connected(bus, method)) co_return std::nullopt;
    QDBusPendingCall pending = bus.asyncCall(methodCall(method, arguments), timeoutMs);
    const QDBusMessage reply = co_await pending;
    co_return argumentsOf(method, reply);
}

QCoro::Task<bool> serviceAvailable(QDBusConnection bus, QString service) {
    const auto daemon = [](const char* method) {
        return DBusMethod{QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                          QStringLiteral("org.freedesktop.DBus"), QString::fromLatin1(method)};
    };
    auto owning = callDBus(bus, daemon("NameHasOwner"), {service});
    const auto owned = co_await owning;
    if (owned && !owned->isEmpty() && owned->constFirst().toBool()) co_return true;
    auto listing = callDBus(bus, daemon("ListActivatableNames"));
    const auto names = co_await listing;
    co_return names && !names->isEmpty() && names->constFirst().toStringList().contains(service);
}

QCoro::Task<std::optional<QList<QVariant>>> callDBusWithin(QDBusConnection bus, DBusMethod method,
                                                           QList<QVariant> arguments, int limitMs, LateReply late) {
    if (!connected(bus, method)) co_return std::nullopt;
    // Whichever comes first, the answer or the limit, settles the call; the
    // watcher outlives the limit to catch a late answer.
    const Completion<Arguments> settled;
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(methodCall(method, arguments), kLateAnswerTimeoutMs), nullptr);
    auto* limit = new QTimer(watcher);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, watcher, [settled, method, limitMs] {
        failureLog().failed(method, QStringLiteral("no answer within %1 ms").arg(limitMs));
        settled.resolve(std::nullopt);
    });
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [settled, watcher, late, method] {
        watcher->deleteLater();
        const Arguments answer = argumentsOf(method, watcher->reply());
        if (!settled.isResolved()) {
            settled.resolve(answer);
        } else if (answer && late) {
            late(*answer);
        }
    });
    limit->start(limitMs);
    const Arguments answer = co_await settled;
    co_return answer;
}

}  // namespace glidra::linux_platform
