#pragma once

#include "common/Completion.h"
#include "platform/KeyboardBacklight.h"
#include "platform/Scheduler.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

namespace glidra {

// Switches the keyboard backlights off for the cleaning mode, keeps them off
// when the system lights them up again, and puts the previous levels back.
// Owned by the keyboard lock; main thread only.
//
// The backlight answers without blocking, so each step goes on when its
// answer comes; an end() meanwhile wins, and a keyboard darkened after it is
// put back as well.
class CleaningKeyboardBacklight final : public QObject {
    Q_OBJECT

public:
    static constexpr double kHoldInterval = 0.15;

    CleaningKeyboardBacklight(KeyboardBacklight& backlight, Scheduler& scheduler, QObject* parent = nullptr);
    ~CleaningKeyboardBacklight() override;

    // Darkens every keyboard whose level can be read; nothing when already
    // started or holding. When no keyboard could be darkened, nothing is
    // held.
    void begin();
    // Stops holding and restores the recorded levels.
    void end();
    // Resumes once every restore under way has its answer, also one that
    // outlives this object.
    QCoro::Task<void> restored();

    // Some keyboard was darkened and waits for its level to come back.
    bool isHolding() const { return !recorded_.empty(); }

private:
    struct Recorded {
        KeyboardBacklightId keyboard = 0;
        float level = 0;
    };
    enum class Phase { idle, darkening, holding };

    QCoro::Task<void> darken(std::uint64_t run);
    void scheduleHold();
    QCoro::Task<void> hold(std::uint64_t run);
    // The restores under way and who waits for them; shared with the
    // restores themselves, which may outlive this object.
    struct Restores {
        int running = 0;
        std::vector<Completion<bool>> waiting;
    };
    void startRestore(std::vector<Recorded> recorded);
    static QCoro::Task<void> restore(KeyboardBacklight& backlight, std::vector<Recorded> recorded,
                                     std::shared_ptr<Restores> restores);

    KeyboardBacklight& backlight_;
    Scheduler& scheduler_;
    Phase phase_ = Phase::idle;
    // Counts begin() and end(); work of an earlier run stops when it sees a
    // newer one.
    std::uint64_t run_ = 0;
    std::vector<Recorded> recorded_;
    TimerHandle holdTimer_;
    std::shared_ptr<Restores> restores_ = std::make_shared<Restores>();
};

}  // namespace glidra
