#include "bridge/MultitouchBridge.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>

namespace glidra {

namespace {
std::atomic<MultitouchBridge*> sharedBridge{nullptr};
// Driver callbacks between reading the shared slot and leaving the bridge
// they found there. Any registration reaches the shared bridge, so its own
// stop cannot vouch for every callback inside it.
std::atomic<int> callbacksInside{0};
constexpr int kMaximumDisplays = 16;
}  // namespace

MultitouchBridge::MultitouchBridge(MultitouchFramework& framework, DisplayBrightness& displays, const Clock& clock)
    : framework_(framework), displays_(displays), clock_(clock) {}

MultitouchBridge::~MultitouchBridge() {
    // No callback can find this bridge once the slot is cleared; those that
    // already did are counted, and the count reaches zero between frames.
    MultitouchBridge* self = this;
    sharedBridge.compare_exchange_strong(self, nullptr);
    for (int inside = callbacksInside.load(); inside != 0; inside = callbacksInside.load()) {
        callbacksInside.wait(inside);
    }
    stop();
}

void MultitouchBridge::setShared(MultitouchBridge* bridge) { sharedBridge.store(bridge); }

MultitouchBridge* MultitouchBridge::shared() { return sharedBridge.load(); }

bool MultitouchBridge::start(FrameHandler handler, std::uint64_t context) {
    stop();
    if (!frameworkLoaded_) {
        if (!framework_.load()) return false;
        frameworkLoaded_ = true;
    }
    devices_ = framework_.createDeviceList();
    hasDeviceList_ = true;
    if (devices_.empty()) {
        stop();
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        handler_ = handler;
        context_ = context;
    }
    int started = 0;
    for (MultitouchDevice device : devices_) {
        framework_.registerContactFrameCallback(device, &MultitouchBridge::contactFrameCallback);
        if (framework_.startDevice(device) == 0) ++started;
    }
    if (started > 0) return true;
    stop();
    return false;
}

void MultitouchBridge::stop() {
    {
        // Cleared before anything is unregistered, so a frame that arrives
        // during the stop is dropped.
        std::lock_guard lock(mutex_);
        handler_ = nullptr;
        lastFrameTime_ = 0;
    }
    if (!hasDeviceList_) return;
    for (MultitouchDevice device : devices_) {
        framework_.unregisterContactFrameCallback(device, &MultitouchBridge::contactFrameCallback);
        framework_.stopDevice(device);
    }
    framework_.releaseDeviceList(devices_);
    devices_.clear();
    hasDeviceList_ = false;
}

double MultitouchBridge::secondsSinceLastFrame() const {
    std::lock_guard lock(mutex_);
    if (lastFrameTime_ > 0) return clock_.uptime() - lastFrameTime_;
    return std::numeric_limits<double>::infinity();
}

std::uint64_t MultitouchBridge::frameCount() const {
    std::lock_guard lock(mutex_);
    return frameCount_;
}

int MultitouchBridge::contactFrameCallback(MultitouchDevice device, const DriverTouch* touches, std::int32_t count,
                                           double timestamp, std::int32_t) {
    // Counted before the slot is read, so a destructor that clears the slot
    // and then sees no callback inside knows none can reach it.
    callbacksInside.fetch_add(1);
    if (MultitouchBridge* bridge = sharedBridge.load()) bridge->deliver(device, touches, count, timestamp);
    if (callbacksInside.fetch_sub(1) == 1) callbacksInside.notify_all();
    return 0;
}

void MultitouchBridge::deliver(MultitouchDevice device, const DriverTouch* touches, std::int32_t count,
                               double timestamp) {
    std::lock_guard lock(mutex_);
    if (handler_ == nullptr) return;
    // On the stack: the driver's thread must not allocate per frame.
    std::array<TouchPoint, kMaximumContacts> points;
    std::int32_t kept = 0;
    if (touches != nullptr && count >= 1) {
        for (std::int32_t i = 0; i < count && kept < kMaximumContacts; ++i) {
            const DriverTouch& touch = touches[i];
            if (touch.state != 3 && touch.state != 4) continue;
            const float pressure = touch.pressure > 0 && std::isfinite(touch.pressure) ? touch.pressure : 0.0f;
            points[std::size_t(kept++)] = TouchPoint{touch.identifier, touch.x, touch.y, pressure};
        }
    }
    if (kept > 0) {
        lastFrameTime_ = clock_.uptime();
        ++frameCount_;
    }
    handler_(device, points.data(), kept, context_, timestamp);
}

std::optional<SurfaceDimensions> MultitouchBridge::surfaceDimensions(MultitouchDevice device) {
    // Only a device of the list still holds a valid reference.
    if (std::find(devices_.begin(), devices_.end(), device) == devices_.end()) return std::nullopt;
    return framework_.surfaceDimensions(device);
}

bool MultitouchBridge::stepBuiltInBrightness(float* level, float delta) {
    if (!displaysLoaded_) {
        if (!displays_.load()) return false;
        displaysLoaded_ = true;
    }
    const auto online = displays_.onlineDisplays(kMaximumDisplays);
    if (!online || online->empty()) return false;
    for (DisplayId display : *online) {
        if (!displays_.isBuiltin(display)) continue;
        const auto current = displays_.brightness(display);
        if (!current) continue;
        float next = *current + delta;
        next = std::isnan(next) ? 0.0f : std::max(0.0f, std::min(1.0f, next));
        *level = next;
        return displays_.setBrightness(display, next);
    }
    return false;
}

}  // namespace glidra

using glidra::MultitouchBridge;

extern "C" {

bool glidraMTStart(glidra::FrameHandler handler, std::uint64_t context) {
    MultitouchBridge* bridge = MultitouchBridge::shared();
    return bridge != nullptr && bridge->start(handler, context);
}

void glidraMTStop(void) {
    if (MultitouchBridge* bridge = MultitouchBridge::shared()) bridge->stop();
}

double glidraMTSecondsSinceLastFrame(void) {
    MultitouchBridge* bridge = MultitouchBridge::shared();
    return bridge != nullptr ? bridge->secondsSinceLastFrame() : std::numeric_limits<double>::infinity();
}

std::uint64_t glidraMTFrameCount(void) {
    MultitouchBridge* bridge = MultitouchBridge::shared();
    return bridge != nullptr ? bridge->frameCount() : 0;
}

bool glidraStepBuiltInBrightness(float* level, float delta) {
    MultitouchBridge* bridge = MultitouchBridge::shared();
    return bridge != nullptr && level != nullptr && bridge->stepBuiltInBrightness(level, delta);
}

bool glidraMTSurfaceDimensions(void* device, float* width, float* height) {
    MultitouchBridge* bridge = MultitouchBridge::shared();
    if (bridge == nullptr || width == nullptr || height == nullptr) return false;
    const auto dimensions = bridge->surfaceDimensions(device);
    if (!dimensions) return false;
    *width = dimensions->width;
    *height = dimensions->height;
    return true;
}
}
