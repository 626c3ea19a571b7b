#include "platform/linux/BluezBluetoothDevices.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QMap>
#include <QPointer>
#include <QVariantMap>

namespace glidra::linux_platform {

namespace {

const QString kDeviceInterface = QStringLiteral("org.bluez.Device1");

// Reads the reply of ObjectManager.GetManagedObjects, a{oa{sa{sv}}}, keeping
// the paired devices. std::nullopt when the reply has another shape.
std::optional<std::vector<BluetoothDevices::PairedDevice>> pairedDevicesOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("a{oa{sa{sv}}}") ||
        reply.arguments().size() != 1) {
        return std::nullopt;
    }
    const auto objects = reply.arguments().constFirst().value<QDBusArgument>();
    std::vector<BluetoothDevices::PairedDevice> devices;
    objects.beginMap();
    while (!objects.atEnd()) {
        QDBusObjectPath path;
        QMap<QString, QVariantMap> interfaces;
        objects.beginMapEntry();
        objects >> path >> interfaces;
        objects.endMapEntry();
        const auto device = interfaces.constFind(kDeviceInterface);
        if (device == interfaces.constEnd()) continue;
        const QVariantMap& properties = *device;
        if (!properties.value(QStringLiteral("Paired")).toBool()) continue;
        QString name = properties.value(QStringLiteral("Alias")).toString();
        if (name.isEmpty()) name = properties.value(QStringLiteral("Name")).toString();
        devices.push_back({path.path(), name, properties.value(QStringLiteral("Connected")).toBool()});
    }
    objects.endMap();
    return devices;
}

// Calls `done` with the finished call, on the main thread, unless `context`
// (when given) is gone by then.
void whenFinished(const QDBusPendingCall& call, QObject* context, std::function<void(const QDBusPendingCall&)> done) {
    const bool hasContext = context != nullptr;
    const QPointer<QObject> guard(context);
    auto* watcher = new QDBusPendingCallWatcher(call, QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, hasContext, guard, done = std::move(done)] {
                         watcher->deleteLater();
                         if (hasContext && !guard) return;
                         done(*watcher);
                     });
}

}  // namespace

BluezBluetoothDevices::BluezBluetoothDevices(QDBusConnection bus, int listTimeoutMs, int connectTimeoutMs)
    : bus_(std::move(bus)), listTimeoutMs_(listTimeoutMs), connectTimeoutMs_(connectTimeoutMs) {}

void BluezBluetoothDevices::pairedDevices(QObject* context, ListHandler handler) {
    if (!bus_.isConnected()) {
        // Answered from the event loop, as a bus would.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [hasContext = context != nullptr, guard = QPointer<QObject>(context), handler = std::move(handler)] {
                if (!hasContext || guard) handler(std::nullopt);
            },
            Qt::QueuedConnection);
        return;
    }
    const QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(kService), QStringLiteral("/"),
                                                                QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                                                QStringLiteral("GetManagedObjects"));
    // No BlueZ on the bus, or no answer in time: an error reply, read as no list.
    whenFinished(
        bus_.asyncCall(message, listTimeoutMs_), context,
        [handler = std::move(handler)](const QDBusPendingCall& call) { handler(pairedDevicesOf(call.reply())); });
}

bool BluezBluetoothDevices::openConnection(const QString& identifier, QObject* context, CompletionHandler completion) {
    if (!bus_.isConnected() || !identifier.startsWith(QLatin1Char('/'))) return false;
    const QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(kService), identifier, kDeviceInterface,
                                                                QStringLiteral("Connect"));
    whenFinished(bus_.asyncCall(message, connectTimeoutMs_), context,
                 [completion = std::move(completion)](const QDBusPendingCall& call) { completion(!call.isError()); });
    return true;
}

}  // namespace glidra::linux_platform
