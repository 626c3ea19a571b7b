#pragma once

#include "platform/ThreadPriority.h"
#include "platform/sim/SimAnswers.h"

#include <map>
#include <utility>
#include <vector>

namespace glidra::sim {

// Hands out the grant a test chose, and records what was asked.
class SimThreadPriority final : public ThreadPriority {
public:
    // What every thread gets, or one thread.
    void setGrant(Grant grant) { grant_ = std::move(grant); }
    void setGrant(std::int64_t thread, Grant grant) { grants_[thread] = std::move(grant); }
    const std::vector<std::pair<std::int64_t, Request>>& requests() const { return requests_; }

    QCoro::Task<Grant> raise(std::int64_t thread, Request request) override {
        requests_.emplace_back(thread, request);
        co_await answers.turn();
        // A copy: GCC 12 moves from a member named in co_return.
        const auto it = grants_.find(thread);
        Grant grant = it == grants_.end() ? grant_ : it->second;
        co_return grant;
    }

    SimAnswers answers;

private:
    Grant grant_{Grant::Kind::unavailable, 0, QStringLiteral("no service in the simulation")};
    std::map<std::int64_t, Grant> grants_;
    std::vector<std::pair<std::int64_t, Request>> requests_;
};

}  // namespace glidra::sim
