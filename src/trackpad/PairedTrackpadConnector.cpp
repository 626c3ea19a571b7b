#include "trackpad/PairedTrackpadConnector.h"

#include "common/TextSearch.h"

#include <algorithm>

namespace glidra {

PairedTrackpadConnector::PairedTrackpadConnector(BluetoothDevices& bluetooth) : bluetooth_(bluetooth) {}

bool PairedTrackpadConnector::namesTrackpad(const QString& name) {
    return std::any_of(kTrackpadNameWords.begin(), kTrackpadNameWords.end(), [&name](std::u16string_view word) {
        return searchContains(name, QStringView(word.data(), qsizetype(word.size())));
    });
}

void PairedTrackpadConnector::connect() {
    if (isConnecting()) return;
    // The list may come back at once or later; until then this attempt is
    // under way and another request is ignored.
    listing_ = true;
    bluetooth_.pairedDevices(&lifetime_, [this](std::optional<std::vector<BluetoothDevices::PairedDevice>> devices) {
        listing_ = false;
        choose(devices.value_or(std::vector<BluetoothDevices::PairedDevice>{}));
    });
}

void PairedTrackpadConnector::findDisconnectedTrackpad(QObject* context, TrackpadNameHandler handler) {
    bluetooth_.pairedDevices(
        context, [handler = std::move(handler)](std::optional<std::vector<BluetoothDevices::PairedDevice>> devices) {
            const auto* trackpad = onlyTrackpad(devices.value_or(std::vector<BluetoothDevices::PairedDevice>{}));
            handler(trackpad && !trackpad->isConnected ? std::optional(trackpad->name) : std::nullopt);
        });
}

const BluetoothDevices::PairedDevice* PairedTrackpadConnector::onlyTrackpad(
    const std::vector<BluetoothDevices::PairedDevice>& devices) {
    const BluetoothDevices::PairedDevice* found = nullptr;
    for (const auto& device : devices) {
        if (!namesTrackpad(device.name)) continue;
        if (found) return nullptr;
        found = &device;
    }
    return found;
}

void PairedTrackpadConnector::choose(const std::vector<BluetoothDevices::PairedDevice>& devices) {
    const BluetoothDevices::PairedDevice* only = onlyTrackpad(devices);
    if (!only || only->isConnected) return;
    const BluetoothDevices::PairedDevice& trackpad = *only;

    pendingDevice_ = trackpad.identifier;
    const bool accepted = bluetooth_.openConnection(trackpad.identifier, &lifetime_, [this](bool) {
        // Whatever the outcome, the next request may try again.
        pendingDevice_.reset();
    });
    if (!accepted) pendingDevice_.reset();
}

}  // namespace glidra
