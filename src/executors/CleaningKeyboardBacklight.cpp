#include "executors/CleaningKeyboardBacklight.h"

#include "platform/LogCategories.h"

#include <QLoggingCategory>
#include <QPointer>

#include <cmath>

namespace glidra {

CleaningKeyboardBacklight::CleaningKeyboardBacklight(KeyboardBacklight& backlight, Scheduler& scheduler,
                                                     QObject* parent)
    : QObject(parent), backlight_(backlight), scheduler_(scheduler) {}

CleaningKeyboardBacklight::~CleaningKeyboardBacklight() { holdTimer_.cancel(); }

void CleaningKeyboardBacklight::begin() {
    if (phase_ != Phase::idle) return;
    phase_ = Phase::darkening;
    auto darkening = darken(++run_);
    Q_UNUSED(darkening);
}

void CleaningKeyboardBacklight::end() {
    holdTimer_.cancel();
    holdTimer_ = {};
    ++run_;
    phase_ = Phase::idle;
    if (recorded_.empty()) return;
    startRestore(std::exchange(recorded_, {}));
}

void CleaningKeyboardBacklight::startRestore(std::vector<Recorded> recorded) {
    auto restoring = restore(backlight_, std::move(recorded), restores_);
    Q_UNUSED(restoring);
}

QCoro::Task<void> CleaningKeyboardBacklight::restored() {
    const std::shared_ptr<Restores> restores = restores_;
    if (restores->running == 0) co_return;
    const Completion<bool> done;
    restores->waiting.push_back(done);
    co_await done;
}

QCoro::Task<void> CleaningKeyboardBacklight::darken(std::uint64_t run) {
    const QPointer<CleaningKeyboardBacklight> self(this);
    auto listing = backlight_.keyboards();
    const auto keyboards = co_await listing;
    if (!self || run != run_) co_return;
    for (const KeyboardBacklightId keyboard : keyboards.value_or(std::vector<KeyboardBacklightId>{})) {
        auto reading = backlight_.brightness(keyboard);
        const auto level = co_await reading;
        if (!self || run != run_) co_return;
        if (!level || !std::isfinite(*level) || *level < 0 || *level > 1) continue;
        auto setting = backlight_.setBrightness(keyboard, 0.0f);
        const bool darkened = co_await setting;
        if (!self) co_return;
        if (run != run_) {
            // The cleaning ended while this keyboard went dark: it comes back
            // with the others.
            if (darkened) startRestore({Recorded{keyboard, *level}});
            co_return;
        }
        if (darkened) recorded_.push_back(Recorded{keyboard, *level});
    }
    if (recorded_.empty()) {
        phase_ = Phase::idle;
        co_return;
    }
    phase_ = Phase::holding;
    scheduleHold();
}

// The next check is planned once the last one has its answers, so a slow
// backlight never has checks pile up.
void CleaningKeyboardBacklight::scheduleHold() {
    holdTimer_ = scheduler_.after(kHoldInterval, this, [this] {
        auto holding = hold(run_);
        Q_UNUSED(holding);
    });
}

// The system lights the keyboard on a key press or at ambient changes;
// checking often keeps that to a flash.
QCoro::Task<void> CleaningKeyboardBacklight::hold(std::uint64_t run) {
    const QPointer<CleaningKeyboardBacklight> self(this);
    const std::vector<Recorded> recorded = recorded_;
    for (const Recorded& entry : recorded) {
        auto reading = backlight_.brightness(entry.keyboard);
        const auto level = co_await reading;
        if (!self || run != run_) co_return;
        if (!level || *level <= 0) continue;
        auto darkening = backlight_.setBrightness(entry.keyboard, 0.0f);
        co_await darkening;
        if (!self || run != run_) co_return;
    }
    scheduleHold();
}

// Every level is asked for before the first answer is awaited, so no call
// reaches a backlight that went away meanwhile.
QCoro::Task<void> CleaningKeyboardBacklight::restore(KeyboardBacklight& backlight, std::vector<Recorded> recorded,
                                                     std::shared_ptr<Restores> restores) {
    ++restores->running;
    std::vector<QCoro::Task<bool>> settings;
    settings.reserve(recorded.size());
    for (const Recorded& entry : recorded) settings.push_back(backlight.setBrightness(entry.keyboard, entry.level));
    for (QCoro::Task<bool>& setting : settings) {
        if (!co_await setting) {
            qCCritical(lcActions, "Could not restore keyboard backlight after cleaning mode.");
        }
    }
    if (--restores->running > 0) co_return;
    for (const Completion<bool>& waiting : std::exchange(restores->waiting, {})) waiting.resolve(true);
}

}  // namespace glidra
