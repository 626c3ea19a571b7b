#pragma once

#include "platform/EventTap.h"
#include "platform/linux/EvdevInputHub.h"

#include <QObject>

#include <memory>
#include <vector>

namespace glidra::linux_platform {

class UinputEventPoster;

// Event taps over the user's devices. A tap watches the keyboards (for key
// types) and the touchpads and pointing devices (for mouse types) as the hub
// reads them, and is handed our own posted events too, with their markers
// (the poster routes them through here before it writes them, so what comes
// out of our virtual device carries what it was posted with).
//
// Watching alone cannot keep an event from the desktop, so a tap that may
// swallow keys grabs the keyboards while it is enabled: their keys then reach
// only us, and the ones every tap lets pass are passed on through our virtual
// device (a tap's change of flags has no effect: modifiers are the desktop's
// state, not the event's). Pointing devices are grabbed only once a tap has
// swallowed a pointer event (the cleaning mode), and from then on keep their
// events to the program until that tap goes: a touchpad's motion cannot be
// passed on. A grab never outlives a stuck program (the hub's watchdog), and
// when the watchdog lets go, every tap is told it was disabled (timeout).
//
// Through the input service the keyboards and pointers are held at the
// service, and a key it does not name (a letter, a digit) cannot be passed
// on: while a tap holds the keyboards, such keys are the tap's.
class EvdevEventTap final : public QObject, public EventTap {
    Q_OBJECT

public:
    EvdevEventTap(EvdevInputHub& hub, UinputEventPoster& poster, QObject* parent = nullptr);
    ~EvdevEventTap() override;

    // Nothing when no device of the classes the mask needs can be read.
    std::unique_ptr<Installation> install(EventMask mask, EventHandler onEvent, DisabledHandler onDisabled) override;

    // Our own event on its way out: what passed the taps, or nothing.
    std::optional<InputEvent> filterOwnEvent(const InputEvent& event);

    // Every enabled tap is disabled and told so (the session went away).
    void disableAll(DisabledReason reason);

    int installedCount() const { return int(taps_.size()); }

    static constexpr EventMask kKeyTypes =
        maskOf({InputEvent::Type::keyDown, InputEvent::Type::keyUp, InputEvent::Type::flagsChanged});
    static constexpr EventMask kMotionTypes =
        maskOf({InputEvent::Type::mouseMoved, InputEvent::Type::leftMouseDragged});

private:
    struct Entry;
    class EvdevInstallation;

    std::optional<InputEvent> run(const InputEvent& event, Entry** swallowedBy);
    std::optional<InputEvent> filterUserEvent(const ObservedInput& observed);
    void setEnabled(const std::shared_ptr<Entry>& entry, bool enabled);
    void remove(const std::shared_ptr<Entry>& entry);
    void grabClass(const std::shared_ptr<Entry>& entry, InputDeviceClass c);
    void nodeArrived(const InputNode& node);
    void updateMotionWanted();

    EvdevInputHub& hub_;
    UinputEventPoster& poster_;
    std::vector<std::shared_ptr<Entry>> taps_;  // the head of the stream first
};

}  // namespace glidra::linux_platform
