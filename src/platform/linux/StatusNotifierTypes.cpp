#include "platform/linux/StatusNotifierTypes.h"

#include <QDBusMetaType>
#include <QIcon>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <mutex>

namespace glidra::linux_platform {

SniIconPixmaps iconPixmaps(const QIcon& icon) {
    SniIconPixmaps images;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        const QImage image = icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) continue;
        SniIconPixmap pixmap{image.width(), image.height(), {}};
        if (std::any_of(images.cbegin(), images.cend(), [&pixmap](const SniIconPixmap& known) {
                return known.width == pixmap.width && known.height == pixmap.height;
            })) {
            continue;
        }
        pixmap.bytes.resize(qsizetype(image.width()) * image.height() * 4);
        auto* out = reinterpret_cast<uchar*>(pixmap.bytes.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x, out += 4) qToBigEndian<quint32>(line[x], out);
        }
        images.append(std::move(pixmap));
    }
    return images;
}

void registerStatusNotifierTypes() {
    static std::once_flag once;
    std::call_once(once, [] {
        qDBusRegisterMetaType<SniIconPixmap>();
        qDBusRegisterMetaType<SniIconPixmaps>();
        qDBusRegisterMetaType<SniToolTip>();
        qDBusRegisterMetaType<DBusMenuLayoutItem>();
        qDBusRegisterMetaType<DBusMenuItem>();
        qDBusRegisterMetaType<DBusMenuItems>();
        qDBusRegisterMetaType<DBusMenuItemKeys>();
        qDBusRegisterMetaType<DBusMenuItemKeysList>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<DBusMenuEvents>();
        // The lists by the names the D-Bus objects' signatures give them.
        qRegisterMetaType<SniIconPixmaps>("glidra::linux_platform::SniIconPixmaps");
        qRegisterMetaType<DBusMenuItems>("glidra::linux_platform::DBusMenuItems");
        qRegisterMetaType<DBusMenuItemKeysList>("glidra::linux_platform::DBusMenuItemKeysList");
        qRegisterMetaType<DBusMenuEvents>("glidra::linux_platform::DBusMenuEvents");
    });
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniIconPixmap& value) {
    argument.beginStructure();
    argument << value.width << value.height << value.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniIconPixmap& value) {
    argument.beginStructure();
    argument >> value.width >> value.height >> value.bytes;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& value) {
    argument.beginStructure();
    argument << value.iconName << value.images << value.title << value.description;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& value) {
    argument.beginStructure();
    argument >> value.iconName >> value.images >> value.title >> value.description;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& value) {
    argument.beginStructure();
    argument << value.id << value.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayoutItem& child : value.children) argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& value) {
    argument.beginStructure();
    argument >> value.id >> value.properties;
    argument.beginArray();
    value.children.clear();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        value.children.append(qdbus_cast<DBusMenuLayoutItem>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& value) {
    argument.beginStructure();
    argument << value.id << value.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& value) {
    argument.beginStructure();
    argument >> value.id >> value.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& value) {
    argument.beginStructure();
    argument << value.id << value.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& value) {
    argument.beginStructure();
    argument >> value.id >> value.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& value) {
    argument.beginStructure();
    argument << value.id << value.eventId << value.data << value.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& value) {
    argument.beginStructure();
    argument >> value.id >> value.eventId >> value.data >> value.timestamp;
    argument.endStructure();
    return argument;
}

}  // namespace glidra::linux_platform
