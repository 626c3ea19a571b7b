#pragma once

#include "platform/MultitouchFramework.h"
#include "platform/evdev/DriverTouchLists.h"
#include "platform/linux/EvdevInputHub.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace glidra::linux_platform {

// The multitouch driver of a Linux laptop: every touchpad udev reports,
// opened read-only (never grabbed: the desktop keeps its pointer) while a
// device list is out, read on the hub's reader thread, and assembled into
// frames whose touch lists go to the registered callbacks there, at the
// frame's time on the monotonic clock. After lost events the libevdev
// resynchronisation is fed to the assembler, and the frame's touch lists
// cancel what was in progress (driverTouchLists). A device reference is the
// hub's node, stable while the device is present.
class EvdevMultitouchFramework final : public MultitouchFramework {
public:
    explicit EvdevMultitouchFramework(EvdevInputHub& hub);
    ~EvdevMultitouchFramework() override;

    // False when udev cannot be asked for devices at all.
    bool load() override;
    // The touchpads that could be opened now; a touchpad the user may not
    // read is left out.
    std::vector<MultitouchDevice> createDeviceList() override;
    void registerContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) override;
    // 0 when the device is open and listed.
    int startDevice(MultitouchDevice device) override;
    void unregisterContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) override;
    void stopDevice(MultitouchDevice device) override;
    void releaseDeviceList(const std::vector<MultitouchDevice>& devices) override;
    // From the resolution of the touchpad's position axes.
    std::optional<SurfaceDimensions> surfaceDimensions(MultitouchDevice device) override;

private:
    // Reader thread.
    void deliver(void* device, const evdev::Frame& frame);

    struct Entry {
        std::shared_ptr<EvdevNode> node;  // keeps the reference valid while listed
        int lists = 0;
        bool started = false;
        std::vector<ContactFrameCallback> callbacks;
    };

    EvdevInputHub& hub_;
    std::mutex mutex_;
    std::map<MultitouchDevice, Entry> devices_;  // guarded
    evdev::DriverTouchLists touchLists_;         // guarded: the reader's, kept for its storage
    std::vector<std::unique_ptr<EvdevInputHub::Lease>> leases_;
};

}  // namespace glidra::linux_platform
