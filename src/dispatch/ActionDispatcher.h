#pragma once

#include "actions/ApplicationTarget.h"
#include "actions/KeyboardShortcut.h"
#include "dispatch/ActionDispatchService.h"
#include "dispatch/DispatcherServices.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

class AccessibilityTrust;
class EventPoster;
class FrontmostApplication;
class KeyboardState;
class Workspace;

// The one road by which a bound action is carried out: it tidies up what the
// action would disturb (an open application switcher, the click sequence),
// offers the action to the executors in a fixed order (clipboard, window
// screenshot or target opener, system actions), opens applications, checks
// the input permission, routes the rest of the catalogue to its executors
// and sends media keys, recorded shortcuts and the built-in shortcut table
// as synthesised keys. Every road ends in a notice; it shows none itself.
// Keeps no state; main thread only.
class ActionDispatcher final : public ActionDispatchService {
public:
    struct Ports {
        EventPoster& poster;
        const KeyboardState& keyboard;
        const FrontmostApplication& frontmostApplication;
        const AccessibilityTrust& accessibilityTrust;
        Workspace& workspace;
    };

    struct Executors {
        InputActionExecutors& input;
        SystemActionService& system;
        ApplicationActionExecutors& applications;
        ContentActionExecutors& content;
    };

    ActionDispatcher(Ports ports, Executors executors) : ports_(ports), executors_(executors) {}

    QCoro::Task<HUDNotice> performGestureAction(GestureBinding binding, CancellationToken token) override;

    // Actions that leave an open application switcher open.
    static bool keepsApplicationSwitcher(GestureAction action);
    // Actions that continue a running click sequence.
    static bool keepsClickSequence(GestureAction action);
    // The file managers in which quickLook and copyFilePath act, by the
    // desktop-file id of the front application.
    static bool isFileManager(const std::optional<QString>& bundleIdentifier);

private:
    QCoro::Task<HUDNotice> openApplication(std::optional<ApplicationTarget> target);
    QCoro::Task<HUDNotice> performCustomShortcut(std::optional<KeyboardShortcut> shortcut, CancellationToken token);
    // playPause, previousTrack or nextTrack as the media key's press and
    // release.
    HUDNotice sendMediaAction(GestureAction action);
    // A key-down with `downFlags` and a key-up with the modifiers held now.
    HUDNotice sendShortcut(std::uint16_t keyCode, std::uint64_t downFlags, const QString& text, const QString& symbol);

    Ports ports_;
    Executors executors_;
};

}  // namespace glidra
