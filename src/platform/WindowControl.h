#pragma once

#include <QCoro/QCoroTask>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <optional>

namespace glidra {

// Moves, resizes, minimises and closes the windows of other applications.
// Frames are in the coordinates of `Screens`, and cover the whole window with
// its title bar. Every operation answers without blocking: a desktop that
// carries a request out through its own add-on, or lets a window settle at
// its new size, takes its time while the event loop runs on.
class WindowControl {
public:
    using WindowId = std::uint64_t;

    virtual ~WindowControl() = default;

    // The focused window of the front application; nothing when there is no
    // front application, it has no focused window, or the desktop does not let
    // the program see it.
    virtual QCoro::Task<std::optional<WindowId>> focusedWindow() = 0;

    // Nothing when the window cannot be read (closed meanwhile).
    virtual QCoro::Task<std::optional<QRectF>> frame(WindowId window) = 0;
    virtual QCoro::Task<bool> isFullScreen(WindowId window) = 0;

    // Each answers once the request was carried out or the window had its
    // time to follow; false when it was refused or the window is gone. The
    // window may still end up elsewhere or at another size (an application's
    // minimum size): read the frame to know.
    virtual QCoro::Task<bool> setPosition(WindowId window, QPointF topLeft) = 0;
    virtual QCoro::Task<bool> setSize(WindowId window, QSizeF size) = 0;

    // Minimises the window; false when it cannot be minimised or the request
    // was refused.
    virtual QCoro::Task<bool> minimize(WindowId window) = 0;

    // Asks the window to close, as its close button does; false when it has
    // none or the request was refused.
    virtual QCoro::Task<bool> close(WindowId window) = 0;
};

}  // namespace glidra
