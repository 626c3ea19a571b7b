#pragma once

#include "gestures/GestureBinding.h"
#include "notices/HUDNotice.h"

#include <QCoro/QCoroTask>

#include <functional>

class QWidget;

namespace glidra {

class AccessibilityTrust;
class Clock;
class ControlSettings;
class DesktopIconsController;
class DesktopIntegration;
class KeepAwakeController;
class KeyboardLockController;
class MicrophoneMuteController;
class FileDialogs;
class KeyEventMonitor;
class KeyboardLayout;
class KeyboardState;
class LoginItems;
class ScenePhase;
class Scheduler;
class ShortcutActionService;
class TrackpadController;
class Workspace;
struct BundleInfo;

// Runs one action on its own, as a gesture would, and gives the notice that
// describes the result; the caller decides whether the notice is shown.
using PerformGestureAction = std::function<QCoro::Task<HUDNotice>(GestureBinding)>;

// The shared objects and ports every view works with, built once by the
// shell and handed to each view at construction. Views keep references from
// it: no copies, no global lookups. Everything referenced outlives every
// view. It names nothing of the shell, so views build and test without it.
struct ViewContext {
    ControlSettings& settings;
    TrackpadController& controller;
    Workspace& workspace;
    const AccessibilityTrust& accessibilityTrust;
    LoginItems& loginItems;
    const Clock& clock;
    Scheduler& scheduler;
    FileDialogs& fileDialogs;
    const BundleInfo& bundle;
    ScenePhase& scenePhase;
    // The system controllers whose lasting effects the tray menu undoes.
    KeyboardLockController& keyboardLock;
    KeepAwakeController& keepAwake;
    MicrophoneMuteController& microphone;
    DesktopIconsController& desktopIcons;
    // What the action configuration views use: the keys and the layout
    // for the shortcut recorder, the list of shortcuts, and the dispatcher
    // for a preview or a test open.
    KeyEventMonitor& keyEvents;
    const KeyboardState& keyboard;
    const KeyboardLayout& keyboardLayout;
    ShortcutActionService& shortcuts;
    PerformGestureAction performGestureAction;
    // The desktop's own gestures and the program's companion inside it.
    DesktopIntegration& desktop;
    // The shell's software-update section, which the general page places
    // last; a new widget per call, owned by whoever places it. Empty: the
    // page has none.
    std::function<QWidget*()> makeUpdateSettings;
};

}  // namespace glidra
