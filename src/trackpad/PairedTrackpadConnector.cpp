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

void PairedTrackpadConnector::choose(const std::vector<BluetoothDevices::PairedDevice>& devices) {
    std::vector<const BluetoothDevices::PairedDevice*> trackpads;
    for (const auto& device : devices) {
        if (namesTrackpad(device.name)) trackpads.push_back(&device);
    }
    // Several trackpads: no way to tell which one the user means.
    if (trackpads.size() != 1) return;
    const BluetoothDevices::PairedDevice& trackpad = *trackpads.front();
    if (trackpad.isConnected) return;

    pendingDevice_ = trackpad.identifier;
    const bool accepted = bluetooth_.openConnection(trackpad.identifier, &lifetime_, [this](bool) {
        // Whatever the outcome, the next request may try again.
        pendingDevice_.reset();
    });
    if (!accepted) pendingDevice_.reset();
}

}  // namespace glidra
