#include "platform/linux/EvdevInputTranslator.h"

#include "platform/evdev/OwnVirtualDevice.h"
#include "platform/linux/KeyCodeTranslation.h"

#include <linux/input-event-codes.h>

namespace glidra::linux_platform {

namespace {

using Type = InputEvent::Type;

// Wheel units per detent, which is also what the program's scrolls count.
constexpr std::int32_t kWheelStep = 120;

unsigned buttonBit(std::uint16_t code) { return 1u << unsigned(code - BTN_MOUSE); }

bool isMouseButton(std::uint16_t code) { return code >= BTN_MOUSE && code <= BTN_TASK; }

bool isTouchTool(std::uint16_t code) {
    return code == BTN_TOUCH || (code >= BTN_TOOL_PEN && code <= BTN_TOOL_QUADTAP) || code == BTN_TOOL_QUINTTAP;
}

Type buttonType(std::uint16_t code, bool down) {
    switch (code) {
        case BTN_LEFT:
            return down ? Type::leftMouseDown : Type::leftMouseUp;
        case BTN_RIGHT:
            return down ? Type::rightMouseDown : Type::rightMouseUp;
        default:
            return down ? Type::otherMouseDown : Type::otherMouseUp;
    }
}

std::int32_t buttonNumber(std::uint16_t code) {
    switch (code) {
        case BTN_LEFT:
            return 0;
        case BTN_RIGHT:
            return 1;
        case BTN_MIDDLE:
            return 2;
        default:
            return std::int32_t(code - BTN_MOUSE);
    }
}

}  // namespace

bool EvdevInputTranslator::isKeyboardKey(std::uint16_t code) { return evdev::isKeyboardKeyCode(code); }

void EvdevInputTranslator::setInitialState(const void* id, const std::vector<std::uint16_t>& heldKeys, bool capsLock) {
    State& state = states_[id];
    state = State{};
    state.capsLock = capsLock;
    for (const std::uint16_t code : heldKeys) {
        if (key_codes::modifierFlag(code) != 0) pressModifier(state, code, true);
        if (isMouseButton(code)) state.buttons |= buttonBit(code);
    }
}

void EvdevInputTranslator::forget(const void* id) { states_.erase(id); }

void EvdevInputTranslator::pressModifier(State& state, std::uint16_t code, bool down) {
    state.modifierKeys[code] = down;
    state.modifiers = 0;
    for (const auto& [key, held] : state.modifierKeys) {
        if (held) state.modifiers |= key_codes::modifierFlag(key);
    }
}

std::uint64_t EvdevInputTranslator::flags() const {
    std::uint64_t flags = 0;
    for (const auto& [id, state] : states_) {
        flags |= state.modifiers;
        if (state.capsLock) flags |= key_codes::kCapsLockFlag;
    }
    return flags;
}

bool EvdevInputTranslator::anyButtonHeld(unsigned mask) const {
    for (const auto& [id, state] : states_) {
        if (state.buttons & mask) return true;
    }
    return false;
}

ObservedInput EvdevInputTranslator::make(const Source& source, InputEvent::Type type,
                                         const evdev::EvdevEvent& raw) const {
    ObservedInput observed;
    observed.event.type = type;
    observed.event.origin = EventOrigin::hardware;
    observed.event.sourceProcessId = 0;
    observed.event.flags = flags();
    observed.devnode = source.devnode;
    observed.classes = source.classes;
    observed.type = raw.type;
    observed.code = raw.code;
    observed.value = raw.value;
    return observed;
}

void EvdevInputTranslator::translate(const Source& source, const std::vector<evdev::EvdevEvent>& packet,
                                     bool wantMotion, std::vector<ObservedInput>& out) {
    State& state = states_[source.id];
    const bool keyboard = hasClass(source.classes, InputDeviceClass::keyboard);
    const bool touchpad = hasClass(source.classes, InputDeviceClass::touchpad);
    const bool pointing = touchpad || hasClass(source.classes, InputDeviceClass::pointer);

    std::int32_t dx = 0;
    std::int32_t dy = 0;
    bool absoluteMoved = false;
    std::int32_t wheel = 0;
    std::int32_t hwheel = 0;
    bool hiResWheel = false;
    bool hiResHwheel = false;
    evdev::EvdevEvent motion;
    evdev::EvdevEvent scroll;

    for (const evdev::EvdevEvent& raw : packet) {
        switch (raw.type) {
            case EV_KEY: {
                const bool down = raw.value != 0;
                if (keyboard && isKeyboardKey(raw.code)) {
                    const std::uint16_t keyCode = key_codes::virtualKeyCode(raw.code).value_or(kUnknownKeyCode);
                    if (key_codes::modifierFlag(raw.code) != 0 || raw.code == KEY_CAPSLOCK) {
                        if (raw.value == 2) break;  // a held modifier changes nothing
                        if (raw.code != KEY_CAPSLOCK) pressModifier(state, raw.code, down);
                        ObservedInput observed = make(source, Type::flagsChanged, raw);
                        observed.event.keyCode = keyCode;
                        out.push_back(std::move(observed));
                        break;
                    }
                    ObservedInput observed = make(source, down ? Type::keyDown : Type::keyUp, raw);
                    observed.event.keyCode = keyCode;
                    out.push_back(std::move(observed));
                } else if (pointing && isMouseButton(raw.code)) {
                    if (raw.value == 2) break;
                    if (down) {
                        state.buttons |= buttonBit(raw.code);
                    } else {
                        state.buttons &= ~buttonBit(raw.code);
                    }
                    ObservedInput observed = make(source, buttonType(raw.code, down), raw);
                    observed.event.mouseButton = buttonNumber(raw.code);
                    observed.event.isTouchSubtype = touchpad;
                    out.push_back(std::move(observed));
                } else if (touchpad && isTouchTool(raw.code)) {
                    if (down) {
                        state.tools.insert(raw.code);
                    } else {
                        state.tools.erase(raw.code);
                    }
                }
                break;
            }
            case EV_LED:
                if (raw.code == LED_CAPSL) state.capsLock = raw.value != 0;
                break;
            case EV_REL:
                if (!pointing) break;
                switch (raw.code) {
                    case REL_X:
                        dx += raw.value;
                        motion = raw;
                        break;
                    case REL_Y:
                        dy += raw.value;
                        motion = raw;
                        break;
                    case REL_WHEEL:
                        if (!hiResWheel) wheel += raw.value * kWheelStep;
                        scroll = raw;
                        break;
                    case REL_HWHEEL:
                        if (!hiResHwheel) hwheel += raw.value * kWheelStep;
                        scroll = raw;
                        break;
                    case REL_WHEEL_HI_RES:
                        if (!hiResWheel) wheel = 0;
                        hiResWheel = true;
                        wheel += raw.value;
                        scroll = raw;
                        break;
                    case REL_HWHEEL_HI_RES:
                        if (!hiResHwheel) hwheel = 0;
                        hiResHwheel = true;
                        hwheel += raw.value;
                        scroll = raw;
                        break;
                    default:
                        break;
                }
                break;
            case EV_ABS:
                if (touchpad && (raw.code == ABS_X || raw.code == ABS_Y)) {
                    absoluteMoved = true;
                    motion = raw;
                }
                break;
            default:
                break;
        }
    }

    if (wantMotion && (dx != 0 || dy != 0 || (absoluteMoved && !state.tools.empty()))) {
        const bool dragging = anyButtonHeld(buttonBit(BTN_LEFT));
        ObservedInput observed = make(source, dragging ? Type::leftMouseDragged : Type::mouseMoved, motion);
        out.push_back(std::move(observed));
    }
    if (wheel != 0 || hwheel != 0) {
        ObservedInput observed = make(source, Type::scrollWheel, scroll);
        observed.event.scrollDeltaY = wheel;
        // The kernel counts to the right; the program's horizontal wheel to the left.
        observed.event.scrollDeltaX = -hwheel;
        out.push_back(std::move(observed));
    }
}

}  // namespace glidra::linux_platform
