#pragma once

#include "platform/BluetoothDevices.h"

#include <QPointer>
#include <QStringList>

#include <vector>

namespace glidra::sim {

// Paired Bluetooth devices in memory. The list is answered at once; an open
// request stays in flight until the test finishes it. Reading the list and
// opening a connection can be made to fail, and every request is recorded.
class SimBluetoothDevices final : public BluetoothDevices {
public:
    // Returns the new device's identifier.
    QString pair(const QString& name, bool connected = false);
    void setListFails(bool fails) { listFails_ = fails; }
    void setRefusesConnections(bool refuses) { refusesConnections_ = refuses; }

    void pairedDevices(QObject* context, ListHandler handler) override;
    bool openConnection(const QString& identifier, QObject* context, CompletionHandler completion) override;

    // Ends the oldest attempt in flight for the device; a success marks it
    // connected. False when no attempt was in flight.
    bool finishConnection(const QString& identifier, bool connected);

    // The devices a connection was asked for, refused requests included.
    const QStringList& openRequests() const { return openRequests_; }
    int attemptsInFlight() const { return int(inFlight_.size()); }
    bool isConnected(const QString& identifier) const;

private:
    struct Attempt {
        QString identifier;
        bool hasContext;
        QPointer<QObject> context;
        CompletionHandler completion;
    };

    std::vector<PairedDevice> devices_;
    std::vector<Attempt> inFlight_;
    QStringList openRequests_;
    bool listFails_ = false;
    bool refusesConnections_ = false;
};

}  // namespace glidra::sim
