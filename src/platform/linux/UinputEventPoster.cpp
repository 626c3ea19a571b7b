#include "platform/linux/UinputEventPoster.h"

#include "platform/EventMarkers.h"
#include "platform/KeyboardState.h"
#include "platform/PointerControl.h"
#include "platform/linux/KeyCodeTranslation.h"
#include "platform/linux/VirtualInputDevice.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

using Type = InputEvent::Type;

// The system-defined event of a media key: subtype 8, the key type in the
// upper half of data1 and the state in the byte below (0xA down, 0xB up).
constexpr std::int32_t kMediaKeySubtype = 8;

// The desktop's double-click interval when no desktop tells.
constexpr double kDefaultDoubleClickInterval = 0.4;

constexpr std::int32_t kWheelDetent = 120;

std::optional<std::uint16_t> buttonCode(std::int32_t button) {
    switch (button) {
        case 0:
            return BTN_LEFT;
        case 1:
            return BTN_RIGHT;
        case 2:
            return BTN_MIDDLE;
        default:
            if (button > 2 && BTN_MOUSE + button <= BTN_TASK) return std::uint16_t(BTN_MOUSE + button);
            return std::nullopt;
    }
}

bool isButtonDown(Type type) {
    return type == Type::leftMouseDown || type == Type::rightMouseDown || type == Type::otherMouseDown;
}

bool isButtonUp(Type type) {
    return type == Type::leftMouseUp || type == Type::rightMouseUp || type == Type::otherMouseUp;
}

// Whole detents for the wheels that count only those; the rest waits.
std::int32_t detents(std::int32_t& remainder, std::int32_t amount) {
    remainder += amount;
    const std::int32_t whole = remainder / kWheelDetent;
    remainder -= whole * kWheelDetent;
    return whole;
}

}  // namespace

UinputEventPoster::UinputEventPoster(VirtualInputDevice& device, const KeyboardState& userKeyboard,
                                     PointerControl& pointer)
    : device_(device), userKeyboard_(userKeyboard), pointer_(pointer) {}

UinputEventPoster::~UinputEventPoster() {
    if (held_.empty()) return;
    // Never leave a key of ours down for the desktop.
    const auto held = held_;
    for (const std::uint16_t code : held) key(code, false);
    sync();
}

std::optional<std::uint16_t> UinputEventPoster::evdevKeyFor(std::uint16_t keyCode) {
    if (keyCode == kCommandKeyCode) return kSwitcherKey;
    return key_codes::evdevKeyCode(keyCode);
}

std::vector<std::uint16_t> UinputEventPoster::modifierKeysFor(std::uint64_t flags, std::int64_t marker) {
    std::vector<std::uint16_t> keys;
    for (const std::uint64_t flag :
         {key_codes::kControlFlag, key_codes::kOptionFlag, key_codes::kShiftFlag, key_codes::kCommandFlag}) {
        if ((flags & flag) == 0) continue;
        if (flag == key_codes::kCommandFlag && marker == kApplicationSwitcherEventMarker) {
            keys.push_back(kSwitcherKey);
        } else if (const auto code = key_codes::modifierKey(flag)) {
            keys.push_back(*code);
        }
    }
    return keys;
}

bool UinputEventPoster::deviceReady() { return device_.open(); }

bool UinputEventPoster::privateEventSource() {
    if (source_ == SourceState::notCreated) source_ = deviceReady() ? SourceState::created : SourceState::failed;
    return source_ == SourceState::created;
}

std::optional<InputEvent> UinputEventPoster::made(Type type) {
    if (!deviceReady()) return std::nullopt;
    InputEvent event;
    event.type = type;
    event.origin = EventOrigin::ownProcess;
    return event;
}

std::optional<InputEvent> UinputEventPoster::makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) {
    if (!privateEventSource()) return std::nullopt;
    return makeSystemStateKeyboardEvent(keyCode, keyDown);
}

std::optional<InputEvent> UinputEventPoster::makeSystemStateKeyboardEvent(std::uint16_t keyCode, bool keyDown) {
    auto event = made(keyDown ? Type::keyDown : Type::keyUp);
    if (event) event->keyCode = keyCode;
    return event;
}

std::optional<QPointF> UinputEventPoster::pointerLocation() {
    if (!deviceReady()) return std::nullopt;
    // Where the desktop keeps it to itself, a click still lands at the
    // pointer; the location only groups clicks into double clicks.
    return pointer_.location().value_or(QPointF());
}

std::optional<InputEvent> UinputEventPoster::makeMouseEvent(Type type, QPointF location, std::int32_t button) {
    auto event = made(type);
    if (!event) return std::nullopt;
    event->location = location;
    event->mouseButton = button;
    return event;
}

std::optional<InputEvent> UinputEventPoster::makeScrollWheelEvent(std::int32_t vertical, std::int32_t horizontal) {
    auto event = made(Type::scrollWheel);
    if (!event) return std::nullopt;
    event->scrollDeltaY = vertical;
    event->scrollDeltaX = horizontal;
    return event;
}

std::optional<InputEvent> UinputEventPoster::makeSystemDefinedEvent(std::uint64_t flags, std::int32_t subtype,
                                                                    std::int64_t data1, std::int64_t data2) {
    auto event = made(Type::systemDefined);
    if (!event) return std::nullopt;
    event->flags = flags;
    event->subtype = subtype;
    event->data1 = data1;
    event->data2 = data2;
    return event;
}

double UinputEventPoster::doubleClickInterval() const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return kDefaultDoubleClickInterval;
    return QGuiApplication::styleHints()->mouseDoubleClickInterval() / 1000.0;
}

void UinputEventPoster::post(const InputEvent& event) {
    std::optional<InputEvent> passed = event;
    if (route_) passed = route_(event);
    if (passed && deviceReady()) write(*passed);
}

void UinputEventPoster::write(const InputEvent& event) {
    switch (event.type) {
        case Type::keyDown:
            if (const auto code = evdevKeyFor(event.keyCode)) press(*code, event.flags, event.userData);
            break;
        case Type::keyUp:
            if (const auto code = evdevKeyFor(event.keyCode)) lift(*code);
            break;
        case Type::systemDefined: {
            if (event.subtype != kMediaKeySubtype) break;
            const auto code = key_codes::mediaKeyCode(std::int32_t((event.data1 >> 16) & 0xFFFF));
            const auto state = (event.data1 >> 8) & 0xFF;
            if (!code || (state != 0xA && state != 0xB)) break;
            key(*code, state == 0xA);
            sync();
            break;
        }
        case Type::scrollWheel: {
            // Program: positive scrolls up and left; kernel: up and right.
            const std::int32_t vertical = event.scrollDeltaY;
            const std::int32_t horizontal = -event.scrollDeltaX;
            if (vertical != 0) {
                device_.write(EV_REL, REL_WHEEL_HI_RES, vertical);
                if (const auto whole = detents(wheelRemainder_, vertical)) device_.write(EV_REL, REL_WHEEL, whole);
            }
            if (horizontal != 0) {
                device_.write(EV_REL, REL_HWHEEL_HI_RES, horizontal);
                if (const auto whole = detents(hwheelRemainder_, horizontal)) {
                    device_.write(EV_REL, REL_HWHEEL, whole);
                }
            }
            sync();
            break;
        }
        default:
            if (const auto code = buttonCode(event.mouseButton)) {
                if (isButtonDown(event.type)) press(*code, event.flags, event.userData);
                if (isButtonUp(event.type)) lift(*code);
            }
            // Motion is the user's to make; flag changes come with the keys.
            break;
    }
}

void UinputEventPoster::press(std::uint16_t code, std::uint64_t flags, std::int64_t marker) {
    const std::uint64_t usersModifiers = userKeyboard_.combinedFlags();
    std::vector<std::uint16_t> pressed;
    for (const std::uint16_t modifier : modifierKeysFor(flags, marker)) {
        if (modifier == code || held_.contains(modifier)) continue;
        // The user holds it already; a second press would be let go under
        // the user's finger when ours rises.
        if (modifier != kSwitcherKey && (usersModifiers & key_codes::modifierFlag(modifier)) != 0) continue;
        key(modifier, true);
        pressed.push_back(modifier);
    }
    if (!pressed.empty()) sync();
    key(code, true);
    sync();
    if (!pressed.empty()) {
        auto& list = pressedFor_[code];
        list.insert(list.end(), pressed.begin(), pressed.end());
    }
}

void UinputEventPoster::lift(std::uint16_t code) {
    if (!held_.contains(code)) return;
    key(code, false);
    sync();
    const auto it = pressedFor_.find(code);
    if (it == pressedFor_.end()) return;
    const std::vector<std::uint16_t> modifiers = it->second;
    pressedFor_.erase(it);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) key(*modifier, false);
    sync();
}

void UinputEventPoster::key(std::uint16_t code, bool down) {
    device_.write(EV_KEY, code, down ? 1 : 0);
    if (down) {
        held_.insert(code);
    } else {
        held_.erase(code);
        passedOn_.erase(code);
    }
}

void UinputEventPoster::sync() { device_.write(EV_SYN, SYN_REPORT, 0); }

void UinputEventPoster::passOn(std::uint16_t type, std::uint16_t code, std::int32_t value) {
    if (!deviceReady()) return;
    if (type == EV_KEY) {
        if (value == 0 && !held_.contains(code)) return;
        if (value == 2) {
            device_.write(EV_KEY, code, 2);
        } else {
            key(code, value != 0);
            if (value != 0) passedOn_.insert(code);
        }
    } else {
        device_.write(type, code, value);
    }
    sync();
}

}  // namespace glidra::linux_platform
