#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace glidra::linux_platform {

// Finds the desktop entry of the application that owns a window, from what
// the window and its process say about themselves. It never guesses: a
// window that names no entry, or several equally, has none.
class DesktopEntryMatcher {
public:
    struct Entry {
        QString id;  // desktop-file id, "org.gnome.Nautilus.desktop"
        QString filename;
        QString startupWmClass;  // StartupWMClass, empty when it has none
        QString displayName;

        friend bool operator==(const Entry&, const Entry&) = default;
    };

    struct Window {
        QString instance;   // WM_CLASS instance name
        QString className;  // WM_CLASS class name
        // The desktop entry file GLib started the window's process from.
        std::optional<QString> launchedDesktopFile;
        // The application id the window gives (GTK's, or the Wayland one),
        // which names its entry; empty when it gives none.
        QString applicationId = {};
    };

    // In order of certainty: the entry the process was started from; the one
    // whose id is the application id with ".desktop"; the one whose
    // StartupWMClass is the window's class or instance; the one whose id,
    // without ".desktop", is the class or instance in any case.
    static std::optional<Entry> match(const Window& window, const std::vector<Entry>& entries);
};

}  // namespace glidra::linux_platform
