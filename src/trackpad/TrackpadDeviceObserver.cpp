#include "trackpad/TrackpadDeviceObserver.h"

namespace glidra {

TrackpadDeviceObserver::TrackpadDeviceObserver(MultitouchDeviceRegistry& registry, std::function<void()> onChange)
    : registry_(registry), onChange_(std::move(onChange)) {}

TrackpadDeviceObserver::~TrackpadDeviceObserver() { stop(); }

void TrackpadDeviceObserver::start() {
    stop();
    for (const auto change : {MultitouchDeviceRegistry::Change::arrival, MultitouchDeviceRegistry::Change::removal}) {
        const auto subscription = registry_.subscribe(change, [this] { notificationArrived(); });
        if (!subscription) {
            stop();
            return;
        }
        subscriptions_.push_back(*subscription);
    }
    armed_ = true;
}

void TrackpadDeviceObserver::stop() {
    armed_ = false;
    for (const auto subscription : subscriptions_) registry_.unsubscribe(subscription);
    subscriptions_.clear();
}

bool TrackpadDeviceObserver::hasDevice(const MultitouchDeviceRegistry& registry) {
    return registry.anyDevicePresent().value_or(false);
}

void TrackpadDeviceObserver::notificationArrived() {
    if (armed_) onChange_();
}

}  // namespace glidra
