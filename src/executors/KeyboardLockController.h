#pragma once

#include "executors/CleaningKeyboardBacklight.h"
#include "executors/CleaningScreenCover.h"
#include "notices/HUDNotice.h"
#include "platform/EventTap.h"
#include "platform/Scheduler.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

namespace glidra {

class KeyboardBacklight;
class ScreenCovers;
class SystemEvents;

// Makes the keyboard inert, or runs the cleaning mode: keys, buttons, pointer
// motion and scrolling all swallowed for 30 seconds, every screen black and
// the keyboard backlight dark, so that they can be wiped. Two Escape presses
// within half a second end the cleaning mode early. The lock ends on sleep,
// when the session gives way to another, when the program ends and when the
// system disables the tap, so the user is never left with a dead keyboard.
// One shared instance; main thread only.
class KeyboardLockController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isLocked READ isLocked NOTIFY isLockedChanged)
    Q_PROPERTY(bool isCleaning READ isCleaning NOTIFY isCleaningChanged)

public:
    static constexpr double kCleaningDuration = 30.0;
    // Event timestamps are nanoseconds.
    static constexpr std::uint64_t kDoubleEscapeWindow = 500'000'000;
    static constexpr std::uint16_t kEscapeKeyCode = 53;

    static const EventTap::EventMask kKeyboardMask;
    static const EventTap::EventMask kCleaningMask;

    struct Environment {
        EventTap& eventTap;
        Scheduler& scheduler;
        SystemEvents& systemEvents;
        ScreenCovers& screenCovers;
        KeyboardBacklight& keyboardBacklight;
    };

    explicit KeyboardLockController(Environment environment, QObject* parent = nullptr);
    // Lets go of whatever is held: the program's end is a way out too.
    ~KeyboardLockController() override;

    // Installs the swallowing tap, with the cleaning mode when asked; callers
    // call it only while unlocked.
    HUDNotice lock(bool cleaning);
    // Removes the tap and ends the lock and the cleaning mode, bringing back
    // the screens, the pointer and the backlight. Safe when unlocked.
    void stop();
    void unlock() { stop(); }
    // Resumes once what stop() gave back is in force: the keyboards'
    // backlight levels after a cleaning (the devices are free at once).
    QCoro::Task<void> settled() { return cleaningKeyboardBacklight_->restored(); }
    // Rebuilds the covers for the screens now attached, while cleaning.
    void updateCleaningScreenCover();

    // The keyboard-lock action: locks, or unlocks with a notice.
    HUDNotice toggleKeyboardLock();
    // The cleaning action: replaces a plain lock by the cleaning mode; while
    // cleaning already, changes nothing and repeats the started notice.
    HUDNotice startCleaningMode();

    bool isLocked() const { return isLocked_; }
    bool isCleaning() const { return isCleaning_; }
    const CleaningScreenCover& cleaningScreenCover() const { return *cleaningScreenCover_; }
    const CleaningKeyboardBacklight& cleaningKeyboardBacklight() const { return *cleaningKeyboardBacklight_; }

Q_SIGNALS:
    void isLockedChanged();
    void isCleaningChanged();

private:
    std::optional<InputEvent> handleTapEvent(const InputEvent& event);
    void handleCleaningEscape(std::uint64_t timestamp);
    void setLocked(bool value);
    void setCleaning(bool value);

    Environment environment_;
    bool isLocked_ = false;
    bool isCleaning_ = false;
    TimerHandle cleaningTimer_;
    std::optional<std::uint64_t> lastCleaningEscapePress_;
    std::unique_ptr<EventTap::Installation> tap_;
    std::unique_ptr<CleaningScreenCover> cleaningScreenCover_;
    std::unique_ptr<CleaningKeyboardBacklight> cleaningKeyboardBacklight_;
};

}  // namespace glidra
