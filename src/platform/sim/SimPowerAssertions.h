#pragma once

#include "platform/PowerAssertions.h"
#include "platform/sim/SimAnswers.h"

#include <set>

namespace glidra::sim {

// Assertions in memory; taking and releasing can be refused, and answers
// can be held.
class SimPowerAssertions final : public PowerAssertions {
public:
    QCoro::Task<std::optional<PowerAssertionId>> preventIdleDisplaySleep(QString name) override {
        ++createCalls_;
        co_await answers.turn();
        if (createFails_) co_return std::nullopt;
        const PowerAssertionId id = nextId_++;
        held_.insert(id);
        lastName_ = name;
        co_return id;
    }
    QCoro::Task<bool> release(PowerAssertionId assertion) override {
        ++releaseCalls_;
        co_await answers.turn();
        if (releaseFails_ || !held_.contains(assertion)) co_return false;
        held_.erase(assertion);
        co_return true;
    }

    void setCreateFails(bool fails) { createFails_ = fails; }
    void setReleaseFails(bool fails) { releaseFails_ = fails; }

    const std::set<PowerAssertionId>& held() const { return held_; }
    const QString& lastName() const { return lastName_; }
    int createCalls() const { return createCalls_; }
    int releaseCalls() const { return releaseCalls_; }

    SimAnswers answers;

private:
    std::set<PowerAssertionId> held_;
    PowerAssertionId nextId_ = 100;
    QString lastName_;
    bool createFails_ = false;
    bool releaseFails_ = false;
    int createCalls_ = 0;
    int releaseCalls_ = 0;
};

}  // namespace glidra::sim
