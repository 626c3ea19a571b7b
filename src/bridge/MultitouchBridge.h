#pragma once

#include "gestures/TouchPoint.h"
#include "platform/Clock.h"
#include "platform/DisplayBrightness.h"
#include "platform/MultitouchFramework.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace glidra {

// Called with the kept contacts of every frame (also with none, which is how
// the program learns that all fingers lifted), on the framework's thread and
// with the bridge's mutex held: it must only copy and hand over.
using FrameHandler = void (*)(void* device, const TouchPoint* points, std::int32_t count, std::uint64_t context,
                              double timestamp);

// Stands between the driver and the program: registers one callback on every
// multitouch device, keeps the touching contacts of each frame as TouchPoint
// records and hands them to one handler. Also keeps the last-frame clock and
// frame counter that tell a live stream from a stalled one.
class MultitouchBridge {
public:
    MultitouchBridge(MultitouchFramework& framework, DisplayBrightness& displays, const Clock& clock);
    // Leaves the shared slot, waits until no driver callback is inside the
    // bridge any more, then stops.
    ~MultitouchBridge();

    MultitouchBridge(const MultitouchBridge&) = delete;
    MultitouchBridge& operator=(const MultitouchBridge&) = delete;

    // Main thread. True when at least one device started; a start always
    // stops first, so registrations never double.
    bool start(FrameHandler handler, std::uint64_t context);
    // Main thread. Safe when nothing runs.
    void stop();

    // +infinity when no frame kept a contact since the last stop.
    double secondsSinceLastFrame() const;
    std::uint64_t frameCount() const;

    // Main thread. The surface of a device of the running list, when its
    // driver knows it.
    std::optional<SurfaceDimensions> surfaceDimensions(MultitouchDevice device);

    // Adds `delta` to the built-in display's brightness, clamped to 0...1.
    bool stepBuiltInBrightness(float* level, float delta);

    // The one bridge the C interface and the driver callback reach; the
    // composition root registers it.
    static void setShared(MultitouchBridge* bridge);
    static MultitouchBridge* shared();

    static constexpr int kMaximumContacts = 16;

private:
    static int contactFrameCallback(MultitouchDevice device, const DriverTouch* touches, std::int32_t count,
                                    double timestamp, std::int32_t frame);
    void deliver(MultitouchDevice device, const DriverTouch* touches, std::int32_t count, double timestamp);

    MultitouchFramework& framework_;
    DisplayBrightness& displays_;
    const Clock& clock_;

    mutable std::mutex mutex_;
    FrameHandler handler_ = nullptr;  // guarded
    std::uint64_t context_ = 0;       // guarded
    double lastFrameTime_ = 0;        // guarded; 0 = none since the last stop
    std::uint64_t frameCount_ = 0;    // guarded; never reset

    std::vector<MultitouchDevice> devices_;  // main thread only
    bool hasDeviceList_ = false;
    bool frameworkLoaded_ = false;
    bool displaysLoaded_ = false;
};

}  // namespace glidra

// The bridge's C calling interface, over the shared MultitouchBridge.
extern "C" {
bool glidraMTStart(glidra::FrameHandler handler, std::uint64_t context);
void glidraMTStop(void);
double glidraMTSecondsSinceLastFrame(void);
std::uint64_t glidraMTFrameCount(void);
bool glidraStepBuiltInBrightness(float* level, float delta);
// The width and height in millimetres of a device's surface; false when the
// device is not listening or its driver does not say.
bool glidraMTSurfaceDimensions(void* device, float* width, float* height);
}
