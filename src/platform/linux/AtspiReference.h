#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QMetaType>
#include <QString>

namespace glidra::linux_platform {

// One accessible object on the accessibility bus: the bus name of the
// application that serves it and its object path (D-Bus type "(so)").
struct AtspiReference {
    QString service;
    QDBusObjectPath path;

    friend bool operator==(const AtspiReference&, const AtspiReference&) = default;
};

QDBusArgument& operator<<(QDBusArgument& argument, const AtspiReference& reference);
const QDBusArgument& operator>>(const QDBusArgument& argument, AtspiReference& reference);

// Lets QtDBus carry references, lists of them, state sets ("au") and
// attribute maps ("a{ss}"); safe to call more than once.
void registerAtspiTypes();

}  // namespace glidra::linux_platform

Q_DECLARE_METATYPE(glidra::linux_platform::AtspiReference)
