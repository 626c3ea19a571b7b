#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace glidra {

namespace platform_detail {
struct CancellationState {
    bool cancelled = false;
    std::uint64_t nextId = 1;
    std::vector<std::pair<std::uint64_t, std::function<void()>>> callbacks;
};
}  // namespace platform_detail

// Observes one CancellationSource. A default token is never cancelled.
// Main-thread only, like everything that awaits.
class CancellationToken {
public:
    CancellationToken() = default;

    bool isCancelled() const { return state_ && state_->cancelled; }

    // Runs `callback` once when the source is cancelled (at once when it
    // already is). Returns an id for unsubscribe(); 0 when nothing was kept.
    std::uint64_t subscribe(std::function<void()> callback) const;
    void unsubscribe(std::uint64_t id) const;

private:
    friend class CancellationSource;
    explicit CancellationToken(std::shared_ptr<platform_detail::CancellationState> state) : state_(std::move(state)) {}
    std::shared_ptr<platform_detail::CancellationState> state_;
};

class CancellationSource {
public:
    CancellationSource() : state_(std::make_shared<platform_detail::CancellationState>()) {}

    CancellationToken token() const { return CancellationToken(state_); }
    bool isCancelled() const { return state_->cancelled; }
    void cancel();

private:
    std::shared_ptr<platform_detail::CancellationState> state_;
};

}  // namespace glidra
