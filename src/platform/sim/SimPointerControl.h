#pragma once

#include "platform/PointerControl.h"

#include <set>
#include <vector>

namespace glidra::sim {

// A pointer the test places and reads back. Warps are recorded and move it;
// holds are kept per device. Reading, warping and holding fail on demand.
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
        held_.insert(device);
        return true;
    }
    void releaseMotion(MultitouchDevice device) override { held_.erase(device); }
    bool isHoldingMotion(MultitouchDevice device) const override { return held_.contains(device); }

    // The user moved the pointer.
    void moveTo(QPointF location) { location_ = location; }
    void setReadable(bool readable) { readable_ = readable; }
    void setWarpable(bool warpable) { warpable_ = warpable; }
    void setHoldFails(bool fails) { holdFails_ = fails; }

    const std::vector<QPointF>& warps() const { return warps_; }
    int heldCount() const { return int(held_.size()); }
    int holdCalls() const { return holdCalls_; }

private:
    QPointF location_{640, 400};
    bool readable_ = true;
    bool warpable_ = true;
    bool holdFails_ = false;
    std::set<MultitouchDevice> held_;
    std::vector<QPointF> warps_;
    int holdCalls_ = 0;
};

}  // namespace glidra::sim
