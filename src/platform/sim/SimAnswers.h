#pragma once

#include "common/Completion.h"

#include <cstddef>
#include <vector>

namespace glidra::sim {

// When a simulated system answers: at once, or, while answers are held,
// when the test lets them go, as a slow service would. A call awaits its
// turn before it looks at the simulated state, so it answers from the state
// as it stands when released.
class SimAnswers {
public:
    void setHolds(bool holds) { holds_ = holds; }
    // Answers every held call, from the event loop, in the order asked.
    void release() {
        for (const auto& waiting : std::exchange(waiting_, {})) waiting.resolve(true);
    }
    std::size_t held() const { return waiting_.size(); }

    // What a call awaits before answering.
    Completion<bool> turn() {
        Completion<bool> answered;
        if (holds_) {
            waiting_.push_back(answered);
        } else {
            answered.resolve(true);
        }
        return answered;
    }

private:
    bool holds_ = false;
    std::vector<Completion<bool>> waiting_;
};

}  // namespace glidra::sim
