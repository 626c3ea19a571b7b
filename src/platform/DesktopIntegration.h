#pragma once

#include <QCoro/QCoroTask>
#include <QObject>

namespace glidra {

// The running desktop, as far as its own touchpad gestures go: they fire
// beside the program's rules, since both read the same touchpad.
enum class SystemGestureDesktop {
    // GNOME Shell: three-finger swipes open the overview and the application
    // grid and switch workspaces.
    gnome,
    // KWin on Wayland: four-finger swipes open the overview and switch
    // virtual desktops.
    plasmaWayland,
    // An X11 session of a desktop that takes no touchpad gestures (Plasma on
    // X11, Xfce, MATE, LXQt).
    withoutGestures,
    // Any other desktop: its gestures, if any, are its own configuration.
    unknown,
};

// The program's add-on inside the desktop, where the desktop lets no ordinary
// client see or move native Wayland windows: a GNOME Shell extension or a
// KWin script. Signals arrive on the main thread.
class DesktopIntegration : public QObject {
    Q_OBJECT

public:
    enum class Companion {
        // The session needs none (X11 everywhere) or the desktop has no
        // extension point the program uses.
        none,
        gnomeShellExtension,
        kwinScript,
    };

    using QObject::QObject;
    ~DesktopIntegration() override = default;

    virtual SystemGestureDesktop gestureDesktop() const = 0;
    virtual Companion companion() const = 0;
    // Whether the companion answers now.
    virtual bool isCompanionConnected() const = 0;

    // The user's choice to have the desktop's own swipes switched off while
    // the program runs (GNOME's three-finger swipes); off by default, kept
    // across starts.
    virtual bool systemSwipesOff() const = 0;
    virtual void setSystemSwipesOff(bool off) = 0;
    // Whether the choice can take effect now: the companion answers and can
    // switch the swipes off.
    virtual bool canSwitchOffSystemSwipes() const = 0;
    // Gives the desktop its swipes back for the program's end, and answers
    // once the companion confirmed it: true too when they were not off. The
    // choice itself stays for the next start.
    virtual QCoro::Task<bool> giveBackSystemSwipes() = 0;

Q_SIGNALS:
    // Any of the above changed.
    void changed();
};

}  // namespace glidra
