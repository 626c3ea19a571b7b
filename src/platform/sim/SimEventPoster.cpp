#include "platform/sim/SimEventPoster.h"

#include "platform/sim/SimEventTap.h"

namespace glidra::sim {

bool SimEventPoster::privateEventSource() {
    if (source_ == SourceState::notCreated) {
        ++sourceCreationAttempts_;
        source_ = sourceCreationFails_ ? SourceState::failed : SourceState::created;
    }
    return source_ == SourceState::created;
}

bool SimEventPoster::create() {
    if (eventCreationFails_) return false;
    if (failuresLeft_ > 0) {
        if (succeedBeforeFailure_ > 0) {
            --succeedBeforeFailure_;
        } else {
            --failuresLeft_;
            return false;
        }
    }
    ++eventsMade_;
    return true;
}

InputEvent SimEventPoster::ownEvent(InputEvent::Type type) {
    InputEvent event;
    event.type = type;
    event.origin = EventOrigin::ownProcess;
    return event;
}

std::optional<InputEvent> SimEventPoster::makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) {
    if (!privateEventSource()) return std::nullopt;
    return makeSystemStateKeyboardEvent(keyCode, keyDown);
}

std::optional<InputEvent> SimEventPoster::makeSystemStateKeyboardEvent(std::uint16_t keyCode, bool keyDown) {
    if (!create()) return std::nullopt;
    InputEvent event = ownEvent(keyDown ? InputEvent::Type::keyDown : InputEvent::Type::keyUp);
    event.keyCode = keyCode;
    return event;
}

std::optional<QPointF> SimEventPoster::pointerLocation() {
    if (!create()) return std::nullopt;
    return pointer_;
}

std::optional<InputEvent> SimEventPoster::makeMouseEvent(InputEvent::Type type, QPointF location, std::int32_t button) {
    if (!create()) return std::nullopt;
    InputEvent event = ownEvent(type);
    event.location = location;
    event.mouseButton = button;
    return event;
}

std::optional<InputEvent> SimEventPoster::makeScrollWheelEvent(std::int32_t vertical, std::int32_t horizontal) {
    if (!create()) return std::nullopt;
    InputEvent event = ownEvent(InputEvent::Type::scrollWheel);
    event.scrollDeltaY = vertical;
    event.scrollDeltaX = horizontal;
    return event;
}

std::optional<InputEvent> SimEventPoster::makeSystemDefinedEvent(std::uint64_t flags, std::int32_t subtype,
                                                                 std::int64_t data1, std::int64_t data2) {
    if (!create()) return std::nullopt;
    InputEvent event = ownEvent(InputEvent::Type::systemDefined);
    event.flags = flags;
    event.subtype = subtype;
    event.data1 = data1;
    event.data2 = data2;
    return event;
}

void SimEventPoster::post(const InputEvent& event) {
    posted_.push_back(event);
    if (taps_) taps_->deliver(event);
}

}  // namespace glidra::sim
