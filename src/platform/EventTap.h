#pragma once

#include "platform/InputEvent.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace glidra {

// Intercepts the user's key and mouse events before any application sees
// them: each installed tap may let an event pass, change it or swallow it.
// Events we posted ourselves pass through the taps too, with the marker they
// were posted with (the Linux adapter, whose devices cannot carry a marker,
// restores it for events of our own virtual device).
//
// Handlers run on the main thread, one event at a time. A handler may remove
// its own tap (or any other) while it runs, and may post events, which then
// pass through the taps still installed.
class EventTap {
public:
    // One bit per InputEvent::Type.
    using EventMask = std::uint32_t;
    static constexpr EventMask maskOf(std::initializer_list<InputEvent::Type> types) {
        EventMask mask = 0;
        for (InputEvent::Type type : types) mask |= EventMask(1) << unsigned(type);
        return mask;
    }
    static constexpr bool contains(EventMask mask, InputEvent::Type type) { return (mask >> unsigned(type)) & 1u; }

    // Why the system switched a tap off: it took too long to answer, or the
    // user's input (a secure field, the login window) asked for it.
    enum class DisabledReason { timeout, userInput };

    // The event to pass on (as given or changed), or nothing to swallow it.
    using EventHandler = std::function<std::optional<InputEvent>(const InputEvent&)>;
    // The system disabled the tap: it sees nothing until enabled again.
    using DisabledHandler = std::function<void(DisabledReason)>;

    // One tap in the event stream. Destroying it disables it and takes it out
    // of the stream for good.
    class Installation {
    public:
        virtual ~Installation() = default;
        virtual void setEnabled(bool enabled) = 0;
        virtual bool isEnabled() const = 0;
    };

    virtual ~EventTap() = default;

    // Puts an active tap for the types in `mask` at the head of the session's
    // event stream and enables it; nothing when the system refuses (no access
    // to the input devices).
    // A tap that could not be enabled reports so through isEnabled().
    virtual std::unique_ptr<Installation> install(EventMask mask, EventHandler onEvent, DisabledHandler onDisabled) = 0;
};

}  // namespace glidra
