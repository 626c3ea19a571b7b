#pragma once

#include "app/ContentView.h"

#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

namespace glidra {

class ControlMenu;
class GlidraMenuBarIcon;
class SettingsWindow;
class SystemTray;
struct UiContext;

// What the user sees of the running program: the tray icon with its menu
// and the one settings window. Without a tray the window opens at start and
// closing it quits, until a tray comes: the icon then moves into it, and
// from then on closing the window leaves the program running.
class ApplicationShell final : public QObject {
    Q_OBJECT
public:
    struct Environment {
        UiContext& context;
        PageFactories pages;
        SystemTray& tray;
        // Unregisters the frame callback and stops every multitouch device.
        std::function<void()> stopBridge;
        // Ends the event loop.
        std::function<void()> terminate;
    };

    explicit ApplicationShell(Environment environment, QObject* parent = nullptr);
    ~ApplicationShell() override;

    // Shows the tray icon, or the window when there is no tray yet.
    void start();
    // Opens the window, or brings the open one to the front.
    void openSettings();
    // Undoes what actions left on and stops the bridge (windDown), then
    // closes the window (its sheets and panels run their close work) and
    // ends the program once the system has confirmed the undoing. Control's
    // remembered state is left as it is, so the next launch resumes it.
    void quit();

    // The longest the end waits for the system's word on what it undid.
    static constexpr double kWindDownSeconds = 1.0;
    // The first half of quitting, also for a start-up ended before the shell
    // exists: gives the microphone back, unlocks the keyboard, lets the
    // system sleep again, ends listening (which lets go of the pointer lock,
    // a held drag and an open application switcher), stops the bridge and
    // gives the desktop its own swipes back. Most of that takes effect
    // later: `done` runs from the event loop once the system has confirmed
    // all of it, or kWindDownSeconds after the start with a log line naming
    // what it had not.
    static void windDown(UiContext& context, const std::function<void()>& stopBridge, std::function<void()> done);

    SettingsWindow* window() const;
    ControlMenu& menu() const { return *menu_; }
    GlidraMenuBarIcon& icon() const { return *icon_; }
    // The icon is in the tray.
    bool hasTrayIcon() const;
    // Where the tray icon is on the screen, when the panel says.
    std::optional<QRect> trayIconGeometry() const;

private:
    void showTrayIcon();
    void windowClosed();
    // Hands the pages freed by a closed window back to the system.
    void returnFreedMemory();

    Environment environment_;
    std::unique_ptr<GlidraMenuBarIcon> icon_;
    std::unique_ptr<ControlMenu> menu_;
    bool trayIconShown_ = false;
    QPointer<SettingsWindow> window_;
    bool quitting_ = false;
};

}  // namespace glidra
