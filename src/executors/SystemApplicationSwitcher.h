#pragma once

#include "notices/HUDNotice.h"
#include "platform/EventTap.h"
#include "platform/Scheduler.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace glidra {

class AccessibilityTrust;
class EventPoster;
class SystemEvents;

// Opens the desktop's own application switcher and keeps it open while the
// user picks an application with the mouse, the arrow keys or more gestures:
// it holds a synthetic Command, taps Tab, and watches the user's keys and
// clicks through an event tap until the choice is made, cancelled or timed
// out; then it lets Command go. (The Linux poster turns the held Command into
// Alt, the desktop's switcher key.) One session at a time; main thread only.
class SystemApplicationSwitcher final : public QObject {
    Q_OBJECT

public:
    struct Ports {
        EventPoster& poster;
        EventTap& taps;
        const AccessibilityTrust& accessibilityTrust;
        Scheduler& scheduler;
        SystemEvents& systemEvents;
    };

    // What the switcher needs of the trackpad controller.
    struct Host {
        // The controller's `isShowingApplicationSwitcher`, whose every
        // assignment resets the gesture state.
        std::function<void(bool)> setShowing;
        // Shows a notice as the controller's own.
        std::function<void(const HUDNotice&)> presentNotice;
    };

    // Ends an open session, cancelled, when the program terminates.
    explicit SystemApplicationSwitcher(Ports ports, QObject* parent = nullptr);
    ~SystemApplicationSwitcher() override;

    void setHost(Host host) { host_ = std::move(host); }

    // Opens a session, or moves the open one's selection to the next
    // application, and returns the hint.
    //
    // Opening sets the controller's flag, whose gesture-state reset makes the
    // running action drop the notice it would have shown, so an opening
    // session presents its hint itself as well.
    HUDNotice begin();
    // Closes the open session: with `cancel` the switcher is dismissed, else
    // the selected application is activated. Nothing when none is open.
    void end(bool cancel);

    bool isOpen() const { return tap_ != nullptr; }

    static constexpr std::uint16_t kTabKey = 48;
    static constexpr std::uint16_t kCommandKey = 55;
    static constexpr std::uint16_t kEscapeKey = 53;
    static constexpr std::uint16_t kReturnKey = 36;
    static constexpr std::uint16_t kKeypadEnterKey = 76;
    static constexpr std::uint16_t kLeftArrowKey = 123;
    static constexpr std::uint16_t kRightArrowKey = 124;

    // The first Tab waits for the system to see Command held.
    static constexpr double kFirstTabDelay = 0.1;
    // A click in the switcher is left to select its application first.
    static constexpr double kClickDelay = 0.08;
    // The longest a synthetic Command is ever held.
    static constexpr double kTimeout = 20.0;

    static constexpr EventTap::EventMask kTapMask =
        EventTap::maskOf({InputEvent::Type::keyDown, InputEvent::Type::keyUp, InputEvent::Type::flagsChanged,
                          InputEvent::Type::leftMouseUp, InputEvent::Type::rightMouseUp});

private:
    std::optional<InputEvent> handleTapEvent(const InputEvent& event);
    // A marked key down and up, each skipped when it cannot be made.
    void postKeyPress(std::uint16_t keyCode, std::uint64_t flags);
    void postKey(std::uint16_t keyCode, bool keyDown, std::uint64_t flags);

    Ports ports_;
    Host host_;
    std::unique_ptr<EventTap::Installation> tap_;
    TimerHandle timeout_;
    // Replaced whenever a session begins or ends, so that delayed work of an
    // earlier session does nothing.
    std::uint64_t session_ = 0;
};

}  // namespace glidra
