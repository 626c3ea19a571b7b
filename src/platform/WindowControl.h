#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstdint>
#include <optional>

namespace glidra {

// Moves, resizes and closes the windows of other applications. Frames are in
// the coordinates of `Screens`, and cover the whole window with its title bar.
class WindowControl {
public:
    using WindowId = std::uint64_t;

    virtual ~WindowControl() = default;

    // The focused window of the front application; nothing when there is no
    // front application, it has no focused window, or the desktop does not let
    // the program see it.
    virtual std::optional<WindowId> focusedWindow() = 0;

    // Nothing when the window cannot be read (closed meanwhile).
    virtual std::optional<QRectF> frame(WindowId window) = 0;
    virtual bool isFullScreen(WindowId window) = 0;

    // Each returns once the request was handed over; false when it was
    // refused. The window may still end up elsewhere or at another size (an
    // application's minimum size): read the frame to know.
    virtual bool setPosition(WindowId window, QPointF topLeft) = 0;
    virtual bool setSize(WindowId window, QSizeF size) = 0;

    // Asks the window to close, as its close button does; false when it has
    // none or the request was refused.
    virtual bool close(WindowId window) = 0;
};

}  // namespace glidra
