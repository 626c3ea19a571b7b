#pragma once

#include "platform/MultitouchDeviceRegistry.h"
#include "platform/linux/EvdevInputHub.h"

#include <QMetaObject>

#include <map>

namespace glidra::linux_platform {

// Touchpads arriving and leaving, as udev's monitor reports them to the hub
// on the main loop; presence asked of udev afresh.
class UdevMultitouchDeviceRegistry final : public MultitouchDeviceRegistry {
public:
    explicit UdevMultitouchDeviceRegistry(EvdevInputHub& hub) : hub_(hub) {}
    ~UdevMultitouchDeviceRegistry() override;

    // Nothing when udev's monitor could not be started.
    std::optional<Subscription> subscribe(Change change, std::function<void()> handler) override;
    void unsubscribe(Subscription subscription) override;
    std::optional<bool> anyDevicePresent() const override;
    std::vector<UnreadableDevice> unreadableDevices() const override;

private:
    EvdevInputHub& hub_;
    std::map<Subscription, QMetaObject::Connection> subscriptions_;
    Subscription nextId_ = 1;
};

}  // namespace glidra::linux_platform
