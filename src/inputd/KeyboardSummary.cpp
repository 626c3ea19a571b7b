#include "inputd/KeyboardSummary.h"

namespace glidra::inputd {

namespace {

unsigned modifierOf(std::uint16_t code) {
    switch (code) {
        case KEY_LEFTSHIFT:
        case KEY_RIGHTSHIFT:
            return KeyboardSummary::shift;
        case KEY_LEFTCTRL:
        case KEY_RIGHTCTRL:
            return KeyboardSummary::control;
        case KEY_LEFTALT:
        case KEY_RIGHTALT:
            return KeyboardSummary::alt;
        case KEY_LEFTMETA:
        case KEY_RIGHTMETA:
            return KeyboardSummary::super;
        default:
            return 0;
    }
}

std::string modifiersMessage(unsigned bits) { return "modifiers " + std::to_string(bits); }

// The keys the program acts on while it holds the keyboards (the keyboard
// lock's double Escape, the switcher's and the drag's keys) are named: they
// type no text. Every other key is only a press.
const char* nameOf(std::uint16_t code) {
    switch (code) {
        case KEY_ESC:
            return "escape";
        case KEY_TAB:
            return "tab";
        case KEY_LEFT:
            return "left";
        case KEY_RIGHT:
            return "right";
        case KEY_ENTER:
            return "return";
        case KEY_KPENTER:
            return "enter";
        default:
            return nullptr;
    }
}

}  // namespace

unsigned KeyboardSummary::modifiers() const {
    unsigned bits = 0;
    for (const auto& [keyboard, keys] : held_) {
        for (const auto& [code, down] : keys) {
            if (down) bits |= modifierOf(code);
        }
    }
    return bits;
}

std::vector<std::string> KeyboardSummary::feed(int keyboard, const input_event& event) {
    std::vector<std::string> out;
    if (event.type == EV_LED && event.code == LED_CAPSL) {
        const bool on = event.value != 0;
        if (on != capsLock_) {
            capsLock_ = on;
            out.push_back(std::string("capslock ") + (on ? "1" : "0"));
        }
        return out;
    }
    if (event.type != EV_KEY || event.code >= BTN_MISC) return out;
    if (modifierOf(event.code) != 0) {
        if (event.value == 2) return out;
        const unsigned before = modifiers();
        held_[keyboard][event.code] = event.value != 0;
        const unsigned after = modifiers();
        if (after != before) out.push_back(modifiersMessage(after));
        return out;
    }
    if (event.value != 1) return out;
    const char* name = nameOf(event.code);
    out.push_back(name ? std::string("press ") + name : std::string("press"));
    return out;
}

std::vector<std::string> KeyboardSummary::forget(int keyboard) {
    const unsigned before = modifiers();
    held_.erase(keyboard);
    const unsigned after = modifiers();
    if (after == before) return {};
    return {modifiersMessage(after)};
}

void KeyboardSummary::seed(int keyboard, const std::vector<std::uint16_t>& heldKeys, bool capsLock) {
    auto& keys = held_[keyboard];
    keys.clear();
    for (std::uint16_t code : heldKeys) {
        if (modifierOf(code) != 0) keys[code] = true;
    }
    if (capsLock) capsLock_ = true;
}

std::vector<std::string> KeyboardSummary::current() const {
    return {modifiersMessage(modifiers()), std::string("capslock ") + (capsLock_ ? "1" : "0")};
}

}  // namespace glidra::inputd
