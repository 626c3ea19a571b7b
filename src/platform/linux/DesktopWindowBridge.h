#pragma once

#include <QCoro/QCoroTask>
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
// client can, and carries out window requests. Requests never block: each
// answers once the desktop did what was asked or had its time to, and answers
// false while the add-on does not answer or when the request could not be
// delivered to it.
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

    // The window's frame as the desktop has it now.
    virtual QCoro::Task<std::optional<QRectF>> frame(std::uint64_t window) = 0;
    // Whether the window reached `frame` (after the desktop applied its
    // constraints, such as the window's minimum size); false too when the
    // window is gone or the request did not arrive.
    virtual QCoro::Task<bool> moveResize(std::uint64_t window, QRect frame) = 0;
    virtual QCoro::Task<bool> maximize(std::uint64_t window) = 0;
    virtual QCoro::Task<bool> minimize(std::uint64_t window) = 0;
    virtual QCoro::Task<bool> close(std::uint64_t window) = 0;
    // The process's most recently used window to the front; all of its
    // windows minimised.
    virtual QCoro::Task<bool> activateProcess(std::int32_t processIdentifier) = 0;
    virtual QCoro::Task<bool> minimizeProcess(std::int32_t processIdentifier) = 0;

    // Whether the add-on can switch the desktop's own swipes off, and does
    // so while asked to and the program runs; whether they are off, as the
    // add-on last said.
    virtual bool canSwitchOffSwipes() const { return false; }
    virtual bool areSwipesOff() const { return false; }
    // True once the add-on confirmed the swipes are as asked.
    virtual QCoro::Task<bool> setSwipesOff(bool /*off*/) { co_return false; }

Q_SIGNALS:
    void focusedWindowChanged();
    void connectionChanged();
    // What the add-on can do or does with the desktop's swipes changed.
    void swipesChanged();
};

}  // namespace glidra::linux_platform
