#pragma once

#include "platform/MultitouchFramework.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace glidra::sim {

// The multitouch driver in memory. Tests add devices, make loading or a
// device's start fail, and deliver frames; delivery is synchronous on the
// calling thread (any thread), like the driver's own thread would call.
class SimMultitouchFramework final : public MultitouchFramework {
public:
    // Device references are stable addresses owned by the sim.
    MultitouchDevice addDevice();
    void removeDevice(MultitouchDevice device);
    void setLoadFails(bool fails) { loadFails_ = fails; }
    void setStartFails(MultitouchDevice device, bool fails);

    bool load() override;
    std::vector<MultitouchDevice> createDeviceList() override;
    void registerContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) override;
    int startDevice(MultitouchDevice device) override;
    void unregisterContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) override;
    void stopDevice(MultitouchDevice device) override;
    void releaseDeviceList(const std::vector<MultitouchDevice>& devices) override;

    // Calls the callbacks registered on a started device, as the driver does.
    void deliver(MultitouchDevice device, const std::vector<DriverTouch>& touches, double timestamp);

    int loadCount() const { return loadCount_; }
    int deviceCount() const;
    int registrationCount(MultitouchDevice device) const;
    bool isStarted(MultitouchDevice device) const;
    int openDeviceLists() const { return openLists_; }
    // The calls in order, e.g. "register 1", "start 1", "unregister 1", "stop 1".
    std::vector<std::string> log() const;

private:
    int indexOf(MultitouchDevice device) const;

    struct Device {
        std::unique_ptr<int> address;
        bool startFails = false;
        bool started = false;
        std::vector<ContactFrameCallback> callbacks;
    };

    mutable std::mutex mutex_;
    std::vector<Device> devices_;
    std::vector<std::string> log_;
    bool loadFails_ = false;
    int loadCount_ = 0;
    int openLists_ = 0;
    int nextIndex_ = 1;
};

}  // namespace glidra::sim
