#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace glidra {

// The fields the program reads of one driver touch record.
struct DriverTouch {
    std::int32_t identifier = 0;
    std::int32_t state = 0;  // 3 and 4: touching; others: approaching, lifting, ...
    float x = 0;             // 0 at the left edge, 1 at the right edge
    float y = 0;             // 0 at the bottom edge, 1 at the top edge
    float pressure = 0;      // raw driver units
};

// The size of a device's touch surface in millimetres, as its driver reports
// it.
struct SurfaceDimensions {
    float width = 0;
    float height = 0;

    friend bool operator==(const SurfaceDimensions&, const SurfaceDimensions&) = default;
};

// An opaque device reference; its address is the device identifier.
using MultitouchDevice = void*;

// Called on the framework's own thread for every contact frame of a device.
using ContactFrameCallback = int (*)(MultitouchDevice device, const DriverTouch* touches, std::int32_t count,
                                     double timestamp, std::int32_t frame);

// The system's multitouch driver interface.
class MultitouchFramework {
public:
    virtual ~MultitouchFramework() = default;

    // Makes the framework's functions available; false when the framework or
    // one of its functions is missing. Loaded once, kept for the process.
    virtual bool load() = 0;

    // A new list of the multitouch devices present now (possibly empty).
    virtual std::vector<MultitouchDevice> createDeviceList() = 0;
    virtual void registerContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) = 0;
    // 0 on success.
    virtual int startDevice(MultitouchDevice device) = 0;
    // Frames that arrive afterwards no longer reach the callback; a call
    // already under way may still finish (stopDevice waits for it).
    virtual void unregisterContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) = 0;
    // Returns only when no callback of the device runs any more, so that its
    // callers may free what the callbacks use. Never called from a callback,
    // which would wait for itself.
    virtual void stopDevice(MultitouchDevice device) = 0;
    virtual void releaseDeviceList(const std::vector<MultitouchDevice>& devices) = 0;
    // The device's surface, when the driver knows it; nothing for a device
    // that is not listed or whose driver does not say. Safe while frames of
    // the device are delivered.
    virtual std::optional<SurfaceDimensions> surfaceDimensions(MultitouchDevice device) = 0;
};

}  // namespace glidra
