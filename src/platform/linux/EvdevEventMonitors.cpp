#include "platform/linux/EvdevEventMonitors.h"

#include <QGuiApplication>

namespace glidra::linux_platform {

EvdevEventMonitors::EvdevEventMonitors(EvdevInputHub& hub, InputDeviceClasses classes,
                                       std::function<bool(const InputEvent&)> accepts)
    : hub_(hub), classes_(classes), accepts_(std::move(accepts)) {}

EvdevEventMonitors::~EvdevEventMonitors() {
    if (observer_ != 0) hub_.removeObserver(observer_);
}

bool EvdevEventMonitors::ownWindowFocused() {
    // Without a GUI application there are no windows of ours.
    const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return application != nullptr && QGuiApplication::focusWindow() != nullptr;
}

std::uint64_t EvdevEventMonitors::add(Scope scope, Handler handler) {
    const std::uint64_t token = nextToken_++;
    entries_.emplace(token, Entry{scope, std::move(handler)});
    if (!lease_) {
        lease_ = hub_.acquire(classes_);
        observer_ = hub_.addObserver([this](const ObservedInput& observed, const InputEvent& passed) {
            if ((observed.classes & classes_) != 0) deliver(passed);
        });
    }
    return token;
}

void EvdevEventMonitors::remove(std::uint64_t token) {
    if (entries_.erase(token) == 0 || !entries_.empty()) return;
    hub_.removeObserver(observer_);
    observer_ = 0;
    lease_.reset();
}

int EvdevEventMonitors::installed(Scope scope) const {
    int count = 0;
    for (const auto& [token, entry] : entries_) count += entry.scope == scope ? 1 : 0;
    return count;
}

void EvdevEventMonitors::deliver(const InputEvent& event) {
    if (!accepts_(event)) return;
    const Scope scope = ownWindowFocused() ? Scope::local : Scope::global;
    // Handlers may remove monitors, their own included.
    std::vector<std::uint64_t> tokens;
    for (const auto& [token, entry] : entries_) {
        if (entry.scope == scope) tokens.push_back(token);
    }
    for (const std::uint64_t token : tokens) {
        const auto it = entries_.find(token);
        if (it == entries_.end()) continue;
        const Handler handler = it->second.handler;
        handler(event);
    }
}

}  // namespace glidra::linux_platform
