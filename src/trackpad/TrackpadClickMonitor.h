#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/GestureSessionContext.h"
#include "gestures/TrackpadClickRecognizer.h"
#include "platform/InputEvent.h"
#include "platform/MouseButtonMonitor.h"
#include "platform/Scheduler.h"
#include "trackpad/DeviceId.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace glidra {

// Turns the system's mouse-button events that a trackpad's physical press
// produces into click gestures of that trackpad, combined with its contact
// frames. It only observes: the system's own click always happens too.
// Main thread only.
class TrackpadClickMonitor {
public:
    using ClickHandler = std::function<void(const GestureDescriptor&, const GestureSessionContext&)>;

    // What the monitor needs of the system: the button events, delays, our
    // own process id (to pass over our synthesised clicks) and the reset of
    // the synthesised clicks' sequence, which every physical press breaks.
    struct Services {
        MouseButtonMonitor& mouseButtons;
        Scheduler& scheduler;
        std::int64_t ownProcessId = 0;
        std::function<void()> resetMouseClickSequence;
    };

    // `now` is the system uptime in seconds. Starts nothing.
    TrackpadClickMonitor(Services services, std::function<double()> now, ClickHandler onClick);
    ~TrackpadClickMonitor();

    TrackpadClickMonitor(const TrackpadClickMonitor&) = delete;
    TrackpadClickMonitor& operator=(const TrackpadClickMonitor&) = delete;

    // Written directly by the frame path for every frame.
    std::map<DeviceId, TrackpadClickRecognizer> recognizers;
    std::map<DeviceId, GestureSessionContext> contexts;
    std::map<DeviceId, double> frameTimes;

    double now() const { return now_(); }

    // Stops first, so monitors are never installed twice, then watches the
    // button events aimed at other applications and at our own windows.
    void start();
    // Removes the monitors and forgets everything (see reset()).
    void stop();
    // Forgets the pending press and every device's tables.
    void reset();
    // Whether a physical press owns the device's contact session.
    bool isPressed(DeviceId device) const;

    // One button event as the monitors deliver it.
    void handleMouseEvent(const InputEvent& event);

    bool isMonitoring() const { return localMonitor_.has_value() || globalMonitor_.has_value(); }
    std::optional<DeviceId> pressedDevice() const { return pressedDevice_; }
    std::optional<int> pressedButton() const { return pressedButton_; }
    bool hasPendingRelease() const { return pendingRelease_.isActive(); }

    // A trackpad whose last frame is older than this at the press did not
    // produce it.
    static constexpr double kFrameRecency = 0.15;
    // The contact frames that come with the release are taken in before the
    // press is resolved.
    static constexpr double kReleaseDelay = 0.045;

private:
    void press(const InputEvent& event);
    void release(const InputEvent& event);
    void resolveRelease(DeviceId device, double releaseTime);
    bool canClaim(const TrackpadClickRecognizer& recognizer, double now) const;

    Services services_;
    std::function<double()> now_;
    ClickHandler onClick_;
    std::optional<MouseButtonMonitor::Token> localMonitor_;
    std::optional<MouseButtonMonitor::Token> globalMonitor_;
    std::optional<DeviceId> pressedDevice_;
    std::optional<int> pressedButton_;
    TimerHandle pendingRelease_;
};

}  // namespace glidra
