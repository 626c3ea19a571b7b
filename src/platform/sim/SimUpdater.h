#pragma once

#include "platform/Updater.h"

#include <functional>
#include <vector>

namespace glidra::sim {

// An update framework that keeps its two values, records what the program
// asked of it, and queues every notification until the test delivers them,
// as the framework delivers them later on the main queue.
class SimUpdater final : public Updater {
    Q_OBJECT
public:
    explicit SimUpdater(Configuration configuration) : configuration_(std::move(configuration)) {}

    std::optional<QString> start() override;
    bool canCheckForUpdates() const override { return canCheck_; }
    bool automaticallyChecksForUpdates() const override { return automaticChecks_; }
    void setAutomaticallyChecksForUpdates(bool value) override;
    void checkForUpdates() override;

    // --- what the program did --------------------------------------------------

    const Configuration& configuration() const { return configuration_; }
    int startCount() const { return startCount_; }
    int checkCount() const { return checkCount_; }
    // Every value the program wrote to the automatic-check switch.
    const std::vector<bool>& automaticCheckWrites() const { return automaticCheckWrites_; }

    // --- the framework's side -----------------------------------------------------

    // The next start fails with this reason.
    void failStart(QString reason) { startFailure_ = std::move(reason); }
    // Changes made by the framework itself (a check running, its own
    // preferences); notified once delivered.
    void setCanCheck(bool value);
    void setAutomaticChecksByFramework(bool value);
    void findUpdate();
    void findNoUpdate();
    void userChooses(Choice choice);

    std::size_t queuedCount() const { return queue_.size(); }
    // Delivers the notifications queued so far, in order; those they queue
    // wait for the next delivery.
    void deliver();

private:
    void queue(std::function<void()> notification) { queue_.push_back(std::move(notification)); }

    Configuration configuration_;
    bool started_ = false;
    bool canCheck_ = true;
    bool automaticChecks_ = true;
    int startCount_ = 0;
    int checkCount_ = 0;
    std::vector<bool> automaticCheckWrites_;
    std::optional<QString> startFailure_;
    std::vector<std::function<void()>> queue_;
};

// Makes sim updaters and keeps every one made, for tests to count and drive.
class SimUpdaters {
public:
    UpdaterFactory factory();
    const std::vector<SimUpdater*>& made() const { return made_; }
    SimUpdater* last() const { return made_.empty() ? nullptr : made_.back(); }
    // Each updater made from now on fails to start with this reason.
    void failStarts(QString reason) { startFailure_ = std::move(reason); }

private:
    std::vector<SimUpdater*> made_;
    std::optional<QString> startFailure_;
};

}  // namespace glidra::sim
