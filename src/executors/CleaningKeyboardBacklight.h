#pragma once

#include "platform/KeyboardBacklight.h"
#include "platform/Scheduler.h"

#include <QObject>

#include <functional>

namespace glidra {

// Switches the keyboard backlights off for the cleaning mode, keeps them off
// when the system lights them up again, and puts the previous levels back.
// Owned by the keyboard lock; main thread only.
class CleaningKeyboardBacklight final : public QObject {
    Q_OBJECT

public:
    static constexpr double kHoldInterval = 0.15;

    CleaningKeyboardBacklight(KeyboardBacklight& backlight, Scheduler& scheduler, QObject* parent = nullptr);
    ~CleaningKeyboardBacklight() override;

    // Darkens every keyboard whose level can be read; nothing when already
    // holding or when no keyboard could be darkened.
    void begin();
    // Stops holding and restores the recorded levels.
    void end();

    bool isHolding() const { return static_cast<bool>(restoreLevels_); }

private:
    struct Recorded {
        KeyboardBacklightId keyboard = 0;
        float level = 0;
    };
    void scheduleHold(std::vector<Recorded> recorded);
    void hold(const std::vector<Recorded>& recorded);

    KeyboardBacklight& backlight_;
    Scheduler& scheduler_;
    std::function<void()> restoreLevels_;
    TimerHandle holdTimer_;
};

}  // namespace glidra
