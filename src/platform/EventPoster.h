#pragma once

#include "platform/InputEvent.h"

#include <QPointF>

#include <cstdint>
#include <optional>

namespace glidra {

// Builds and posts synthesised input events at the HID level, ahead of every
// event tap of the session, so our own taps see what we post.
//
// Events keep the stored encoding (the stored key codes, flag bits, button
// numbers); the Linux adapter translates at the edge. It posts the modifier
// the application switcher holds (stored key 55, marked "GLCMDTAB") as the
// desktop's own switcher key, Alt, so that the switcher runs on Alt+Tab.
//
// Every event made here comes with the origin of our own process; the caller
// adds the marker. Creating an event can fail (the system refuses synthesised
// input); every make function then gives nothing.
class EventPoster {
public:
    virtual ~EventPoster() = default;

    // The one private-state event source of the process: created on the first
    // call; when that fails, this and every later call give false (it is not
    // tried again).
    virtual bool privateEventSource() = 0;

    // A keyboard event from the private source with no flags set, or nothing
    // when the event cannot be made.
    virtual std::optional<InputEvent> makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) = 0;

    // A keyboard event from the HID-system-state source, which combines with
    // the keys the user holds (the application switcher's source), with no
    // flags set.
    virtual std::optional<InputEvent> makeSystemStateKeyboardEvent(std::uint16_t keyCode, bool keyDown) = 0;

    // Where the pointer is now, in global display points with the origin at
    // the top left. Read from an empty event, so it can fail like creating one.
    virtual std::optional<QPointF> pointerLocation() = 0;

    // A mouse-button event at `location`: `type` is one of the button down
    // and up types, `button` 0 for left, 1 for right, 2 for the centre button.
    // No flags, click state 0.
    virtual std::optional<InputEvent> makeMouseEvent(InputEvent::Type type, QPointF location, std::int32_t button) = 0;

    // A scroll-wheel event in pixels, two wheels: `vertical` (positive scrolls
    // up) and `horizontal` (positive scrolls left). No location, no flags.
    virtual std::optional<InputEvent> makeScrollWheelEvent(std::int32_t vertical, std::int32_t horizontal) = 0;

    // A system-defined event (media and brightness keys) at location (0, 0).
    virtual std::optional<InputEvent> makeSystemDefinedEvent(std::uint64_t flags, std::int32_t subtype,
                                                             std::int64_t data1, std::int64_t data2) = 0;

    // The user's double-click interval in seconds, as the desktop sets it.
    virtual double doubleClickInterval() const = 0;

    // Posts an event to the HID event tap.
    virtual void post(const InputEvent& event) = 0;
};

}  // namespace glidra
