#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

namespace glidra::test {

using DbusInterfaces = QMap<QString, QVariantMap>;
using DbusManagedObjects = QMap<QDBusObjectPath, DbusInterfaces>;

// The part of BlueZ the paired-trackpad connector uses, served on a bus the
// test chooses: the object tree through org.freedesktop.DBus.ObjectManager
// and Device1.Connect, which answers as the test says.
class FakeBluez final : public QObject {
    Q_OBJECT

public:
    enum class ConnectReply { success, failure, never };

    explicit FakeBluez(const QString& busAddress);
    ~FakeBluez() override;

    // Whether it owns the name org.bluez on the bus.
    bool isServing() const { return serving_; }

    // An object with the given interfaces; one with org.bluez.Device1 also
    // answers Connect.
    void addObject(const QString& path, const DbusInterfaces& interfaces);
    static DbusInterfaces device(const QString& alias, bool paired, bool connected);

    void setConnectReply(ConnectReply reply) { connectReply_ = reply; }
    // The device paths Connect was called on, in order.
    const QStringList& connectCalls() const { return connectCalls_; }
    // Answers the Connect calls held back so far.
    void answerHeldConnects(bool success);

    DbusManagedObjects managedObjects() const { return objects_; }
    void connectCalled(const QString& path, const QDBusMessage& message, QDBusConnection connection);

private:
    QString connectionName_;
    QDBusConnection connection_;
    bool serving_ = false;
    DbusManagedObjects objects_;
    std::vector<std::unique_ptr<QObject>> exported_;
    ConnectReply connectReply_ = ConnectReply::success;
    QStringList connectCalls_;
    std::vector<QDBusMessage> held_;
};

// org.freedesktop.DBus.ObjectManager at "/".
class FakeBluezObjectManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.ObjectManager")

public:
    explicit FakeBluezObjectManager(FakeBluez& bluez) : bluez_(bluez) {}

public Q_SLOTS:
    glidra::test::DbusManagedObjects GetManagedObjects() { return bluez_.managedObjects(); }

private:
    FakeBluez& bluez_;
};

// org.bluez.Device1 of one device.
class FakeBluezDevice final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.bluez.Device1")

public:
    FakeBluezDevice(FakeBluez& bluez, QString path) : bluez_(bluez), path_(std::move(path)) {}

public Q_SLOTS:
    void Connect();

private:
    FakeBluez& bluez_;
    QString path_;
};

}  // namespace glidra::test
