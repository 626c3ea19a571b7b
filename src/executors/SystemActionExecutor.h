#pragma once

#include "actions/GestureAction.h"
#include "notices/HUDNotice.h"

#include <QCoro/QCoroTask>

#include <optional>

namespace glidra {

class ApplicationSwitcher;
class DesktopIconsController;
class DesktopViewLauncher;
class KeepAwakeController;
class KeyboardLockController;
class MicrophoneMuteController;
class SystemPowerAction;
class SystemVolume;
class Workspace;

// The system-level actions: carries out sleep, the file manager, the settings
// application, the emoji picker, hiding the front or the other applications
// and the output-mute notice itself, and hands the rest to the executors that
// own their state. Main thread only.
class SystemActionExecutor {
public:
    // The shared executors it hands actions to; they outlive it.
    struct Executors {
        DesktopViewLauncher& desktopViews;
        KeyboardLockController& keyboardLock;
        DesktopIconsController& desktopIcons;
        KeepAwakeController& keepAwake;
        SystemVolume& volume;
        MicrophoneMuteController& microphone;
        ApplicationSwitcher& applicationSwitcher;
        SystemPowerAction& power;
        Workspace& workspace;
    };

    explicit SystemActionExecutor(Executors executors) : executors_(executors) {}

    // A notice for the system-level actions; nothing for every other action.
    QCoro::Task<std::optional<HUDNotice>> perform(GestureAction action);

    // The desktop's system monitor, where a hung application is ended: the
    // Linux counterpart of a force-quit window.
    HUDNotice openSystemMonitor();

private:
    HUDNotice openFileManager();
    HUDNotice openSystemSettings();
    HUDNotice openEmojiPicker();
    HUDNotice hideFrontApplication();
    HUDNotice hideOtherApplications();

    Executors executors_;
};

}  // namespace glidra
