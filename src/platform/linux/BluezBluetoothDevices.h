#pragma once

#include "platform/BluetoothDevices.h"

#include <QDBusConnection>

namespace glidra::linux_platform {

// Paired devices and connections through BlueZ on the system bus: the
// devices are the org.bluez objects with a Device1 interface whose Paired
// property is set, named by their Alias (the name the user sees, which
// BlueZ falls back to the device's own Name), and identified by their object
// path. Without BlueZ, or without a bus, the list is empty and nothing is
// said. Every call carries a timeout.
class BluezBluetoothDevices final : public BluetoothDevices {
public:
    // The bus is given so that tests can point the adapter at a private one.
    explicit BluezBluetoothDevices(QDBusConnection bus = QDBusConnection::systemBus(), int listTimeoutMs = 5'000,
                                   int connectTimeoutMs = 30'000);

    void pairedDevices(QObject* context, ListHandler handler) override;
    bool openConnection(const QString& identifier, QObject* context, CompletionHandler completion) override;

    static constexpr const char* kService = "org.bluez";

private:
    QDBusConnection bus_;
    int listTimeoutMs_;
    int connectTimeoutMs_;
};

}  // namespace glidra::linux_platform
