#include "executors/CleaningKeyboardBacklight.h"

#include <QLoggingCategory>

#include <cmath>

namespace glidra {

namespace {
Q_LOGGING_CATEGORY(cleaningBacklightLog, "glidra.CleaningBacklight")
}

CleaningKeyboardBacklight::CleaningKeyboardBacklight(KeyboardBacklight& backlight, Scheduler& scheduler,
                                                     QObject* parent)
    : QObject(parent), backlight_(backlight), scheduler_(scheduler) {}

CleaningKeyboardBacklight::~CleaningKeyboardBacklight() { holdTimer_.cancel(); }

void CleaningKeyboardBacklight::begin() {
    if (restoreLevels_) return;
    const auto keyboards = backlight_.keyboards();
    if (!keyboards) return;
    std::vector<Recorded> recorded;
    for (const KeyboardBacklightId keyboard : *keyboards) {
        const auto level = backlight_.brightness(keyboard);
        if (!level || !std::isfinite(*level) || *level < 0 || *level > 1) continue;
        if (backlight_.setBrightness(keyboard, 0.0f)) recorded.push_back(Recorded{keyboard, *level});
    }
    if (recorded.empty()) return;
    scheduleHold(recorded);
    restoreLevels_ = [this, recorded] {
        for (const Recorded& entry : recorded) {
            if (!backlight_.setBrightness(entry.keyboard, entry.level)) {
                qCCritical(cleaningBacklightLog, "Could not restore keyboard backlight after cleaning mode.");
            }
        }
    };
}

void CleaningKeyboardBacklight::end() {
    holdTimer_.cancel();
    holdTimer_ = {};
    if (auto restore = std::move(restoreLevels_)) {
        restoreLevels_ = nullptr;
        restore();
    }
}

void CleaningKeyboardBacklight::scheduleHold(std::vector<Recorded> recorded) {
    holdTimer_ = scheduler_.after(kHoldInterval, this, [this, recorded = std::move(recorded)] {
        hold(recorded);
        scheduleHold(recorded);
    });
}

// The system lights the keyboard on a key press or at ambient changes;
// checking often keeps that to a flash.
void CleaningKeyboardBacklight::hold(const std::vector<Recorded>& recorded) {
    for (const Recorded& entry : recorded) {
        const auto level = backlight_.brightness(entry.keyboard);
        if (level && *level > 0) backlight_.setBrightness(entry.keyboard, 0.0f);
    }
}

}  // namespace glidra
