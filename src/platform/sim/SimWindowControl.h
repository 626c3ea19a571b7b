#pragma once

#include "platform/WindowControl.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace glidra::sim {

// Windows as a window manager keeps them: a frame that moves and resizes
// within the application's size limits, full-screen state, a close button,
// and refusals on demand. It records every request.
class SimWindowControl final : public WindowControl {
public:
    struct Window {
        QRectF frame;
        bool fullScreen = false;
        QSizeF minimumSize{0, 0};
        QSizeF maximumSize{1e9, 1e9};
        // Where the window manager puts it relative to where it was asked.
        QPointF placementOffset{0, 0};
        bool refusesPosition = false;
        bool refusesSize = false;
        // A window manager that keeps the window inside this area cuts a
        // size that would carry it past the area from where it stands.
        std::optional<QRectF> confinement;
        bool readable = true;
        bool hasCloseButton = true;
        bool closed = false;
    };

    struct Request {
        enum class Kind { position, size, close };
        Kind kind;
        WindowId window;
        QRectF value;  // the position in its origin, the size in its size

        friend bool operator==(const Request&, const Request&) = default;
    };

    std::optional<WindowId> focusedWindow() override { return focused_; }
    std::optional<QRectF> frame(WindowId window) override;
    bool isFullScreen(WindowId window) override;
    bool setPosition(WindowId window, QPointF topLeft) override;
    bool setSize(WindowId window, QSizeF size) override;
    bool close(WindowId window) override;

    // Adds the window (replacing one with the same id).
    Window& addWindow(WindowId id, QRectF frame);
    Window& window(WindowId id) { return windows_.at(id); }
    void setFocusedWindow(std::optional<WindowId> window) { focused_ = window; }

    const std::vector<Request>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

private:
    Window* find(WindowId id);

    std::map<WindowId, Window> windows_;
    std::optional<WindowId> focused_;
    std::vector<Request> requests_;
};

}  // namespace glidra::sim
