#include "support/FakeBluez.h"

#include <QDBusMetaType>

namespace glidra::test {

namespace {
int nextConnection = 0;
}

FakeBluez::FakeBluez(const QString& busAddress)
    : connectionName_(QStringLiteral("fake-bluez-%1").arg(++nextConnection)),
      connection_(QDBusConnection::connectToBus(busAddress, connectionName_)) {
    qDBusRegisterMetaType<DbusInterfaces>();
    qDBusRegisterMetaType<DbusManagedObjects>();
    if (!connection_.isConnected()) return;
    auto manager = std::make_unique<FakeBluezObjectManager>(*this);
    connection_.registerObject(QStringLiteral("/"), manager.get(), QDBusConnection::ExportAllSlots);
    exported_.push_back(std::move(manager));
    serving_ = connection_.registerService(QStringLiteral("org.bluez"));
}

FakeBluez::~FakeBluez() {
    connection_.unregisterService(QStringLiteral("org.bluez"));
    QDBusConnection::disconnectFromBus(connectionName_);
}

DbusInterfaces FakeBluez::device(const QString& alias, bool paired, bool connected) {
    return {{QStringLiteral("org.bluez.Device1"),
             {{QStringLiteral("Alias"), alias},
              {QStringLiteral("Paired"), paired},
              {QStringLiteral("Connected"), connected},
              {QStringLiteral("Address"), QStringLiteral("AA:BB:CC:DD:EE:FF")}}},
            {QStringLiteral("org.freedesktop.DBus.Properties"), {}}};
}

void FakeBluez::addObject(const QString& path, const DbusInterfaces& interfaces) {
    objects_.insert(QDBusObjectPath(path), interfaces);
    if (!interfaces.contains(QStringLiteral("org.bluez.Device1"))) return;
    auto device = std::make_unique<FakeBluezDevice>(*this, path);
    connection_.registerObject(path, device.get(), QDBusConnection::ExportAllSlots);
    exported_.push_back(std::move(device));
}

void FakeBluez::connectCalled(const QString& path, const QDBusMessage& message, QDBusConnection connection) {
    connectCalls_.append(path);
    switch (connectReply_) {
        case ConnectReply::success:
            connection.send(message.createReply());
            break;
        case ConnectReply::failure:
            connection.send(
                message.createErrorReply(QStringLiteral("org.bluez.Error.Failed"), QStringLiteral("Page Timeout")));
            break;
        case ConnectReply::never:
            held_.push_back(message);
            break;
    }
}

void FakeBluez::answerHeldConnects(bool success) {
    for (const QDBusMessage& message : held_) {
        connection_.send(success ? message.createReply()
                                 : message.createErrorReply(QStringLiteral("org.bluez.Error.Failed"),
                                                            QStringLiteral("Page Timeout")));
    }
    held_.clear();
}

void FakeBluezDevice::Connect() {
    setDelayedReply(true);
    bluez_.connectCalled(path_, message(), connection());
}

}  // namespace glidra::test
