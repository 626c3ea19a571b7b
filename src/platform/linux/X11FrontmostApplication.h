#pragma once

#include "platform/FrontmostApplication.h"
#include "platform/linux/X11Root.h"

#include <functional>

namespace glidra::linux_platform {

class DesktopWindowBridge;

// The application of the window the window manager reports active
// (`_NET_ACTIVE_WINDOW`): its process from `_NET_WM_PID`, its desktop-file id
// from the GTK application id or the window class, whichever names an
// installed desktop entry. While the desktop's own add-on answers, its
// focused window is the one, native Wayland windows included.
class X11FrontmostApplication final : public FrontmostApplication {
public:
    // Whether a desktop-file id ("org.gnome.TextEditor.desktop") names an
    // installed entry.
    using EntryInstalled = std::function<bool(const QString& desktopFileId)>;

    // `bridge` may be null; it outlives this object.
    explicit X11FrontmostApplication(X11Root root, EntryInstalled installed = installedEntry,
                                     const DesktopWindowBridge* bridge = nullptr);

    std::optional<QString> bundleIdentifier() const override;
    std::optional<std::int32_t> processIdentifier() const override;

    static bool installedEntry(const QString& desktopFileId);

private:
    std::optional<X11Root::Window> activeWindow() const;
    std::optional<QString> installedAmong(const QStringList& names) const;

    X11Root root_;
    EntryInstalled installed_;
    const DesktopWindowBridge* bridge_;
};

}  // namespace glidra::linux_platform
