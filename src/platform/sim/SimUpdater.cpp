#include "platform/sim/SimUpdater.h"

#include <QPointer>

namespace glidra::sim {

std::optional<QString> SimUpdater::start() {
    ++startCount_;
    if (startFailure_) return startFailure_;
    started_ = true;
    // Observers hear the current values first, like every later change.
    queue([this] { Q_EMIT canCheckForUpdatesChanged(canCheck_); });
    queue([this] { Q_EMIT automaticallyChecksForUpdatesChanged(automaticChecks_); });
    return std::nullopt;
}

void SimUpdater::setAutomaticallyChecksForUpdates(bool value) {
    automaticCheckWrites_.push_back(value);
    automaticChecks_ = value;
    // The framework echoes its own preference back to its observers.
    queue([this, value] { Q_EMIT automaticallyChecksForUpdatesChanged(value); });
}

void SimUpdater::checkForUpdates() { ++checkCount_; }

void SimUpdater::setCanCheck(bool value) {
    canCheck_ = value;
    if (started_) queue([this, value] { Q_EMIT canCheckForUpdatesChanged(value); });
}

void SimUpdater::setAutomaticChecksByFramework(bool value) {
    automaticChecks_ = value;
    if (started_) queue([this, value] { Q_EMIT automaticallyChecksForUpdatesChanged(value); });
}

void SimUpdater::findUpdate() {
    queue([this] { Q_EMIT foundValidUpdate(); });
}

void SimUpdater::findNoUpdate() {
    queue([this] { Q_EMIT foundNoUpdate(); });
}

void SimUpdater::userChooses(Choice choice) {
    queue([this, choice] { Q_EMIT userMadeChoice(choice); });
}

void SimUpdater::deliver() {
    const QPointer<SimUpdater> self(this);
    // What the deliveries queue waits for the next call: a program that
    // answers every echo with a write shows as writes, not as a hang.
    auto due = std::move(queue_);
    queue_.clear();
    for (auto& notification : due) {
        if (!self) return;
        notification();
    }
}

UpdaterFactory SimUpdaters::factory() {
    return [this](const Updater::Configuration& configuration) -> std::unique_ptr<Updater> {
        auto updater = std::make_unique<SimUpdater>(configuration);
        if (startFailure_) updater->failStart(*startFailure_);
        made_.push_back(updater.get());
        return updater;
    };
}

}  // namespace glidra::sim
