#pragma once

#include "actions/GestureAction.h"
#include "dispatch/AdjustmentHUD.h"
#include "notices/HUDNotice.h"
#include "platform/EventTap.h"
#include "platform/Scheduler.h"

#include <QObject>

#include <memory>

namespace glidra {

class Clock;
class EventPoster;
class KeyboardState;
class SystemEvents;

struct MouseDragState {
    bool isHeld = false;  // our synthetic left button is down

    friend bool operator==(const MouseDragState&, const MouseDragState&) = default;
};

// Drags without a finger kept pressed: one gesture presses the left button on
// the user's behalf and keeps it down, pointer movements become drags, and a
// second gesture, Escape, a real click, 30 seconds without movement, sleep or
// the program's end lets it go. Main thread only.
class MouseDragController final : public QObject {
    Q_OBJECT

public:
    struct Ports {
        EventPoster& poster;
        EventTap& taps;
        const KeyboardState& keyboard;
        const Clock& clock;
        Scheduler& scheduler;
        SystemEvents& systemEvents;
    };

    // `hud` is the controller's own, for the releases no action asked for.
    // Lets go before the system sleeps and when the program terminates.
    MouseDragController(Ports ports, std::unique_ptr<AdjustmentHUD> hud, QObject* parent = nullptr);
    ~MouseDragController() override;

    const MouseDragState& state() const { return state_; }

    // mouseHoldLeft, mouseReleaseLeft or mouseToggleDrag.
    HUDNotice perform(GestureAction action);
    // Lets the button go when it is held (a mouse-up at the pointer) and ends
    // the hold's tap and watchdog in any state; shows "已松开鼠标左键" on the
    // own HUD only when the button was held and `notify` is set.
    void release(bool notify);

    static constexpr double kWatchdogInterval = 1.0;
    static constexpr double kIdleRelease = 30.0;  // seconds without pointer movement
    static constexpr std::uint16_t kEscapeKey = 53;

    static constexpr EventTap::EventMask kTapMask =
        EventTap::maskOf({InputEvent::Type::mouseMoved, InputEvent::Type::leftMouseDragged, InputEvent::Type::keyDown,
                          InputEvent::Type::leftMouseDown, InputEvent::Type::leftMouseUp});

private:
    std::optional<InputEvent> handleTapEvent(const InputEvent& event);
    void scheduleWatchdog();
    void watchdogTick();
    // A left-button event at the pointer, marked as ours; nothing when the
    // pointer or the event cannot be read or made.
    std::optional<InputEvent> leftButtonEvent(InputEvent::Type type);

    Ports ports_;
    std::unique_ptr<AdjustmentHUD> hud_;
    MouseDragState state_;
    std::unique_ptr<EventTap::Installation> tap_;
    TimerHandle watchdog_;
    double lastActivity_ = 0;
};

}  // namespace glidra
