#include "trackpad/TrackpadClickMonitor.h"

#include "platform/EventMarkers.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace glidra {

TrackpadClickMonitor::TrackpadClickMonitor(Services services, std::function<double()> now, ClickHandler onClick)
    : services_(std::move(services)), now_(std::move(now)), onClick_(std::move(onClick)) {}

TrackpadClickMonitor::~TrackpadClickMonitor() {
    // The handlers and the release point at this monitor: none may outlive it.
    pendingRelease_.cancel();
    if (localMonitor_) services_.mouseButtons.removeMonitor(*localMonitor_);
    if (globalMonitor_) services_.mouseButtons.removeMonitor(*globalMonitor_);
}

void TrackpadClickMonitor::start() {
    stop();
    auto handler = [this](const InputEvent& event) { handleMouseEvent(event); };
    globalMonitor_ = services_.mouseButtons.addGlobalMonitor(handler);
    localMonitor_ = services_.mouseButtons.addLocalMonitor(handler);
}

void TrackpadClickMonitor::stop() {
    if (localMonitor_) services_.mouseButtons.removeMonitor(*localMonitor_);
    localMonitor_.reset();
    if (globalMonitor_) services_.mouseButtons.removeMonitor(*globalMonitor_);
    globalMonitor_.reset();
    reset();
}

void TrackpadClickMonitor::reset() {
    pendingRelease_.cancel();
    pendingRelease_ = TimerHandle();
    recognizers.clear();
    contexts.clear();
    frameTimes.clear();
    pressedDevice_.reset();
    pressedButton_.reset();
}

bool TrackpadClickMonitor::isPressed(DeviceId device) const {
    const auto it = recognizers.find(device);
    return it != recognizers.end() && it->second.hasClaimedContactSession;
}

void TrackpadClickMonitor::handleMouseEvent(const InputEvent& event) {
    // Our own synthesised clicks, known by marker, process or the device they
    // came back through.
    if (event.userData == kMouseEventMarker) return;
    if (event.sourceProcessId == services_.ownProcessId || event.origin == EventOrigin::ownProcess ||
        event.origin == EventOrigin::ownVirtualDevice) {
        return;
    }
    switch (event.type) {
        case InputEvent::Type::leftMouseDown:
        case InputEvent::Type::rightMouseDown:
            // A physical press, from a trackpad or a mouse, starts a new count
            // for the next synthesised click.
            if (services_.resetMouseClickSequence) services_.resetMouseClickSequence();
            press(event);
            break;
        case InputEvent::Type::otherMouseDown:
            if (services_.resetMouseClickSequence) services_.resetMouseClickSequence();
            release(event);
            break;
        case InputEvent::Type::leftMouseUp:
        case InputEvent::Type::rightMouseUp:
            release(event);
            break;
        default:
            break;
    }
}

bool TrackpadClickMonitor::canClaim(const TrackpadClickRecognizer& recognizer, double now) const {
    if (recognizer.forcePressed || recognizer.downTime) return false;
    if (!std::isfinite(now) || !std::isfinite(recognizer.lastFrameTime)) return false;
    if (std::abs(now - recognizer.lastFrameTime) > kFrameRecency) return false;
    if (recognizer.points.empty() || recognizer.points.size() > 4) return false;
    return std::all_of(recognizer.points.begin(), recognizer.points.end(),
                       [](const TouchPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}

void TrackpadClickMonitor::press(const InputEvent& event) {
    // Only a touchpad's own button produces a press we attribute.
    if (!event.isTouchSubtype) return;

    // A new press abandons an unfinished one without a click, and clears its
    // time so the recognizer keeps no stale press.
    if (pressedDevice_) {
        pendingRelease_.cancel();
        pendingRelease_ = TimerHandle();
        const auto pending = recognizers.find(*pressedDevice_);
        if (pending != recognizers.end()) pending->second.downTime.reset();
        pressedDevice_.reset();
        pressedButton_.reset();
    }

    // The trackpad touched most recently made the press.
    std::vector<std::pair<DeviceId, double>> order(frameTimes.begin(), frameTimes.end());
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.second > b.second; });

    const double now = now_();
    for (const auto& [device, time] : order) {
        const auto it = recognizers.find(device);
        if (it == recognizers.end() || !canClaim(it->second, now)) continue;
        TrackpadClickRecognizer& recognizer = it->second;
        recognizer.hasClaimedContactSession = true;
        recognizer.press(now);
        pressedDevice_ = device;
        pressedButton_ = event.mouseButton;
        return;
    }
}

void TrackpadClickMonitor::release(const InputEvent& event) {
    if (!pressedDevice_ || !pressedButton_ || *pressedButton_ != event.mouseButton) return;
    // The recognizer sees the time of the release, not of the resolution.
    const double releaseTime = now_();
    const DeviceId device = *pressedDevice_;
    // The button and the contact frames come in one ordered stream, so the
    // frames of the press are in: from here the finger is leaving the pad,
    // and sliding as it rolls off is no drag. A finger landing still counts.
    if (const auto it = recognizers.find(device); it != recognizers.end()) it->second.released = true;
    pendingRelease_.cancel();
    // Cancelled by the destructor, so the callback never outlives the monitor.
    pendingRelease_ = services_.scheduler.after(kReleaseDelay, nullptr,
                                                [this, device, releaseTime] { resolveRelease(device, releaseTime); });
}

void TrackpadClickMonitor::resolveRelease(DeviceId device, double releaseTime) {
    pendingRelease_ = TimerHandle();
    if (!pressedDevice_ || *pressedDevice_ != device) return;
    const auto it = recognizers.find(device);
    if (it == recognizers.end()) return;
    const std::optional<GestureDescriptor> gesture = it->second.resolve(releaseTime);
    pressedDevice_.reset();
    pressedButton_.reset();
    if (!gesture) return;
    const auto context = contexts.find(device);
    if (context == contexts.end()) return;
    // A copy: the handler may reset the monitor's tables.
    const GestureSessionContext sessionContext = context->second;
    if (onClick_) onClick_(*gesture, sessionContext);
}

}  // namespace glidra
