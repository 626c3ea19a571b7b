#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace glidra {

// The paired Bluetooth devices and the request to open a connection to one.
// Answers arrive on the main thread, and not at all once `context` (when
// given) is destroyed.
class BluetoothDevices {
public:
    struct PairedDevice {
        QString identifier;  // stable for the device while it stays paired
        QString name;        // the name the user sees
        bool isConnected = false;

        friend bool operator==(const PairedDevice&, const PairedDevice&) = default;
    };
    // std::nullopt when the list cannot be read.
    using ListHandler = std::function<void(std::optional<std::vector<PairedDevice>>)>;
    // Whether the connection was opened.
    using CompletionHandler = std::function<void(bool connected)>;

    virtual ~BluetoothDevices() = default;

    virtual void pairedDevices(QObject* context, ListHandler handler) = 0;
    // False when the request is refused at once; `completion` is then never
    // called. Otherwise `completion` is called once when the attempt ends.
    virtual bool openConnection(const QString& identifier, QObject* context, CompletionHandler completion) = 0;
};

}  // namespace glidra
