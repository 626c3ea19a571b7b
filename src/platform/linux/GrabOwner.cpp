#include "platform/linux/GrabOwner.h"

namespace glidra::linux_platform {

bool GrabOwner::hold(const QByteArray& devnode, Holder holder) {
    std::lock_guard lock(mutex_);
    auto it = holders_.find(devnode);
    if (it != holders_.end()) {
        it->second.insert(holder);
        return true;
    }
    if (!apply_(devnode, Action::grab)) return false;
    holders_[devnode].insert(holder);
    return true;
}

void GrabOwner::release(const QByteArray& devnode, Holder holder, Action how) {
    std::lock_guard lock(mutex_);
    auto it = holders_.find(devnode);
    if (it == holders_.end() || it->second.erase(holder) == 0 || !it->second.empty()) return;
    holders_.erase(it);
    apply_(devnode, how);
}

void GrabOwner::releaseHolder(Holder holder) {
    std::lock_guard lock(mutex_);
    for (auto it = holders_.begin(); it != holders_.end();) {
        if (it->second.erase(holder) > 0 && it->second.empty()) {
            apply_(it->first, Action::release);
            it = holders_.erase(it);
        } else {
            ++it;
        }
    }
}

void GrabOwner::releaseAll() {
    std::lock_guard lock(mutex_);
    for (const auto& [devnode, holders] : holders_) apply_(devnode, Action::releaseNow);
    holders_.clear();
}

void GrabOwner::reapply(const QByteArray& devnode) {
    std::lock_guard lock(mutex_);
    if (holders_.contains(devnode)) apply_(devnode, Action::grab);
}

void GrabOwner::forget(const QByteArray& devnode) {
    std::lock_guard lock(mutex_);
    holders_.erase(devnode);
}

bool GrabOwner::isGrabbed(const QByteArray& devnode) const {
    std::lock_guard lock(mutex_);
    return holders_.contains(devnode);
}

int GrabOwner::holderCount(const QByteArray& devnode) const {
    std::lock_guard lock(mutex_);
    const auto it = holders_.find(devnode);
    return it == holders_.end() ? 0 : int(it->second.size());
}

bool GrabOwner::anyGrab() const {
    std::lock_guard lock(mutex_);
    return !holders_.empty();
}

}  // namespace glidra::linux_platform
