#pragma once

#include "platform/SystemPower.h"

namespace glidra::sim {

// Answers sleep requests at once, as the test says, and counts them.
class SimSystemPower final : public SystemPower {
public:
    QCoro::Task<SleepResult> sleep() override {
        ++requests_;
        co_return result_;
    }
    void setResult(SleepResult result) { result_ = result; }
    int requests() const { return requests_; }

private:
    SleepResult result_ = SleepResult::sleeping;
    int requests_ = 0;
};

}  // namespace glidra::sim
