#include "platform/linux/EvdevMultitouchFramework.h"

namespace glidra::linux_platform {

EvdevMultitouchFramework::EvdevMultitouchFramework(EvdevInputHub& hub) : hub_(hub) {
    hub_.setFrameSink([this](void* device, const evdev::Frame& frame) { deliver(device, frame); });
}

EvdevMultitouchFramework::~EvdevMultitouchFramework() { hub_.setFrameSink(nullptr); }

bool EvdevMultitouchFramework::load() { return hub_.udev().list().has_value(); }

std::vector<MultitouchDevice> EvdevMultitouchFramework::createDeviceList() {
    leases_.push_back(hub_.acquire(unsigned(InputDeviceClass::touchpad)));
    std::vector<MultitouchDevice> list;
    std::lock_guard lock(mutex_);
    for (const auto& node : hub_.openNodes(InputDeviceClass::touchpad)) {
        // A new list starts from a fresh frame state.
        hub_.restartFrames(*node);
        Entry& entry = devices_[node.get()];
        entry.node = node;
        ++entry.lists;
        list.push_back(node.get());
    }
    return list;
}

void EvdevMultitouchFramework::registerContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) {
    std::lock_guard lock(mutex_);
    if (const auto it = devices_.find(device); it != devices_.end()) it->second.callbacks.push_back(callback);
}

int EvdevMultitouchFramework::startDevice(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(device);
    if (it == devices_.end() || !it->second.node->isOpen()) return -1;
    it->second.started = true;
    return 0;
}

void EvdevMultitouchFramework::unregisterContactFrameCallback(MultitouchDevice device, ContactFrameCallback callback) {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(device);
    if (it == devices_.end()) return;
    auto& callbacks = it->second.callbacks;
    if (const auto found = std::find(callbacks.begin(), callbacks.end(), callback); found != callbacks.end()) {
        callbacks.erase(found);
    }
}

void EvdevMultitouchFramework::stopDevice(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    if (const auto it = devices_.find(device); it != devices_.end()) it->second.started = false;
}

void EvdevMultitouchFramework::releaseDeviceList(const std::vector<MultitouchDevice>& devices) {
    {
        std::lock_guard lock(mutex_);
        for (MultitouchDevice device : devices) {
            const auto it = devices_.find(device);
            if (it != devices_.end() && --it->second.lists <= 0) devices_.erase(it);
        }
    }
    // Closes the touchpads when nothing else reads them.
    if (!leases_.empty()) leases_.erase(leases_.begin());
}

std::optional<SurfaceDimensions> EvdevMultitouchFramework::surfaceDimensions(MultitouchDevice device) {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(device);
    if (it == devices_.end()) return std::nullopt;
    return it->second.node->description().surfaceDimensions();
}

void EvdevMultitouchFramework::deliver(void* device, const evdev::Frame& frame) {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(device);
    if (it == devices_.end() || !it->second.started) return;
    for (const auto touches : touchLists_.fill(frame)) {
        for (ContactFrameCallback callback : it->second.callbacks) {
            callback(device, touches.empty() ? nullptr : touches.data(), std::int32_t(touches.size()), frame.time, 0);
        }
    }
}

}  // namespace glidra::linux_platform
