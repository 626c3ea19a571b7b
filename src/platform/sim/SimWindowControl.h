#pragma once

#include "common/Completion.h"
#include "platform/WindowControl.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace glidra::sim {

// Windows as a window manager keeps them: a frame that moves and resizes
// within the application's size limits, full-screen state, minimising, a
// close button, and refusals on demand. It records every request. Every
// answer is ready at once.
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
        bool canMinimize = true;
        bool minimized = false;
        bool hasCloseButton = true;
        bool closed = false;
    };

    struct Request {
        enum class Kind { position, size, minimize, close };
        Kind kind;
        WindowId window;
        QRectF value;  // the position in its origin, the size in its size

        friend bool operator==(const Request&, const Request&) = default;
    };

    QCoro::Task<std::optional<WindowId>> focusedWindow() override;
    QCoro::Task<std::optional<QRectF>> frame(WindowId window) override;
    QCoro::Task<bool> isFullScreen(WindowId window) override;
    QCoro::Task<bool> setPosition(WindowId window, QPointF topLeft) override;
    QCoro::Task<bool> setSize(WindowId window, QSizeF size) override;
    QCoro::Task<bool> minimize(WindowId window) override;
    QCoro::Task<bool> close(WindowId window) override;

    // The frame as it stands; nothing for a closed or unreadable window.
    std::optional<QRectF> frameNow(WindowId window);

    // Adds the window (replacing one with the same id).
    Window& addWindow(WindowId id, QRectF frame);
    Window& window(WindowId id) { return windows_.at(id); }
    void setFocusedWindow(std::optional<WindowId> window) { focused_ = window; }

    const std::vector<Request>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

    // While set, every operation waits until releaseAnswers(), as a desktop
    // that takes its time does; it then resumes from the event loop.
    void setAnswersLater(bool later) { answersLater_ = later; }
    void releaseAnswers();
    std::size_t waitingAnswers() const { return held_.size(); }

private:
    Window* find(WindowId id);
    // Suspends the operation while answers come later.
    QCoro::Task<void> turn();

    std::map<WindowId, Window> windows_;
    std::optional<WindowId> focused_;
    std::vector<Request> requests_;
    bool answersLater_ = false;
    std::vector<Completion<bool>> held_;
};

}  // namespace glidra::sim
