#pragma once

#include "platform/MultitouchFramework.h"

#include <condition_variable>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace glidra::sim {

// The multitouch driver in memory. Tests add devices, make loading or a
// device's start fail, and deliver frames; delivery is synchronous on the
// calling thread (any thread), like the driver's own thread would call.
// Stopping a device waits for its deliveries under way, as the port promises.
class SimMultitouchFramework final : public MultitouchFramework {
public:
    // Device references are stable addresses owned by the sim.
    MultitouchDevice addDevice();
    void removeDevice(MultitouchDevice device);
    void setLoadFails(bool fails) { loadFails_ = fails; }
    void setStartFails(MultitouchDevice device, bool fails);
    // What the device says of its surface; nothing until set.
    void setSurfaceDimensions(MultitouchDevice device, std::optional<SurfaceDimensions> dimensions);

    bool load() override;
    std::vector<MultitouchDevice> createDeviceList() override;
    void registerContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) override;
    int startDevice(MultitouchDevice device) override;
    void unregisterContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) override;
    void stopDevice(MultitouchDevice device) override;
    void releaseDeviceList(const std::vector<MultitouchDevice>& devices) override;
    std::optional<SurfaceDimensions> surfaceDimensions(MultitouchDevice device) override;

    // Calls the callbacks registered on a started device, as the driver does.
    // The callbacks run without the sim's lock, so they may query it. Once a
    // device has had a delivery, the next ones allocate nothing while it has
    // at most kInlineCallbacks callbacks.
    void deliver(MultitouchDevice device, std::span<const DriverTouch> touches, double timestamp);
    void deliver(MultitouchDevice device, std::initializer_list<DriverTouch> touches, double timestamp) {
        deliver(device, std::span<const DriverTouch>(touches.begin(), touches.size()), timestamp);
    }
    static constexpr std::size_t kInlineCallbacks = 4;
    // A frame the driver has taken in but not handed over yet: it reaches the
    // device's callbacks when the program begins to unregister them, as a
    // frame in flight during a stop does.
    void holdFrameInFlight(MultitouchDevice device, std::vector<DriverTouch> touches, double timestamp);

    int loadCount() const { return loadCount_; }
    int deviceCount() const;
    int registrationCount(MultitouchDevice device) const;
    bool isStarted(MultitouchDevice device) const;
    int openDeviceLists() const { return openLists_; }
    // The calls in order, e.g. "register 1", "start 1", "unregister 1", "stop 1".
    std::vector<std::string> log() const;

private:
    struct Frame {
        std::vector<DriverTouch> touches;
        double timestamp = 0;
    };

    int indexOf(MultitouchDevice device) const;
    // Runs the touches through the callbacks without the lock.
    static void callOut(MultitouchDevice device, std::span<const ContactFrameCallback> callbacks,
                        std::span<const DriverTouch> touches, double timestamp);
    // Ends the delivery that the caller counted in deliveriesUnderWay_.
    void endDelivery(MultitouchDevice device);

    struct Device {
        std::unique_ptr<int> address;
        bool startFails = false;
        bool started = false;
        std::vector<ContactFrameCallback> callbacks;
        std::optional<SurfaceDimensions> surface;
    };

    mutable std::mutex mutex_;
    std::condition_variable deliveryEnded_;
    std::vector<Device> devices_;
    // Deliveries under way per device; kept apart from devices_ so that a
    // device removed meanwhile still counts down. An entry stays at 0 when
    // its deliveries have ended, so that the next one adds no node.
    std::map<MultitouchDevice, int> deliveriesUnderWay_;
    std::map<MultitouchDevice, std::vector<Frame>> framesInFlight_;
    std::vector<std::string> log_;
    bool loadFails_ = false;
    int loadCount_ = 0;
    int openLists_ = 0;
    int nextIndex_ = 1;
};

}  // namespace glidra::sim
