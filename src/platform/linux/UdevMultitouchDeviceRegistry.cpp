#include "platform/linux/UdevMultitouchDeviceRegistry.h"

#include <algorithm>

namespace glidra::linux_platform {

UdevMultitouchDeviceRegistry::~UdevMultitouchDeviceRegistry() {
    for (const auto& [id, connection] : subscriptions_) QObject::disconnect(connection);
}

std::optional<MultitouchDeviceRegistry::Subscription> UdevMultitouchDeviceRegistry::subscribe(
    Change change, std::function<void()> handler) {
    if (!hub_.udev().watch()) return std::nullopt;
    const auto notify = [handler = std::move(handler)](const InputNode& node) {
        if (hasClass(node.classes, InputDeviceClass::touchpad)) handler();
    };
    const Subscription id = nextId_++;
    subscriptions_[id] = change == Change::arrival ? QObject::connect(&hub_, &EvdevInputHub::nodeArrived, &hub_, notify)
                                                   : QObject::connect(&hub_, &EvdevInputHub::nodeLeft, &hub_, notify);
    return id;
}

void UdevMultitouchDeviceRegistry::unsubscribe(Subscription subscription) {
    const auto it = subscriptions_.find(subscription);
    if (it == subscriptions_.end()) return;
    QObject::disconnect(it->second);
    subscriptions_.erase(it);
}

std::optional<bool> UdevMultitouchDeviceRegistry::anyDevicePresent() const {
    const auto present = hub_.udev().list();
    if (!present) return std::nullopt;
    return std::any_of(present->begin(), present->end(),
                       [](const InputNode& node) { return hasClass(node.classes, InputDeviceClass::touchpad); });
}

std::vector<MultitouchDeviceRegistry::UnreadableDevice> UdevMultitouchDeviceRegistry::unreadableDevices() const {
    std::vector<UnreadableDevice> unreadable;
    for (const auto& [node, error] : hub_.refusedNodes(InputDeviceClass::touchpad)) {
        unreadable.push_back(UnreadableDevice{node.devnode.toStdString(), node.name.toStdString(), error});
    }
    return unreadable;
}

}  // namespace glidra::linux_platform
