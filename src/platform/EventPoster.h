#pragma once

#include "platform/InputEvent.h"

#include <optional>

namespace glidra {

// Builds and posts synthesised input events at the HID level.
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

    // Posts an event to the HID event tap.
    virtual void post(const InputEvent& event) = 0;
};

}  // namespace glidra
