#include "platform/sim/SimBluetoothDevices.h"

#include <algorithm>

namespace glidra::sim {

QString SimBluetoothDevices::pair(const QString& name, bool connected) {
    const QString identifier = QStringLiteral("sim-bluetooth-%1").arg(devices_.size() + 1);
    devices_.push_back(PairedDevice{identifier, name, connected});
    return identifier;
}

void SimBluetoothDevices::pairedDevices(QObject*, ListHandler handler) {
    if (listFails_) {
        handler(std::nullopt);
    } else {
        handler(devices_);
    }
}

bool SimBluetoothDevices::openConnection(const QString& identifier, QObject* context, CompletionHandler completion) {
    openRequests_.append(identifier);
    const bool known = std::any_of(devices_.begin(), devices_.end(),
                                   [&identifier](const PairedDevice& d) { return d.identifier == identifier; });
    if (refusesConnections_ || !known) return false;
    inFlight_.push_back(Attempt{identifier, context != nullptr, QPointer<QObject>(context), std::move(completion)});
    return true;
}

bool SimBluetoothDevices::finishConnection(const QString& identifier, bool connected) {
    const auto it = std::find_if(inFlight_.begin(), inFlight_.end(),
                                 [&identifier](const Attempt& a) { return a.identifier == identifier; });
    if (it == inFlight_.end()) return false;
    Attempt attempt = std::move(*it);
    inFlight_.erase(it);
    if (connected) {
        for (auto& device : devices_) {
            if (device.identifier == identifier) device.isConnected = true;
        }
    }
    if (!attempt.hasContext || attempt.context) attempt.completion(connected);
    return true;
}

bool SimBluetoothDevices::isConnected(const QString& identifier) const {
    return std::any_of(devices_.begin(), devices_.end(),
                       [&identifier](const PairedDevice& d) { return d.identifier == identifier && d.isConnected; });
}

}  // namespace glidra::sim
