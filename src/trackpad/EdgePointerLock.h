#pragma once

#include "trackpad/DeviceId.h"

#include <QPointF>

#include <limits>
#include <optional>

namespace glidra {

class Clock;
class PointerControl;

// Holds the pointer where it was while a finger slides along an edge to
// change a level, for as long as adjustment steps keep coming. The touchpad's
// own motion is held at its source (the desktop stops seeing the pad while
// its frames still reach us), and the pointer is put back when something
// else moved it. Owned by the controller; main thread only.
class EdgePointerLock {
public:
    EdgePointerLock(PointerControl& pointer, const Clock& clock);
    // Lets the touchpad go: the program may end with a finger on the pad.
    ~EdgePointerLock();

    EdgePointerLock(const EdgePointerLock&) = delete;
    EdgePointerLock& operator=(const EdgePointerLock&) = delete;

    // Holds the pointer for `device`'s slide; nothing while already held for
    // any device, and the lock stays off when the pad cannot be held.
    void engage(DeviceId device);
    // Without force, only when held for `device`; with force, whoever holds
    // it (`device` may then be absent).
    void release(std::optional<DeviceId> device, bool force);
    // An adjustment step of `device`'s slide keeps the lock alive.
    void refresh(DeviceId device);
    // Pointer motion while the lock is on: within the hold window the pointer
    // stays (put back where something else moved it); after it, the lock
    // ends and the motion goes through.
    void handleMotion();

    bool isOn() const { return device_.has_value(); }
    std::optional<DeviceId> device() const { return device_; }
    std::optional<QPointF> position() const { return position_; }
    double lastContactTime() const { return lastContactTime_; }

    // Motion this long after the last step ends the lock.
    static constexpr double kHoldWindow = 0.5;

private:
    PointerControl& pointer_;
    const Clock& clock_;
    std::optional<DeviceId> device_;
    // Absent where the desktop does not tell where the pointer is: the pad is
    // still held, only nothing can be put back.
    std::optional<QPointF> position_;
    double lastContactTime_ = -std::numeric_limits<double>::infinity();
};

}  // namespace glidra
