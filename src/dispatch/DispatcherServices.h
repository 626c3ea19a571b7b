#pragma once

#include "actions/GestureAction.h"
#include "actions/ShortcutMediaKey.h"
#include "gestures/GestureBinding.h"
#include "notices/HUDNotice.h"
#include "platform/Cancellation.h"

#include <QCoro/QCoroTask>
#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// The executors the action dispatcher hands actions to, one interface per
// group, each reduced to the entry points the dispatcher calls. The process's
// shared executors implement them; tests may put fakes in their place.

// Synthesised input: the desktop's application switcher, mouse clicks and
// scrolls with their click sequence, the mouse drag and media keys.
class InputActionExecutors {
public:
    virtual ~InputActionExecutors() = default;

    virtual bool isApplicationSwitcherOpen() const = 0;
    // Closes an open session, dismissing the switcher when `cancel` is set.
    virtual void endApplicationSwitcher(bool cancel) = 0;
    // Opens a session, or steps the open one, and gives its hint.
    virtual HUDNotice beginApplicationSwitcher() = 0;
    // The next synthesised click starts a new count.
    virtual void resetMouseClickSequence() = 0;
    // The four clicks and the four scrolls.
    virtual HUDNotice performMouseAction(GestureAction action) = 0;
    // mouseHoldLeft, mouseReleaseLeft and mouseToggleDrag.
    virtual HUDNotice performMouseDrag(GestureAction action) = 0;
    // A recorded shortcut that stands for a media key.
    virtual HUDNotice postMediaKey(std::uint64_t modifiers, const QString& label,
                                   std::optional<ShortcutMediaKey> mediaKey) = 0;
};

// The system-level actions (sleep, keyboard lock and cleaning, keep-awake,
// desktop icons, microphone and output mute, the desktop views, the file
// manager and settings, hiding other applications, the previous application).
// The system action executor implements it.
class SystemActionService {
public:
    virtual ~SystemActionService() = default;
    // A notice for the actions it serves; nothing for every other action.
    virtual QCoro::Task<std::optional<HUDNotice>> perform(GestureAction action) = 0;
};

// Applications and windows: opening the files, folders, web addresses and
// shortcuts that actions name, the on-screen keyboard, the desktop's panels,
// force quit, closing and laying out the front window and the previous
// application.
class ApplicationActionExecutors {
public:
    virtual ~ApplicationActionExecutors() = default;

    // A notice for openFile, openFolder, openURL and runShortcut; nothing for
    // every other action.
    virtual QCoro::Task<std::optional<HUDNotice>> openActionTarget(GestureBinding binding) = 0;
    // Launches the application at `path` (a desktop entry); false when it
    // could not be started.
    virtual QCoro::Task<bool> openApplication(QString path) = 0;
    // True when the on-screen keyboard is shown.
    virtual QCoro::Task<bool> toggleAccessibilityKeyboard(CancellationToken token) = 0;
    // openControlCenter or openNotificationCenter.
    virtual QCoro::Task<HUDNotice> openSystemPanel(GestureAction action) = 0;
    virtual QCoro::Task<HUDNotice> openForceQuitWindow(CancellationToken token) = 0;
    virtual QCoro::Task<HUDNotice> closeFrontWindow() = 0;
    // Nothing when the focused window cannot be minimised directly: the
    // desktop's shortcut is sent instead.
    virtual QCoro::Task<std::optional<HUDNotice>> minimizeFrontWindow() = 0;
    // The six window layout actions.
    virtual QCoro::Task<HUDNotice> performWindowLayout(GestureAction action) = 0;
    virtual HUDNotice switchToPreviousApplication() = 0;
};

// What the browser, clipboard, screenshot and translation executors serve.
class ContentActionExecutors {
public:
    virtual ~ContentActionExecutors() = default;

    // A notice for copyPageLink, copyPageTitleAndLink and clipboardPlainText;
    // nothing for every other action. A cancelled copy gives up after its
    // page read.
    virtual QCoro::Task<std::optional<HUDNotice>> performClipboardAction(GestureAction action,
                                                                         CancellationToken token) = 0;
    // Starts the interactive capture of one window to the clipboard.
    virtual QCoro::Task<HUDNotice> startWindowScreenshot() = 0;
    virtual HUDNotice translateSelection() = 0;
};

}  // namespace glidra
