#pragma once

#include "platform/EventPoster.h"

#include <vector>

namespace glidra::sim {

// Records every posted event. The private source and event creation can be
// made to fail, as they can when the system refuses synthesised input.
class SimEventPoster final : public EventPoster {
public:
    bool privateEventSource() override;
    std::optional<InputEvent> makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) override;
    void post(const InputEvent& event) override { posted_.push_back(event); }

    const std::vector<InputEvent>& posted() const { return posted_; }
    void clearPosted() { posted_.clear(); }

    // Takes effect only before the source is first asked for: like the real
    // source, a created one stays and a failed one is never tried again.
    void setSourceCreationFails(bool fails) { sourceCreationFails_ = fails; }
    // While set, makeKeyboardEvent gives nothing.
    void setEventCreationFails(bool fails) { eventCreationFails_ = fails; }
    // Fails the next `count` event creations after `after` successful ones,
    // so the key-up of a stroke can fail after its key-down was made.
    void failEventCreation(int after, int count = 1) {
        succeedBeforeFailure_ = after;
        failuresLeft_ = count;
    }

    int sourceCreationAttempts() const { return sourceCreationAttempts_; }
    int eventsMade() const { return eventsMade_; }

private:
    enum class SourceState { notCreated, created, failed };

    std::vector<InputEvent> posted_;
    SourceState source_ = SourceState::notCreated;
    bool sourceCreationFails_ = false;
    bool eventCreationFails_ = false;
    int succeedBeforeFailure_ = 0;
    int failuresLeft_ = 0;
    int sourceCreationAttempts_ = 0;
    int eventsMade_ = 0;
};

}  // namespace glidra::sim
