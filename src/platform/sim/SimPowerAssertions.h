#pragma once

#include "platform/PowerAssertions.h"

#include <set>

namespace glidra::sim {

// Assertions in memory; taking and releasing can be refused.
class SimPowerAssertions final : public PowerAssertions {
public:
    std::optional<PowerAssertionId> preventIdleDisplaySleep(const QString& name) override {
        ++createCalls_;
        if (createFails_) return std::nullopt;
        const PowerAssertionId id = nextId_++;
        held_.insert(id);
        lastName_ = name;
        return id;
    }
    bool release(PowerAssertionId assertion) override {
        ++releaseCalls_;
        if (releaseFails_ || !held_.contains(assertion)) return false;
        held_.erase(assertion);
        return true;
    }

    void setCreateFails(bool fails) { createFails_ = fails; }
    void setReleaseFails(bool fails) { releaseFails_ = fails; }
    const std::set<PowerAssertionId>& held() const { return held_; }
    const QString& lastName() const { return lastName_; }
    int createCalls() const { return createCalls_; }
    int releaseCalls() const { return releaseCalls_; }

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
