#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <optional>

namespace glidra::test {

// Waits until `condition` holds while the event loop runs, so that services
// the test serves in its own thread of control (a fake logind) keep
// answering; false when the time ran out first.
template <typename Condition>
bool serveUntil(Condition condition, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

inline QDBusMessage methodCall(const QString& service, const QString& path, const QString& interface,
                               const QString& method, const QList<QVariant>& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return message;
}

// A method call answered while the event loop runs; the reply, or nothing
// when the call failed or got no answer in time.
inline std::optional<QDBusMessage> callServing(QDBusConnection& bus, const QDBusMessage& call,
                                               int milliseconds = 5000) {
    QDBusPendingCall pending = bus.asyncCall(call, milliseconds);
    serveUntil([&] { return pending.isFinished(); }, milliseconds + 1000);
    if (!pending.isFinished() || pending.isError()) return std::nullopt;
    return pending.reply();
}

}  // namespace glidra::test
