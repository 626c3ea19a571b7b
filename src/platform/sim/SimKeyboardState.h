#pragma once

#include "platform/KeyboardState.h"

#include <set>

namespace glidra::sim {

// A keyboard whose combined flags and held keys the test sets.
class SimKeyboardState final : public KeyboardState {
public:
    std::uint64_t combinedFlags() const override { return flags_; }
    bool isKeyDown(std::uint16_t keyCode) const override { return held_.contains(keyCode); }

    void setCombinedFlags(std::uint64_t flags) { flags_ = flags; }
    void press(std::uint16_t keyCode) { held_.insert(keyCode); }
    void release(std::uint16_t keyCode) { held_.erase(keyCode); }
    void releaseAll() { held_.clear(); }

private:
    std::uint64_t flags_ = 0;
    std::set<std::uint16_t> held_;
};

}  // namespace glidra::sim
