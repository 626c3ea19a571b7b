#pragma once

namespace glidra {

class AccessibilityTrust;
class Clock;
class ControlSettings;
class DesktopIconsController;
class KeepAwakeController;
class KeyboardLockController;
class MicrophoneMuteController;
class FileDialogs;
class LoginItems;
class ScenePhase;
class Scheduler;
class TrackpadController;
class UpdateController;
class Workspace;
struct BundleInfo;

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
    UpdateController& updates;
    FileDialogs& fileDialogs;
    const BundleInfo& bundle;
    ScenePhase& scenePhase;
    // The system controllers whose lasting effects the tray menu undoes.
    KeyboardLockController& keyboardLock;
    KeepAwakeController& keepAwake;
    MicrophoneMuteController& microphone;
    DesktopIconsController& desktopIcons;
};

}  // namespace glidra
