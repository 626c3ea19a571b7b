#pragma once

#include <QObject>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <optional>

namespace glidra::linux_platform {

// A window as the desktop's own add-on reports it: native Wayland windows
// and XWayland ones alike.
struct DesktopWindow {
    // The add-on's handle of the window, never 0.
    std::uint64_t id = 0;
    // The desktop-file id as the desktop knows the application
    // ("org.gnome.TextEditor.desktop", KWin's "org.kde.dolphin"); empty when
    // it knows none.
    QString desktopEntry;
    // The Wayland application id or the X window class.
    QString resourceClass;
    std::optional<std::int32_t> processIdentifier;
    QString title;
    // With the title bar; in the desktop's logical coordinates.
    QRectF frame;
    bool fullScreen = false;
    // The smallest frame the window takes, where the desktop says.
    QSizeF minimumSize;

    friend bool operator==(const DesktopWindow&, const DesktopWindow&) = default;
};

// The program's add-on inside the desktop (the GNOME Shell extension, the
// KWin script), which sees the focused window where no ordinary Wayland
// client can, and carries out window requests. Requests answer false while
// it does not answer.
class DesktopWindowBridge : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~DesktopWindowBridge() override = default;

    // Whether the add-on answers now; while it does, it is the word on the
    // focused window, XWayland windows included.
    virtual bool isConnected() const = 0;
    // The window with the focus as last reported; nothing when none has it.
    virtual std::optional<DesktopWindow> focusedWindow() const = 0;

    virtual std::optional<QRectF> frame(std::uint64_t window) = 0;
    // Returns once the desktop took the request (or had its time to).
    virtual bool moveResize(std::uint64_t window, const QRect& frame) = 0;
    virtual bool maximize(std::uint64_t window) = 0;
    virtual bool minimize(std::uint64_t window) = 0;
    virtual bool close(std::uint64_t window) = 0;
    // The process's most recently used window to the front; all of its
    // windows minimised.
    virtual bool activateProcess(std::int32_t processIdentifier) = 0;
    virtual bool minimizeProcess(std::int32_t processIdentifier) = 0;

    // Whether the add-on can switch the desktop's own swipes off, and does
    // so while asked to and the program runs.
    virtual bool canSwitchOffSwipes() const { return false; }
    virtual bool setSwipesOff(bool off) {
        (void)off;
        return false;
    }

Q_SIGNALS:
    void focusedWindowChanged();
    void connectionChanged();
};

}  // namespace glidra::linux_platform
