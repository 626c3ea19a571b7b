#pragma once

#include "platform/PointerControl.h"
#include "platform/linux/EvdevInputHub.h"

#include <map>

namespace glidra::linux_platform {

// The pointer through Qt where the desktop allows it (X11 tells and moves it;
// a Wayland desktop does neither for a program outside its own windows), and
// a touchpad's motion held by an exclusive grab of its node through the
// hub's grab owner, on the reader's descriptor: the desktop stops seeing the
// pad, so the pointer stays put, while the frames keep coming to us. The
// grab ends the moment the hold does, also while the finger rests on the pad.
class EvdevPointerControl final : public PointerControl {
public:
    explicit EvdevPointerControl(EvdevInputHub& hub) : hub_(hub) {}
    ~EvdevPointerControl() override;

    std::optional<QPointF> location() override;
    bool warp(QPointF location) override;
    // False when the device is no open touchpad or the kernel refuses.
    bool holdMotion(MultitouchDevice device) override;
    void releaseMotion(MultitouchDevice device) override;
    bool isHoldingMotion(MultitouchDevice device) const override { return held_.contains(device); }

private:
    EvdevInputHub& hub_;
    std::map<MultitouchDevice, QByteArray> held_;
};

}  // namespace glidra::linux_platform
