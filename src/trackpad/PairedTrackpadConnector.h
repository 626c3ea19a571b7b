#pragma once

#include "platform/BluetoothDevices.h"
#include "trackpad/ControllerServices.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace glidra {

// When the user asks to reconnect and no trackpad is heard, wakes the
// connection of the one paired Bluetooth trackpad. It does not report back:
// a trackpad that connects arrives as a new device, and the listener recovery
// restarts listening. One attempt at a time. Main thread only.
class PairedTrackpadConnector final : public PairedTrackpadConnectorService {
public:
    explicit PairedTrackpadConnector(BluetoothDevices& bluetooth);

    PairedTrackpadConnector(const PairedTrackpadConnector&) = delete;
    PairedTrackpadConnector& operator=(const PairedTrackpadConnector&) = delete;

    void connect() override;
    void findDisconnectedTrackpad(QObject* context, TrackpadNameHandler handler) override;

    // Whether an attempt is under way: the paired devices being read, or a
    // connection being opened.
    bool isConnecting() const { return listing_ || pendingDevice_.has_value(); }
    const std::optional<QString>& pendingDevice() const { return pendingDevice_; }

    // Whether a device name says it is a trackpad, ignoring case and accents.
    static bool namesTrackpad(const QString& name);

    // Tried in this order.
    static constexpr std::array<std::u16string_view, 8> kTrackpadNameWords = {
        u"Trackpad", u"触控板", u"觸控板", u"巧控板", u"トラックパッド", u"트랙패드", u"Touchpad", u"触摸板",
    };

private:
    void choose(const std::vector<BluetoothDevices::PairedDevice>& devices);
    // The one paired trackpad; nothing for none or several, since then there
    // is no way to tell which one the user means.
    static const BluetoothDevices::PairedDevice* onlyTrackpad(
        const std::vector<BluetoothDevices::PairedDevice>& devices);

    BluetoothDevices& bluetooth_;
    bool listing_ = false;
    std::optional<QString> pendingDevice_;
    // Answers stop with the connector.
    QObject lifetime_;
};

}  // namespace glidra
