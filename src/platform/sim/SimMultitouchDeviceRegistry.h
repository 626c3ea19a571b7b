#pragma once

#include "platform/MultitouchDeviceRegistry.h"
#include "platform/sim/SimMultitouchFramework.h"

#include <vector>

namespace glidra::sim {

// The device registry over the sim driver: devices that tests plug in or
// pull out here also appear in or vanish from the driver's device list, and
// every change is one notification. Either half can be made to fail.
class SimMultitouchDeviceRegistry final : public MultitouchDeviceRegistry {
public:
    explicit SimMultitouchDeviceRegistry(SimMultitouchFramework& framework) : framework_(framework) {}

    std::optional<Subscription> subscribe(Change change, std::function<void()> handler) override;
    void unsubscribe(Subscription subscription) override;
    // Also true while a device is unreadable: it is there, only closed to us.
    std::optional<bool> anyDevicePresent() const override;
    std::vector<UnreadableDevice> unreadableDevices() const override { return unreadable_; }

    // One notification for all the devices plugged in at once.
    std::vector<MultitouchDevice> plugIn(int count = 1);
    void pullOut(MultitouchDevice device);

    void setSubscribeFails(bool fails) { subscribeFails_ = fails; }
    void setQueryFails(bool fails) { queryFails_ = fails; }
    // Devices present that the driver's list leaves out, as the system leaves
    // out one it may not open.
    void setUnreadable(std::vector<UnreadableDevice> devices) { unreadable_ = std::move(devices); }
    int subscriptionCount() const { return int(subscriptions_.size()); }
    int queryCount() const { return queries_; }

private:
    void notify(Change change);

    struct Entry {
        Subscription id;
        Change change;
        std::function<void()> handler;
    };

    SimMultitouchFramework& framework_;
    std::vector<Entry> subscriptions_;
    Subscription nextId_ = 1;
    bool subscribeFails_ = false;
    bool queryFails_ = false;
    std::vector<UnreadableDevice> unreadable_;
    mutable int queries_ = 0;
};

}  // namespace glidra::sim
