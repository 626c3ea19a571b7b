#include "trackpad/TypingActivityMonitor.h"

#include "platform/AccessibilityTrust.h"
#include "platform/Clock.h"
#include "platform/EventMarkers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace glidra {

namespace {

constexpr std::array<std::uint16_t, 21> kTypingKeypadKeyCodes = {65, 67, 69, 71, 75, 76, 78, 81, 82, 83, 84,
                                                                 85, 86, 87, 88, 89, 91, 92, 93, 94, 95};
constexpr std::array<std::uint16_t, 9> kTypingNavigationKeyCodes = {115, 116, 117, 119, 121, 123, 124, 125, 126};
constexpr std::uint64_t kCommandOrControl = 0x140000;

bool withinWindow(double previous, double now) {
    return previous <= now && now - previous < TypingActivityMonitor::kTypingWindow;
}

}  // namespace

TypingActivityMonitor::TypingActivityMonitor(const Clock& clock, KeyEventMonitor& keys, const AccessibilityTrust& trust,
                                             std::int64_t ownProcessId, std::function<bool()> isEnabled,
                                             std::function<void()> onTyping)
    : clock_(clock),
      keys_(keys),
      trust_(trust),
      ownProcessId_(ownProcessId),
      isEnabled_(std::move(isEnabled)),
      onTyping_(std::move(onTyping)) {}

TypingActivityMonitor::~TypingActivityMonitor() {
    // The handlers point at this monitor: none may outlive it.
    if (local_) keys_.removeMonitor(*local_);
    if (global_) keys_.removeMonitor(*global_);
}

void TypingActivityMonitor::start() {
    stop();
    installGlobalMonitor();
    local_ = keys_.addLocalKeyDownMonitor([this](const InputEvent& event) { handleKeyDown(event); });
}

void TypingActivityMonitor::stop() {
    if (local_) keys_.removeMonitor(*local_);
    if (global_) keys_.removeMonitor(*global_);
    local_.reset();
    global_.reset();
    policy_ = TypingProtectionPolicy{};
}

void TypingActivityMonitor::installGlobalMonitor() {
    if (global_) keys_.removeMonitor(*global_);
    global_.reset();
    // Other applications' keys reach us only with Accessibility trust.
    if (!trust_.isProcessTrusted()) return;
    global_ = keys_.addGlobalKeyDownMonitor([this](const InputEvent& event) { handleKeyDown(event); });
}

bool TypingActivityMonitor::isTypingKey(std::uint16_t keyCode) {
    return keyCode < 52 ||
           std::find(kTypingKeypadKeyCodes.begin(), kTypingKeypadKeyCodes.end(), keyCode) !=
               kTypingKeypadKeyCodes.end() ||
           std::find(kTypingNavigationKeyCodes.begin(), kTypingNavigationKeyCodes.end(), keyCode) !=
               kTypingNavigationKeyCodes.end();
}

void TypingActivityMonitor::handleKeyDown(const InputEvent& event) {
    if (!isEnabled_()) return;
    const double now = clock_.uptime();
    const double previous = policy_.lastTypingAt;
    // Our own synthesised keys never count: by process, by the device they
    // came back through, or by their marker.
    const bool ownEvent = event.sourceProcessId == ownProcessId_ || event.origin == EventOrigin::ownProcess ||
                          event.origin == EventOrigin::ownVirtualDevice || event.userData == kShortcutEventMarker;
    if (!std::isfinite(now) || ownEvent || (event.flags & kCommandOrControl) != 0) return;
    if (!isTypingKey(event.keyCode)) return;
    policy_.lastTypingAt = now;
    if (!withinWindow(previous, now) && onTyping_) onTyping_();
}

bool TypingActivityMonitor::isWithinTypingWindow() const {
    const double now = clock_.uptime();
    return std::isfinite(now) && withinWindow(policy_.lastTypingAt, now);
}

bool TypingActivityMonitor::shouldSuppress(DeviceId device, bool touching) {
    if (!isEnabled_()) {
        policy_.blockedDevices.clear();
        return false;
    }
    if (policy_.blockedDevices.contains(device)) {
        // The lifting frame is still ignored; the next contact starts fresh.
        if (!touching) policy_.blockedDevices.erase(device);
        return true;
    }
    if (!touching) return false;
    if (isWithinTypingWindow()) {
        policy_.blockedDevices.insert(device);
        return true;
    }
    return false;
}

}  // namespace glidra
