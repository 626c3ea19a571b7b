#pragma once

#include "platform/PointerControl.h"

#include <set>
#include <vector>

namespace glidra::sim {

// A pointer the test places and reads back. Warps are recorded and move it;
// holds are kept per device. Reading, warping and holding fail on demand, and
// a hold can be taken without being kept (the device let go at once).
class SimPointerControl final : public PointerControl {
public:
    std::optional<QPointF> location() override {
        if (!readable_) return std::nullopt;
        return location_;
    }
    bool warp(QPointF location) override {
        if (!warpable_) return false;
        location_ = location;
        warps_.push_back(location);
        return true;
    }
    bool holdMotion(MultitouchDevice device) override {
        if (holdFails_) return false;
        ++holdCalls_;
        if (!holdNotKept_) held_.insert(device);
        return true;
    }
    void releaseMotion(MultitouchDevice device) override {
        ++releaseCalls_;
        held_.erase(device);
    }
    bool isHoldingMotion(MultitouchDevice device) const override { return held_.contains(device); }

    // The user moved the pointer.
    void moveTo(QPointF location) { location_ = location; }
    void setReadable(bool readable) { readable_ = readable; }
    void setWarpable(bool warpable) { warpable_ = warpable; }
    void setHoldFails(bool fails) { holdFails_ = fails; }
    void setHoldNotKept(bool notKept) { holdNotKept_ = notKept; }

    const std::vector<QPointF>& warps() const { return warps_; }
    int heldCount() const { return int(held_.size()); }
    int holdCalls() const { return holdCalls_; }
    int releaseCalls() const { return releaseCalls_; }

private:
    QPointF location_{640, 400};
    bool readable_ = true;
    bool warpable_ = true;
    bool holdFails_ = false;
    bool holdNotKept_ = false;
    std::set<MultitouchDevice> held_;
    std::vector<QPointF> warps_;
    int holdCalls_ = 0;
    int releaseCalls_ = 0;
};

}  // namespace glidra::sim
