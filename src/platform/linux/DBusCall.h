#pragma once

#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace glidra::linux_platform {

// Desktop services answer within milliseconds; one that does not must not
// stall the program for long.
inline constexpr int kDBusTimeoutMs = 1000;

struct DBusMethod {
    QString service;
    QString path;
    QString interface;
    QString method;
};

// Calls a method without blocking: the event loop runs on while it waits at
// most `timeoutMs` for the answer. The reply's arguments, or nothing when the
// bus, the service or the call failed.
QCoro::Task<std::optional<QList<QVariant>>> callDBus(QDBusConnection bus, DBusMethod method,
                                                     QList<QVariant> arguments = {}, int timeoutMs = kDBusTimeoutMs);

// Whether the bus runs `service` or can start it; asked of the bus itself,
// each question with the usual limit.
QCoro::Task<bool> serviceAvailable(QDBusConnection bus, QString service);

// An answer that came after its caller stopped waiting.
using LateReply = std::function<void(const QList<QVariant>& arguments)>;

// As callDBus, for a call whose answer grants something (an inhibit, a
// lock): an answer that arrives after `limitMs` is handed to `late`, so that
// what it grants can be given back at once instead of staying granted to a
// caller that was told the call failed.
QCoro::Task<std::optional<QList<QVariant>>> callDBusWithin(QDBusConnection bus, DBusMethod method,
                                                           QList<QVariant> arguments, int limitMs, LateReply late);

}  // namespace glidra::linux_platform
