#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QVariant>

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

// Calls a method and waits at most `timeoutMs` for the answer. The reply's
// arguments, or nothing when the bus, the service or the call failed.
std::optional<QList<QVariant>> callDBus(const QDBusConnection& bus, const DBusMethod& method,
                                        const QList<QVariant>& arguments = {}, int timeoutMs = kDBusTimeoutMs);

}  // namespace glidra::linux_platform
