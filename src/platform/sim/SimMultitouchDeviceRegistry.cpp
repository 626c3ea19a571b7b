#include "platform/sim/SimMultitouchDeviceRegistry.h"

#include <algorithm>

namespace glidra::sim {

std::optional<MultitouchDeviceRegistry::Subscription> SimMultitouchDeviceRegistry::subscribe(
    Change change, std::function<void()> handler) {
    if (subscribeFails_) return std::nullopt;
    subscriptions_.push_back(Entry{nextId_, change, std::move(handler)});
    return nextId_++;
}

void SimMultitouchDeviceRegistry::unsubscribe(Subscription subscription) {
    std::erase_if(subscriptions_, [subscription](const Entry& e) { return e.id == subscription; });
}

std::optional<bool> SimMultitouchDeviceRegistry::anyDevicePresent() const {
    ++queries_;
    if (queryFails_) return std::nullopt;
    return framework_.deviceCount() > 0 || !unreadable_.empty();
}

std::vector<MultitouchDevice> SimMultitouchDeviceRegistry::plugIn(int count) {
    std::vector<MultitouchDevice> added;
    for (int i = 0; i < count; ++i) added.push_back(framework_.addDevice());
    if (!added.empty()) notify(Change::arrival);
    return added;
}

void SimMultitouchDeviceRegistry::pullOut(MultitouchDevice device) {
    framework_.removeDevice(device);
    notify(Change::removal);
}

void SimMultitouchDeviceRegistry::notify(Change change) {
    // A handler may unsubscribe (itself or others) while the notification
    // goes round; only those still subscribed at their turn are called.
    std::vector<Subscription> due;
    for (const Entry& e : subscriptions_) {
        if (e.change == change) due.push_back(e.id);
    }
    for (Subscription id : due) {
        const auto it =
            std::find_if(subscriptions_.begin(), subscriptions_.end(), [id](const Entry& e) { return e.id == id; });
        if (it == subscriptions_.end()) continue;
        auto handler = it->handler;
        handler();
    }
}

}  // namespace glidra::sim
