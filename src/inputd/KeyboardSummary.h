#pragma once

#include <linux/input.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace glidra::inputd {

// What the client may learn of the keyboards: the modifiers held, that a key
// went down (which only for a few keys that type nothing: Escape, Tab, Left,
// Right, Return, keypad Enter), the Caps Lock state. Key codes stay here.
class KeyboardSummary {
public:
    enum Modifier : unsigned { shift = 1u << 0, control = 1u << 1, alt = 1u << 2, super = 1u << 3 };

    // The messages one event of one keyboard gives ("modifiers <bits>",
    // "press", "press <name>", "capslock <0|1>"), empty when it changes nothing the client sees.
    std::vector<std::string> feed(int keyboard, const input_event& event);
    // A keyboard gone: what it held is no longer held.
    std::vector<std::string> forget(int keyboard);
    // The keyboard's state when the service opened it.
    void seed(int keyboard, const std::vector<std::uint16_t>& heldKeys, bool capsLock);
    // The messages that bring a new client up to date.
    std::vector<std::string> current() const;

    unsigned modifiers() const;
    bool capsLock() const { return capsLock_; }

private:
    std::map<int, std::map<std::uint16_t, bool>> held_;  // modifier keys held, per keyboard
    bool capsLock_ = false;
};

}  // namespace glidra::inputd
