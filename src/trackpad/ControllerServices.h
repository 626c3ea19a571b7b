#pragma once

#include "gestures/GestureBinding.h"
#include "gestures/GestureSessionContext.h"
#include "gestures/TouchPoint.h"
#include "trackpad/DeviceId.h"

#include <QString>

#include <vector>

#include <functional>
#include <memory>
#include <optional>

namespace glidra {

// The pieces the trackpad controller drives but does not implement, each
// reduced to the operations the controller uses. The composition root hands
// in the real ones; tests hand in recording fakes.

// The shared action executors, as far as the controller resets or asks them.
class ExecutorServices {
public:
    virtual ~ExecutorServices() = default;

    // Keyboard lock: swallowing key events until unlocked; the cleaning mode
    // is a lock too.
    virtual bool isKeyboardLocked() const = 0;
    virtual bool isKeyboardCleaning() const = 0;
    virtual void stopKeyboardLock() = 0;

    // Mouse drag: the left button held by the drag action.
    virtual bool isMouseDragHeld() const = 0;
    // Lets go of a held button without a HUD notice.
    virtual void releaseMouseDrag() = 0;

    // Forgets the last synthesised click, so the next one starts a new count.
    virtual void resetMouseClickSequence() = 0;
    // Forgets the backlight stepper's carried remainder and last step time.
    virtual void resetKeyboardBacklightStepper() = 0;

    virtual void cancelWindowScreenshot() = 0;
    virtual bool isApplicationSwitcherOpen() const = 0;
    virtual void endApplicationSwitcher(bool cancel) = 0;
};

// Holds the pointer still while a finger adjusts a level along an edge.
class EdgePointerLockService {
public:
    virtual ~EdgePointerLockService() = default;
    // Ends the lock when it is held for `device` (any device when absent);
    // `force` ends it whoever holds it.
    virtual void release(std::optional<DeviceId> device, bool force) = 0;
};

// The browser video scrubber's session state that the frame path steers.
class VideoScrubberService {
public:
    virtual ~VideoScrubberService() = default;
    // Cancels the running session, takes a new token, forgets the device and
    // the pending distance, clears finished and failed.
    virtual void reset() = 0;
    virtual std::optional<DeviceId> device() const = 0;
    virtual void setDevice(std::optional<DeviceId> device) = 0;
    // The contact session of its device has ended.
    virtual void markFinished() = 0;
};

// Opens a Bluetooth connection to the one paired trackpad, when there is one.
class PairedTrackpadConnectorService {
public:
    virtual ~PairedTrackpadConnectorService() = default;
    virtual void connect() = 0;
};

// Keeps listening alive across sleep, wake, device changes and stalls.
class ListenerRecoveryService {
public:
    virtual ~ListenerRecoveryService() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void manualReconnect() = 0;
    virtual void reportListening(bool listening) = 0;
};

// The paths that carry a gesture beyond recognition: continuous adjustments,
// and the edge, video, tab and continuous routing of every frame. The frame
// path and the gesture handler call them in a fixed order; they are built
// with the edge paths.
class GestureRoutingService {
public:
    virtual ~GestureRoutingService() = default;

    // Applies one step of a continuous action (volume, brightness, backlight);
    // `device` engages the edge pointer lock when given.
    virtual void performAdjustment(float step, const GestureBinding& binding, std::optional<DeviceId> device) = 0;

    // True when a one-finger region rule claims the contact session.
    virtual bool edgeRuleRegionHit(DeviceId device, const std::vector<TouchPoint>& contacts,
                                   const GestureSessionContext& context) = 0;
    // One frame of edge routing; `contact` is the single finger's id and
    // position when the frame has exactly one finger of a one-finger session.
    struct SingleContact {
        qint32 id = 0;
        float x = 0;
        float y = 0;
    };
    virtual void routeEdgeGestures(DeviceId device, std::optional<SingleContact> contact) = 0;
    virtual void updateVideoScrub(DeviceId device, const std::vector<TouchPoint>& contacts,
                                  const GestureSessionContext& context) = 0;
    virtual void updateTabSwipe(DeviceId device, const std::vector<TouchPoint>& contacts,
                                const GestureSessionContext& context, double timestamp) = 0;
    virtual void updateContinuousTrackers(DeviceId device, const std::vector<TouchPoint>& contacts,
                                          const GestureSessionContext& context) = 0;
};

}  // namespace glidra
