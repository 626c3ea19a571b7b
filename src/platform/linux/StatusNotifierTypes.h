#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QIcon;

namespace glidra::linux_platform {

// The values a StatusNotifierItem and its exported menu
// (com.canonical.dbusmenu) carry over D-Bus, in the layouts the panels read.

// One image of an icon: (iiay), ARGB32 in network byte order.
struct SniIconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniIconPixmaps = QList<SniIconPixmap>;

// (sa(iiay)ss): icon name, icon images, title, description.
struct SniToolTip {
    QString iconName;
    SniIconPixmaps images;
    QString title;
    QString description;
};

// One entry of a menu's layout and its children: (ia{sv}av), each child a
// variant holding the same structure.
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// (ia{sv}): the properties of one entry.
struct DBusMenuItem {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItems = QList<DBusMenuItem>;

// (ias): property names an entry no longer has.
struct DBusMenuItemKeys {
    int id = 0;
    QStringList properties;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

// (isvu): one event of EventGroup.
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEvents = QList<DBusMenuEvent>;

// The images a panel picks from for `icon`, at the sizes panels draw.
SniIconPixmaps iconPixmaps(const QIcon& icon);

// Makes the types above known to QtDBus; once per process, before any is
// sent or received.
void registerStatusNotifierTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const SniIconPixmap& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniIconPixmap& value);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& value);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& value);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& value);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& value);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& value);

}  // namespace glidra::linux_platform

Q_DECLARE_METATYPE(glidra::linux_platform::SniIconPixmap)
Q_DECLARE_METATYPE(glidra::linux_platform::SniToolTip)
Q_DECLARE_METATYPE(glidra::linux_platform::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(glidra::linux_platform::DBusMenuItem)
Q_DECLARE_METATYPE(glidra::linux_platform::DBusMenuItemKeys)
Q_DECLARE_METATYPE(glidra::linux_platform::DBusMenuEvent)
