#pragma once

namespace glidra {

class AccessibilityTrust;
class Clock;
class ControlSettings;
class LoginItems;
class Scheduler;
class TrackpadController;
class Workspace;

// The shared objects and ports every view works with, built once by the
// composition root and handed to each view at construction. Views keep
// references from it: no copies, no global lookups. Everything referenced
// outlives every view.
struct UiContext {
    ControlSettings& settings;
    TrackpadController& controller;
    Workspace& workspace;
    const AccessibilityTrust& accessibilityTrust;
    LoginItems& loginItems;
    const Clock& clock;
    Scheduler& scheduler;
};

}  // namespace glidra
