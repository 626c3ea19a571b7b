#include "gestures/ActionDistanceGate.h"

#include <cmath>

namespace glidra {

bool ActionDistanceGate::passes(GestureTrigger stepTrigger, int percent, float delta) {
    if (!std::isfinite(delta)) return false;
    const float start = trigger == stepTrigger ? distance : 0;
    trigger = stepTrigger;
    distance = start + std::fabs(delta);
    // The slack absorbs the rounding of summed steps, so 0.05 + 0.05 + 0.02
    // reaches 12 %.
    return float(percent) / 100.0f <= distance + 0.00001f;
}

}  // namespace glidra
