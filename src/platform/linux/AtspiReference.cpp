#include "platform/linux/AtspiReference.h"

#include <QDBusMetaType>
#include <QList>
#include <QMap>

namespace glidra::linux_platform {

QDBusArgument& operator<<(QDBusArgument& argument, const AtspiReference& reference) {
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AtspiReference& reference) {
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

void registerAtspiTypes() {
    qDBusRegisterMetaType<AtspiReference>();
    qDBusRegisterMetaType<QList<AtspiReference>>();
    qDBusRegisterMetaType<QList<uint>>();
    qDBusRegisterMetaType<QMap<QString, QString>>();
}

}  // namespace glidra::linux_platform
