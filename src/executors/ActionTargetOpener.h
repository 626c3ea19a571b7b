#pragma once

#include "gestures/GestureBinding.h"
#include "notices/HUDNotice.h"
#include "platform/FileBookmarks.h"
#include "platform/Workspace.h"

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

namespace glidra {

// Opens the file, folder or web address an action names in its parameters,
// or runs its shortcut. Main thread only.
class ActionTargetOpener {
public:
    // Runs a shortcut through the shortcut service and says how it went: the
    // service's start.
    using StartShortcut = std::function<QCoro::Task<HUDNotice>(ShortcutTarget)>;

    ActionTargetOpener(Workspace& workspace, FileBookmarks& bookmarks, StartShortcut startShortcut = {})
        : workspace_(workspace), bookmarks_(bookmarks), startShortcut_(std::move(startShortcut)) {}

    // Until the shortcut service is given, runShortcut gets no notice here.
    void setStartShortcut(StartShortcut startShortcut) { startShortcut_ = std::move(startShortcut); }

    // A notice for openFile, openFolder, openURL and runShortcut; nothing for
    // every other action.
    QCoro::Task<std::optional<HUDNotice>> openActionTarget(GestureBinding binding);

    // Whether opening the file would run it rather than show it: desktop
    // entries, executables and the kinds of file whose usual handler runs
    // them. Such a file is shown in the file manager instead: its path may
    // come from an imported configuration.
    static bool runsWhenOpened(const QString& path);

private:
    QCoro::Task<HUDNotice> openResource(GestureAction action, std::optional<ResourceTarget> resource);
    HUDNotice openWebsite(const std::optional<QString>& website);

    Workspace& workspace_;
    FileBookmarks& bookmarks_;
    StartShortcut startShortcut_;
};

}  // namespace glidra
