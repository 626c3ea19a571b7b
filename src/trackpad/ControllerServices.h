#pragma once

#include "actions/BrowserVideoError.h"
#include "actions/BrowserVideoState.h"
#include "notices/HUDNotice.h"
#include "trackpad/DeviceId.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

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

    // Moves the output volume by `step` (positive is louder); the new level,
    // or nothing when no output can be adjusted.
    virtual std::optional<float> adjustOutputVolume(float step) = 0;
    // Moves the keyboard backlight by `change` of its range; the notice to
    // show, or nothing while the change adds up to less than one step.
    virtual std::optional<HUDNotice> adjustKeyboardBacklight(float change) = 0;

    virtual void cancelWindowScreenshot() = 0;
    virtual bool isApplicationSwitcherOpen() const = 0;
    virtual void endApplicationSwitcher(bool cancel) = 0;
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

    // The position after each seek, or the one error that ends a session.
    using Update = std::variant<BrowserVideoState, BrowserVideoError>;
    using Report = std::function<void(const Update&)>;
    // One step of a slide bound to scrubVideo: `distance` in trackpad widths,
    // positive forward, for the video of `application`. Gathers it into the
    // device's session, starting one when none runs; refused once the session
    // failed, until the next reset.
    virtual void step(DeviceId device, const std::optional<QString>& application, double distance, Report report) = 0;
};

// Opens a Bluetooth connection to the one paired trackpad, when there is one.
class PairedTrackpadConnectorService {
public:
    using TrackpadNameHandler = std::function<void(std::optional<QString> name)>;

    virtual ~PairedTrackpadConnectorService() = default;
    virtual void connect() = 0;
    // Answers with the name of the one paired Bluetooth trackpad while it is
    // not connected, and with nothing otherwise (none paired, several, the
    // list unreadable); not at all once `context` is destroyed.
    virtual void findDisconnectedTrackpad(QObject* context, TrackpadNameHandler handler) = 0;
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

}  // namespace glidra
