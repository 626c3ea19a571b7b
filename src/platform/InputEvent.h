#pragma once

#include <QPointF>

#include <cstdint>

namespace glidra {

// Where a synthesised or observed event came from. The Linux adapters cannot
// carry a user-data tag through uinput, so our own events are also known by
// their origin.
enum class EventOrigin {
    hardware,          // a real device of the user
    ownProcess,        // posted by this process
    ownVirtualDevice,  // came back through our uinput device
    otherProcess,
};

// One input event as the program builds, posts and observes it. Key codes and
// modifier flags keep the stored encoding (the stored key codes, 0x100000-style
// flag bits); adapters translate at the edge.
struct InputEvent {
    enum class Type {
        keyDown,
        keyUp,
        flagsChanged,
        systemDefined,  // media and brightness keys
        leftMouseDown,
        leftMouseUp,
        rightMouseDown,
        rightMouseUp,
        otherMouseDown,
        otherMouseUp,
        mouseMoved,
        leftMouseDragged,
        scrollWheel,
        rightMouseDragged,
        otherMouseDragged,
    };

    Type type = Type::keyDown;
    std::uint16_t keyCode = 0;
    std::uint64_t flags = 0;
    std::int64_t userData = 0;  // the source user-data field (marker)
    // Not ours unless the builder says so: an event wrongly taken for our own
    // would be ignored by the typing guard and the click monitor.
    EventOrigin origin = EventOrigin::hardware;
    std::int64_t sourceProcessId = 0;
    // When the event happened, in nanoseconds of the system's uptime.
    std::uint64_t timestamp = 0;

    // key events
    bool isAutoRepeat = false;  // a key-down repeated by a held key

    // systemDefined events
    std::int32_t subtype = 0;
    std::int64_t data1 = 0;
    std::int64_t data2 = 0;

    // mouse and scroll events
    QPointF location;
    std::int64_t clickState = 0;
    std::int32_t mouseButton = 0;
    std::int32_t scrollDeltaX = 0;
    std::int32_t scrollDeltaY = 0;
    bool isTouchSubtype = false;  // a press that the touchpad's button produced

    friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

}  // namespace glidra
