#include "platform/sim/SimMultitouchFramework.h"

#include <algorithm>
#include <array>

namespace glidra::sim {

MultitouchDevice SimMultitouchFramework::addDevice() {
    std::lock_guard lock(mutex_);
    devices_.push_back(Device{std::make_unique<int>(nextIndex_++), false, false, {}, std::nullopt});
    return devices_.back().address.get();
}

void SimMultitouchFramework::removeDevice(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    std::erase_if(devices_, [device](const Device& d) { return d.address.get() == device; });
}

void SimMultitouchFramework::setStartFails(MultitouchDevice device, bool fails) {
    std::lock_guard lock(mutex_);
    if (int i = indexOf(device); i >= 0) devices_[std::size_t(i)].startFails = fails;
}

void SimMultitouchFramework::setSurfaceDimensions(MultitouchDevice device,
                                                  std::optional<SurfaceDimensions> dimensions) {
    std::lock_guard lock(mutex_);
    if (int i = indexOf(device); i >= 0) devices_[std::size_t(i)].surface = dimensions;
}

std::optional<SurfaceDimensions> SimMultitouchFramework::surfaceDimensions(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    const int i = indexOf(device);
    return i >= 0 ? devices_[std::size_t(i)].surface : std::nullopt;
}

int SimMultitouchFramework::deviceCount() const {
    std::lock_guard lock(mutex_);
    return int(devices_.size());
}

int SimMultitouchFramework::indexOf(MultitouchDevice device) const {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (devices_[i].address.get() == device) return int(i);
    }
    return -1;
}

bool SimMultitouchFramework::load() {
    std::lock_guard lock(mutex_);
    ++loadCount_;
    return !loadFails_;
}

std::vector<MultitouchDevice> SimMultitouchFramework::createDeviceList() {
    std::lock_guard lock(mutex_);
    ++openLists_;
    std::vector<MultitouchDevice> list;
    for (const auto& d : devices_) list.push_back(d.address.get());
    return list;
}

void SimMultitouchFramework::registerContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) {
    std::lock_guard lock(mutex_);
    if (int i = indexOf(device); i >= 0) {
        devices_[std::size_t(i)].callbacks.push_back(callback);
        log_.push_back("register " + std::to_string(*devices_[std::size_t(i)].address));
    }
}

int SimMultitouchFramework::startDevice(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    const int i = indexOf(device);
    if (i < 0) return -1;
    auto& d = devices_[std::size_t(i)];
    log_.push_back("start " + std::to_string(*d.address));
    if (d.startFails) return -1;
    d.started = true;
    return 0;
}

void SimMultitouchFramework::unregisterContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) {
    std::vector<ContactFrameCallback> callbacks;
    std::vector<Frame> inFlight;
    {
        std::lock_guard lock(mutex_);
        if (auto held = framesInFlight_.find(device); held != framesInFlight_.end()) {
            inFlight = std::move(held->second);
            framesInFlight_.erase(held);
        }
        if (int i = indexOf(device); i >= 0 && !inFlight.empty()) callbacks = devices_[std::size_t(i)].callbacks;
        if (!callbacks.empty()) ++deliveriesUnderWay_[device];
    }
    if (!callbacks.empty()) {
        for (const Frame& frame : inFlight) callOut(device, callbacks, frame.touches, frame.timestamp);
        endDelivery(device);
    }

    std::lock_guard lock(mutex_);
    if (int i = indexOf(device); i >= 0) {
        auto& registered = devices_[std::size_t(i)].callbacks;
        if (auto it = std::find(registered.begin(), registered.end(), callback); it != registered.end()) {
            registered.erase(it);
        }
        log_.push_back("unregister " + std::to_string(*devices_[std::size_t(i)].address));
    }
}

void SimMultitouchFramework::stopDevice(MultitouchDevice device) {
    std::unique_lock lock(mutex_);
    if (int i = indexOf(device); i >= 0) {
        devices_[std::size_t(i)].started = false;
        log_.push_back("stop " + std::to_string(*devices_[std::size_t(i)].address));
    }
    deliveryEnded_.wait(lock, [&] {
        const auto underWay = deliveriesUnderWay_.find(device);
        return underWay == deliveriesUnderWay_.end() || underWay->second == 0;
    });
}

void SimMultitouchFramework::releaseDeviceList(const std::vector<MultitouchDevice>&) {
    std::lock_guard lock(mutex_);
    --openLists_;
}

void SimMultitouchFramework::deliver(MultitouchDevice device, std::span<const DriverTouch> touches, double timestamp) {
    // The callbacks as they were when the delivery began, copied out of the
    // lock; a device rarely has more than one.
    std::array<ContactFrameCallback, kInlineCallbacks> inlineCallbacks{};
    std::vector<ContactFrameCallback> moreCallbacks;
    std::span<const ContactFrameCallback> callbacks;
    {
        std::lock_guard lock(mutex_);
        const int i = indexOf(device);
        if (i < 0 || !devices_[std::size_t(i)].started) return;
        const auto& registered = devices_[std::size_t(i)].callbacks;
        if (registered.size() <= inlineCallbacks.size()) {
            std::copy(registered.begin(), registered.end(), inlineCallbacks.begin());
            callbacks = std::span(inlineCallbacks.data(), registered.size());
        } else {
            moreCallbacks = registered;
            callbacks = moreCallbacks;
        }
        ++deliveriesUnderWay_[device];
    }
    callOut(device, callbacks, touches, timestamp);
    endDelivery(device);
}

void SimMultitouchFramework::holdFrameInFlight(MultitouchDevice device, std::vector<DriverTouch> touches,
                                               double timestamp) {
    std::lock_guard lock(mutex_);
    framesInFlight_[device].push_back(Frame{std::move(touches), timestamp});
}

void SimMultitouchFramework::callOut(MultitouchDevice device, std::span<const ContactFrameCallback> callbacks,
                                     std::span<const DriverTouch> touches, double timestamp) {
    for (auto callback : callbacks) {
        callback(device, touches.empty() ? nullptr : touches.data(), std::int32_t(touches.size()), timestamp, 0);
    }
}

void SimMultitouchFramework::endDelivery(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    if (--deliveriesUnderWay_[device] == 0) deliveryEnded_.notify_all();
}

int SimMultitouchFramework::registrationCount(MultitouchDevice device) const {
    std::lock_guard lock(mutex_);
    const int i = indexOf(device);
    return i < 0 ? 0 : int(devices_[std::size_t(i)].callbacks.size());
}

bool SimMultitouchFramework::isStarted(MultitouchDevice device) const {
    std::lock_guard lock(mutex_);
    const int i = indexOf(device);
    return i >= 0 && devices_[std::size_t(i)].started;
}

std::vector<std::string> SimMultitouchFramework::log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

}  // namespace glidra::sim
