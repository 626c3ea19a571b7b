#pragma once

#include "platform/EventPoster.h"

#include <linux/input-event-codes.h>

#include <functional>
#include <map>
#include <set>
#include <vector>

namespace glidra {
class KeyboardState;
class PointerControl;
}  // namespace glidra

namespace glidra::linux_platform {

class VirtualInputDevice;

// Synthesised input through one virtual device (uinput). Events keep the
// program's encoding until they are written: key codes go through the key
// table, and since a kernel event carries no modifier flags, the modifiers an
// event's flags ask for are pressed on the device around it (down before the
// key or button goes down, up after it rises), except those the user holds
// already. Command is Super; but the application switcher's Command (key 55,
// and the Command flag of its "GLCMDTAB" events) is Alt, the desktop's
// switcher key, so that Command-Tab becomes Alt+Tab.
//
// A click goes where the pointer is: the device cannot aim. Modifier state is
// the desktop's, for all devices together: while the switcher holds Alt, a
// click the user makes arrives as an Alt-click, as it would with Alt held on
// the keyboard (in the switcher that is how a click picks an application).
//
// Posted events pass through the program's event taps first, with their
// markers, as they would through the system's.
class UinputEventPoster final : public EventPoster {
public:
    // The taps a posted event passes through: the event to write, or
    // nothing when a tap swallowed it.
    using Route = std::function<std::optional<InputEvent>(const InputEvent&)>;

    // `userKeyboard` tells which modifiers the user holds; `pointer` where
    // the pointer is.
    UinputEventPoster(VirtualInputDevice& device, const KeyboardState& userKeyboard, PointerControl& pointer);
    // Lets go of every key and button the device still holds.
    ~UinputEventPoster() override;

    UinputEventPoster(const UinputEventPoster&) = delete;
    UinputEventPoster& operator=(const UinputEventPoster&) = delete;

    void routeThrough(Route route) { route_ = std::move(route); }

    bool privateEventSource() override;
    std::optional<InputEvent> makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) override;
    std::optional<InputEvent> makeSystemStateKeyboardEvent(std::uint16_t keyCode, bool keyDown) override;
    std::optional<QPointF> pointerLocation() override;
    std::optional<InputEvent> makeMouseEvent(InputEvent::Type type, QPointF location, std::int32_t button) override;
    std::optional<InputEvent> makeScrollWheelEvent(std::int32_t vertical, std::int32_t horizontal) override;
    std::optional<InputEvent> makeSystemDefinedEvent(std::uint64_t flags, std::int32_t subtype, std::int64_t data1,
                                                     std::int64_t data2) override;
    double doubleClickInterval() const override;
    void post(const InputEvent& event) override;

    // Passes on a user's key that a grab kept from the desktop, as it came.
    void passOn(std::uint16_t type, std::uint16_t code, std::int32_t value);
    // The device holds this key because a user's key went down through it.
    bool passesOnHeld(std::uint16_t code) const { return passedOn_.contains(code); }

    // What the switcher's Command becomes.
    static constexpr std::uint16_t kSwitcherKey = KEY_LEFTALT;
    static constexpr std::uint16_t kCommandKeyCode = 55;

    // The kernel key of one of the program's codes, as this poster writes it.
    static std::optional<std::uint16_t> evdevKeyFor(std::uint16_t keyCode);
    // The modifier keys an event's flags ask for, left-hand ones.
    static std::vector<std::uint16_t> modifierKeysFor(std::uint64_t flags, std::int64_t marker);

private:
    bool deviceReady();
    std::optional<InputEvent> made(InputEvent::Type type);
    void write(const InputEvent& event);
    void press(std::uint16_t code, std::uint64_t flags, std::int64_t marker);
    void lift(std::uint16_t code);
    void key(std::uint16_t code, bool down);
    void sync();

    enum class SourceState { notCreated, created, failed };

    VirtualInputDevice& device_;
    const KeyboardState& userKeyboard_;
    PointerControl& pointer_;
    Route route_;
    SourceState source_ = SourceState::notCreated;
    std::set<std::uint16_t> held_;
    // The modifiers pressed for a key or button while it is down.
    std::map<std::uint16_t, std::vector<std::uint16_t>> pressedFor_;
    std::set<std::uint16_t> passedOn_;
    std::int32_t wheelRemainder_ = 0;
    std::int32_t hwheelRemainder_ = 0;
};

}  // namespace glidra::linux_platform
