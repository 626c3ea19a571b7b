#pragma once

#include "platform/EventPoster.h"

#include <vector>

namespace glidra::sim {

class SimEventTap;

// Records every posted event and, when routed through a sim event tap, sends
// it through the installed taps as the system does. The private source and
// the creation of events can be made to fail, as they can when the system
// refuses synthesised input.
class SimEventPoster final : public EventPoster {
public:
    bool privateEventSource() override;
    std::optional<InputEvent> makeKeyboardEvent(std::uint16_t keyCode, bool keyDown) override;
    std::optional<InputEvent> makeSystemStateKeyboardEvent(std::uint16_t keyCode, bool keyDown) override;
    std::optional<QPointF> pointerLocation() override;
    std::optional<InputEvent> makeMouseEvent(InputEvent::Type type, QPointF location, std::int32_t button) override;
    std::optional<InputEvent> makeScrollWheelEvent(std::int32_t vertical, std::int32_t horizontal) override;
    std::optional<InputEvent> makeSystemDefinedEvent(std::uint64_t flags, std::int32_t subtype, std::int64_t data1,
                                                     std::int64_t data2) override;
    double doubleClickInterval() const override { return doubleClickInterval_; }
    void post(const InputEvent& event) override;

    const std::vector<InputEvent>& posted() const { return posted_; }
    void clearPosted() { posted_.clear(); }

    // Posted events pass through these taps from now on (nothing: no taps).
    void routeThrough(SimEventTap* taps) { taps_ = taps; }

    void setPointerLocation(QPointF location) { pointer_ = location; }
    void setDoubleClickInterval(double seconds) { doubleClickInterval_ = seconds; }

    // Takes effect only before the source is first asked for: like the real
    // source, a created one stays and a failed one is never tried again.
    void setSourceCreationFails(bool fails) { sourceCreationFails_ = fails; }
    // While set, no event can be made and the pointer cannot be read.
    void setEventCreationFails(bool fails) { eventCreationFails_ = fails; }
    // Fails the next `count` event creations after `after` successful ones,
    // so the key-up of a stroke can fail after its key-down was made. Reading
    // the pointer counts as a creation: it reads an empty event.
    void failEventCreation(int after, int count = 1) {
        succeedBeforeFailure_ = after;
        failuresLeft_ = count;
    }

    int sourceCreationAttempts() const { return sourceCreationAttempts_; }
    int eventsMade() const { return eventsMade_; }

private:
    enum class SourceState { notCreated, created, failed };

    // Whether the next creation succeeds; counts it when it does.
    bool create();
    static InputEvent ownEvent(InputEvent::Type type);

    std::vector<InputEvent> posted_;
    SimEventTap* taps_ = nullptr;
    QPointF pointer_{640, 400};
    double doubleClickInterval_ = 0.5;
    SourceState source_ = SourceState::notCreated;
    bool sourceCreationFails_ = false;
    bool eventCreationFails_ = false;
    int succeedBeforeFailure_ = 0;
    int failuresLeft_ = 0;
    int sourceCreationAttempts_ = 0;
    int eventsMade_ = 0;
};

}  // namespace glidra::sim
