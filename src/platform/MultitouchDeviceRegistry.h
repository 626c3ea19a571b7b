#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace glidra {

// Where the system lists its multitouch devices: whether any is present, and
// notifications when one arrives or leaves. Handlers run on the main thread.
class MultitouchDeviceRegistry {
public:
    enum class Change { arrival, removal };
    // Identifies one subscription; 0 is never handed out.
    using Subscription = std::uint64_t;

    virtual ~MultitouchDeviceRegistry() = default;

    // Calls `handler` once per notification of `change`, each carrying at
    // least one device. Devices present when subscribing are not reported.
    // std::nullopt when the system refuses to notify.
    virtual std::optional<Subscription> subscribe(Change change, std::function<void()> handler) = 0;
    // Unknown subscriptions are ignored.
    virtual void unsubscribe(Subscription subscription) = 0;

    // Whether at least one multitouch device exists; std::nullopt when the
    // system cannot be asked.
    virtual std::optional<bool> anyDevicePresent() const = 0;

    // A present device that the last attempt to read it could not open.
    struct UnreadableDevice {
        std::string node;  // the device file
        std::string name;  // the device's own name
        int error = 0;     // the errno of that attempt
    };
    // Those devices, to say why listening found nothing to listen to; empty
    // when every present device opened.
    virtual std::vector<UnreadableDevice> unreadableDevices() const = 0;
};

}  // namespace glidra
