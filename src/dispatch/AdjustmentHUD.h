#pragma once

#include "actions/BrowserVideoState.h"
#include "gestures/EdgeGesture.h"
#include "notices/HUDNotice.h"
#include "notices/HUDPosition.h"

#include <functional>
#include <memory>

namespace glidra {

// The small floating panel that shows action results, adjustment levels and
// video progress. The engine talks to it through this interface; the
// desktop panel implements it, so the core never links a widget toolkit.
// Main thread only.
class AdjustmentHUD {
public:
    virtual ~AdjustmentHUD() = default;

    virtual void show(const HUDNotice& notice) = 0;
    virtual void showAdjustment(EdgeGesture::Side side, float value) = 0;
    virtual void showVideoProgress(const BrowserVideoState& state) = 0;
    virtual void hide() = 0;
};

// What every HUD asks at each presentation; owners pass readers of the shared
// settings, so a change takes effect at the next presentation.
struct AdjustmentHUDSettings {
    std::function<bool()> shouldShow;
    std::function<HUDPosition()> position;
};

using AdjustmentHUDFactory = std::function<std::unique_ptr<AdjustmentHUD>(AdjustmentHUDSettings)>;

}  // namespace glidra
