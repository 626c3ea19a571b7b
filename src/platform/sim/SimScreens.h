#pragma once

#include "platform/Screens.h"

namespace glidra::sim {

// The displays a test connects.
class SimScreens final : public Screens {
public:
    std::vector<ScreenInfo> screens() const override { return screens_; }
    void setScreens(std::vector<ScreenInfo> screens) { screens_ = std::move(screens); }

private:
    std::vector<ScreenInfo> screens_;
};

}  // namespace glidra::sim
