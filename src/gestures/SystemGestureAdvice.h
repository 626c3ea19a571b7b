#pragma once

#include "gestures/GestureRule.h"
#include "platform/DesktopIntegration.h"

#include <QString>

#include <vector>

namespace glidra {

// One warning that a rule's gesture may also set off one of the desktop's
// own touchpad gestures (or the touchpad driver's taps and scrolling), or is
// easy to set off by accident.
struct SystemGestureAdvice {
    // A fixed ASCII identifier ("force-lookup", "three-tap", ...), unique
    // within one list.
    QString id;
    QString risk;
    QString resolution;

    friend bool operator==(const SystemGestureAdvice&, const SystemGestureAdvice&) = default;

    // The warnings for a rule on the running desktop, judged from its
    // gesture, action and required modifiers alone; its enabled flag,
    // application and region play no part.
    static std::vector<SystemGestureAdvice> advice(const GestureRule& rule, SystemGestureDesktop desktop);
};

}  // namespace glidra
