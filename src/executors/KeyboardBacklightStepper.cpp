#include "executors/KeyboardBacklightStepper.h"

#include "notices/AccessNotices.h"
#include "platform/AccessibilityTrust.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace glidra {

int KeyboardBacklightStepper::steps(float delta, double now) {
    if (!std::isfinite(delta) || !std::isfinite(now)) return 0;
    float carry = 0;
    if (now >= lastTime_ && now - lastTime_ <= kCarryWindow && delta * residual_ >= 0) carry = residual_;
    lastTime_ = now;
    const float value = std::clamp(delta, -1.0f, 1.0f) + carry;
    const int whole = int(std::trunc(value * float(kStepsPerRange)));
    residual_ = value - float(whole) * kStepSize;
    return whole;
}

void KeyboardBacklightStepper::reset() {
    residual_ = 0;
    lastTime_ = -std::numeric_limits<double>::infinity();
}

std::optional<HUDNotice> KeyboardBacklightStepper::adjust(float change) {
    if (!trust_.isProcessTrusted()) {
        return inputAccessRequiredNotice();
    }
    const int count = steps(change, clock_.uptime());
    if (count == 0) return std::nullopt;
    const ShortcutMediaKey key =
        count > 0 ? ShortcutMediaKey::keyboardBrightnessUp : ShortcutMediaKey::keyboardBrightnessDown;
    for (int i = 0; i < std::abs(count); ++i) {
        const HUDNotice posted = postMediaKey_(key, title(key));
        if (posted.kind == HUDNotice::Kind::error) return posted;
    }
    return HUDNotice{title(key), count > 0 ? QStringLiteral("light.max") : QStringLiteral("light.min"),
                     HUDNotice::Kind::success};
}

}  // namespace glidra
