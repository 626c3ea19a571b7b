#pragma once

#include "app/ContentView.h"

#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class QSystemTrayIcon;

namespace glidra {

class ControlMenu;
class GlidraMenuBarIcon;
class SettingsWindow;
struct UiContext;

// What the user sees of the running program: the tray icon with its menu
// and the one settings window. Without a tray the window opens at start and
// closing it quits; with one, closing the window leaves the program running.
class ApplicationShell final : public QObject {
    Q_OBJECT
public:
    struct Environment {
        UiContext& context;
        PageFactories pages;
        bool hasTray;
        // Unregisters the frame callback and stops every multitouch device.
        std::function<void()> stopBridge;
        // Ends the event loop.
        std::function<void()> terminate;
    };

    explicit ApplicationShell(Environment environment, QObject* parent = nullptr);
    ~ApplicationShell() override;

    // Shows the tray icon, or the window when there is no tray.
    void start();
    // Opens the window, or brings the open one to the front.
    void openSettings();
    // Closes the window (its sheets run their close work), gives the
    // microphone back, stops the bridge and ends the program. Control's
    // remembered state is left as it is, so the next launch resumes it.
    void quit();

    SettingsWindow* window() const;
    ControlMenu& menu() const { return *menu_; }
    GlidraMenuBarIcon& icon() const { return *icon_; }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    // Where the tray icon is on the screen, when the panel says.
    std::optional<QRect> trayIconGeometry() const;

private:
    void windowClosed();
    // Hands the pages freed by a closed window back to the system.
    void returnFreedMemory();

    Environment environment_;
    std::unique_ptr<GlidraMenuBarIcon> icon_;
    std::unique_ptr<ControlMenu> menu_;
    QSystemTrayIcon* tray_ = nullptr;
    QPointer<SettingsWindow> window_;
    bool quitting_ = false;
};

}  // namespace glidra
