#include "platform/sim/SimEventPoster.h"

namespace glidra::sim {

bool SimEventPoster::privateEventSource() {
    if (source_ == SourceState::notCreated) {
        ++sourceCreationAttempts_;
        source_ = sourceCreationFails_ ? SourceState::failed : SourceState::created;
    }
    return source_ == SourceState::created;
}

std::optional<InputEvent> SimEventPoster::makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) {
    if (!privateEventSource() || eventCreationFails_) return std::nullopt;
    if (failuresLeft_ > 0) {
        if (succeedBeforeFailure_ > 0) {
            --succeedBeforeFailure_;
        } else {
            --failuresLeft_;
            return std::nullopt;
        }
    }
    ++eventsMade_;
    InputEvent event;
    event.type = keyDown ? InputEvent::Type::keyDown : InputEvent::Type::keyUp;
    event.keyCode = keyCode;
    event.origin = EventOrigin::ownProcess;
    return event;
}

}  // namespace glidra::sim
