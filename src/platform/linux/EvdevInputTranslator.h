#pragma once

#include "platform/InputEvent.h"
#include "platform/evdev/EvdevEvent.h"
#include "platform/linux/InputDeviceClass.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace glidra::linux_platform {

// One event of a user's device as the program observes it: in the program's
// encoding, with the kernel event it came from and whether the desktop saw
// it (a grabbed node's events reach only us).
struct ObservedInput {
    InputEvent event;
    QByteArray devnode;
    InputDeviceClasses classes = 0;
    std::uint16_t type = 0;  // the kernel event, for passing it on
    std::uint16_t code = 0;
    std::int32_t value = 0;
    bool grabbed = false;
};

// Turns the kernel's events of the user's keyboards, mice and touchpads into
// the program's input events, one packet (up to SYN_REPORT) at a time:
// keyboard keys become key downs and ups (a key held down repeats as key
// downs), modifier keys flag changes, buttons presses and releases, relative
// motion and the single-touch position of a touchpad pointer movements or
// drags, and wheels scrolls. Modifier flags are the union over every
// keyboard, as the desktop combines them. Used on the reader thread only.
class EvdevInputTranslator {
public:
    // Key codes the program has no code for arrive with this one, so that
    // what swallows every key swallows them too.
    static constexpr std::uint16_t kUnknownKeyCode = 0xFFFF;

    struct Source {
        const void* id = nullptr;
        QByteArray devnode;
        InputDeviceClasses classes = 0;
    };

    // What a node holds when it is opened, as the kernel reports it.
    void setInitialState(const void* id, const std::vector<std::uint16_t>& heldKeys, bool capsLock);
    // The node is closed or gone.
    void forget(const void* id);

    // Appends the packet's events to `out`. Pointer movements are made only
    // when `wantMotion` is set: nothing else needs them.
    void translate(const Source& source, const std::vector<evdev::EvdevEvent>& packet, bool wantMotion,
                   std::vector<ObservedInput>& out);

    // Modifier flags of every keyboard together.
    std::uint64_t flags() const;

    // A keyboard key rather than a button or a tool of a pointing device.
    static bool isKeyboardKey(std::uint16_t code);

private:
    struct State {
        std::uint64_t modifiers = 0;  // flags of the modifier keys held
        std::map<std::uint16_t, bool> modifierKeys;
        bool capsLock = false;
        unsigned buttons = 0;           // bit n: mouse button n held
        std::set<std::uint16_t> tools;  // BTN_TOUCH and the BTN_TOOL_* keys down
    };

    ObservedInput make(const Source& source, InputEvent::Type type, const evdev::EvdevEvent& raw) const;
    void pressModifier(State& state, std::uint16_t code, bool down);
    bool anyButtonHeld(unsigned mask) const;

    std::map<const void*, State> states_;
};

}  // namespace glidra::linux_platform
