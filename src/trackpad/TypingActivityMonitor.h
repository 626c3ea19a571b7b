#pragma once

#include "platform/InputEvent.h"
#include "platform/KeyEventMonitor.h"
#include "trackpad/DeviceId.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <set>

namespace glidra {

class AccessibilityTrust;
class Clock;

// When the user last typed, and which trackpads' contacts are ignored until
// their fingers lift.
struct TypingProtectionPolicy {
    double lastTypingAt = -std::numeric_limits<double>::infinity();
    std::set<DeviceId> blockedDevices;

    friend bool operator==(const TypingProtectionPolicy&, const TypingProtectionPolicy&) = default;
};

// Palms and thumbs brush the trackpad while the user types: contacts that
// begin within 0.6 s of a real key press are ignored, per device, until the
// fingers lift. Main thread only.
class TypingActivityMonitor {
public:
    // `isEnabled` tells whether typing protection is on; `onTyping` runs at the
    // first key press of a burst. Starts nothing.
    TypingActivityMonitor(const Clock& clock, KeyEventMonitor& keys, const AccessibilityTrust& trust,
                          std::int64_t ownProcessId, std::function<bool()> isEnabled, std::function<void()> onTyping);
    ~TypingActivityMonitor();

    TypingActivityMonitor(const TypingActivityMonitor&) = delete;
    TypingActivityMonitor& operator=(const TypingActivityMonitor&) = delete;

    // Watches our own windows' key-downs, and other applications' while the
    // process is trusted for Accessibility; restarts from a fresh policy.
    void start();
    // Removes both monitors and forgets the typing time and blocked devices.
    void stop();
    // Reinstalls the global monitor, so Accessibility granted since the last
    // start takes effect; without it only our own windows are watched.
    void installGlobalMonitor();
    bool hasLocalMonitor() const { return local_.has_value(); }
    bool hasGlobalMonitor() const { return global_.has_value(); }

    const TypingProtectionPolicy& policy() const { return policy_; }
    // Forgets all typing so far, keeping the monitors.
    void resetPolicy() { policy_ = TypingProtectionPolicy{}; }
    void clearBlockedDevices() { policy_.blockedDevices.clear(); }
    void blockDevice(DeviceId device) { policy_.blockedDevices.insert(device); }
    bool isEnabled() const { return isEnabled_(); }

    // Counts a key press: called for every key-down the monitors observe.
    void handleKeyDown(const InputEvent& event);
    // Whether a frame of `device` is to be ignored; also updates the blocked
    // devices, so it is asked on every frame that reaches it.
    bool shouldSuppress(DeviceId device, bool touching);
    // The user typed less than the typing window ago (protection on or off).
    bool isWithinTypingWindow() const;

    // Keys that count as typing (stored key codes).
    static bool isTypingKey(std::uint16_t keyCode);

    static constexpr double kTypingWindow = 0.6;

private:
    const Clock& clock_;
    KeyEventMonitor& keys_;
    const AccessibilityTrust& trust_;
    std::int64_t ownProcessId_;
    std::function<bool()> isEnabled_;
    std::function<void()> onTyping_;
    TypingProtectionPolicy policy_;
    std::optional<KeyEventMonitor::Token> local_;
    std::optional<KeyEventMonitor::Token> global_;
};

}  // namespace glidra
