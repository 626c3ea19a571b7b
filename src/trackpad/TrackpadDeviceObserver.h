#pragma once

#include "platform/MultitouchDeviceRegistry.h"

#include <functional>
#include <vector>

namespace glidra {

// Tells its owner when a multitouch device arrives or leaves (without
// telling which), and whether any is present. Changes are reported only
// while armed, between a complete start and the next stop. Main thread only.
class TrackpadDeviceObserver {
public:
    TrackpadDeviceObserver(MultitouchDeviceRegistry& registry, std::function<void()> onChange);
    ~TrackpadDeviceObserver();

    TrackpadDeviceObserver(const TrackpadDeviceObserver&) = delete;
    TrackpadDeviceObserver& operator=(const TrackpadDeviceObserver&) = delete;

    // Stops first. Devices present now are not reported. When the system
    // refuses a notification, the observer stays unarmed and silent.
    void start();
    void stop();
    bool isArmed() const { return armed_; }

    // False also when the system cannot be asked.
    static bool hasDevice(const MultitouchDeviceRegistry& registry);

private:
    void notificationArrived();

    MultitouchDeviceRegistry& registry_;
    std::function<void()> onChange_;
    std::vector<MultitouchDeviceRegistry::Subscription> subscriptions_;
    bool armed_ = false;
};

}  // namespace glidra
