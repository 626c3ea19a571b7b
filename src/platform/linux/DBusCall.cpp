#include "platform/linux/DBusCall.h"

#include "common/Completion.h"

#include <QCoro/QCoroDBus>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>

namespace glidra::linux_platform {

namespace {

using Arguments = std::optional<QList<QVariant>>;

// D-Bus's own limit; a late answer is still caught until then.
constexpr int kLateAnswerTimeoutMs = 25'000;

QDBusMessage methodCall(const DBusMethod& method, const QList<QVariant>& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(method.service, method.path, method.interface, method.method);
    call.setArguments(arguments);
    return call;
}

Arguments argumentsOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
    return reply.arguments();
}

}  // namespace

QCoro::Task<std::optional<QList<QVariant>>> callDBus(QDBusConnection bus, DBusMethod method, QList<QVariant> arguments,
                                                     int timeoutMs) {
    if (!bus.isConnected()) co_return std::nullopt;
    QDBusPendingCall pending = bus.asyncCall(methodCall(method, arguments), timeoutMs);
    const QDBusMessage reply = co_await pending;
    co_return argumentsOf(reply);
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
    if (!bus.isConnected()) co_return std::nullopt;
    // Whichever comes first, the answer or the limit, settles the call; the
    // watcher outlives the limit to catch a late answer.
    const Completion<Arguments> settled;
    auto* watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(methodCall(method, arguments), kLateAnswerTimeoutMs), nullptr);
    auto* limit = new QTimer(watcher);
    limit->setSingleShot(true);
    QObject::connect(limit, &QTimer::timeout, watcher, [settled] { settled.resolve(std::nullopt); });
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [settled, watcher, late] {
        watcher->deleteLater();
        const Arguments answer = argumentsOf(watcher->reply());
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
