#pragma once

#include "actions/ShortcutMediaKey.h"
#include "notices/HUDNotice.h"

#include <functional>
#include <limits>
#include <optional>

namespace glidra {

class AccessibilityTrust;
class Clock;

// Turns a continuous change of the keyboard backlight into whole presses of
// the backlight keys: 16 steps span the range, and the part of a step not
// yet sent carries over to a quick next change in the same direction. One
// shared instance; main thread only.
class KeyboardBacklightStepper {
public:
    // Posts one media key with no modifiers; `label` is its success text.
    // Gives the poster's notice.
    using PostMediaKey = std::function<HUDNotice(ShortcutMediaKey key, const QString& label)>;

    static constexpr int kStepsPerRange = 16;
    static constexpr float kStepSize = 0.0625f;
    // A change after a longer pause starts afresh.
    static constexpr double kCarryWindow = 0.4;

    KeyboardBacklightStepper(const AccessibilityTrust& trust, const Clock& clock, PostMediaKey postMediaKey)
        : trust_(trust), clock_(clock), postMediaKey_(std::move(postMediaKey)) {}

    // `change` in whole ranges (1.0 = dark to full), positive is brighter.
    // Nothing while the change adds up to less than one step.
    std::optional<HUDNotice> adjust(float change);
    // Whole steps for `delta` at uptime `now`, keeping the remainder.
    int steps(float delta, double now);
    // Forgets the remainder and the time of the last change.
    void reset();

    float residual() const { return residual_; }

private:
    const AccessibilityTrust& trust_;
    const Clock& clock_;
    PostMediaKey postMediaKey_;
    float residual_ = 0;
    double lastTime_ = -std::numeric_limits<double>::infinity();
};

}  // namespace glidra
