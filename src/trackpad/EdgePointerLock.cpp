#include "trackpad/EdgePointerLock.h"

#include "platform/Clock.h"
#include "platform/PointerControl.h"

namespace glidra {

namespace {

MultitouchDevice deviceOf(DeviceId device) { return reinterpret_cast<MultitouchDevice>(device); }

}  // namespace

EdgePointerLock::EdgePointerLock(PointerControl& pointer, const Clock& clock) : pointer_(pointer), clock_(clock) {}

EdgePointerLock::~EdgePointerLock() { release(std::nullopt, true); }

void EdgePointerLock::engage(DeviceId device) {
    if (device_) return;
    const std::optional<QPointF> location = pointer_.location();
    if (!pointer_.holdMotion(deviceOf(device))) return;
    position_ = location;
    device_ = device;
    lastContactTime_ = clock_.uptime();
    // A hold the pad did not take is no lock.
    if (!pointer_.isHoldingMotion(deviceOf(device))) release(std::nullopt, true);
}

void EdgePointerLock::release(std::optional<DeviceId> device, bool force) {
    if (!device_) return;
    if (!force && device != device_) return;
    const DeviceId held = *device_;
    device_.reset();
    position_.reset();
    pointer_.releaseMotion(deviceOf(held));
}

void EdgePointerLock::refresh(DeviceId device) {
    if (device_ == device) lastContactTime_ = clock_.uptime();
}

void EdgePointerLock::handleMotion() {
    if (!device_) return;
    if (clock_.uptime() - lastContactTime_ < kHoldWindow) {
        if (!position_) return;
        if (const auto location = pointer_.location(); location && *location != *position_) pointer_.warp(*position_);
        return;
    }
    release(std::nullopt, true);
}

}  // namespace glidra
