#include "platform/linux/EwmhWindowControl.h"

#include "platform/linux/EwmhProperties.h"
#include "platform/linux/XcbConnection.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cmath>

namespace glidra::linux_platform {

namespace {

bool contains(const std::vector<std::uint32_t>& atoms, std::uint32_t atom) {
    return atom != ewmh::kAtomNone && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

// Whole pixels: a request that would not move a pixel is not sent.
bool samePixels(double a, double b) { return std::lround(a) == std::lround(b); }

}  // namespace

struct EwmhWindowControl::Geometry {
    QRectF client;
    ewmh::FrameExtents decorations;
    ewmh::FrameExtents shadow;

    QRectF frame() const { return ewmh::visibleFrame(client, decorations, shadow); }
};

EwmhWindowControl::EwmhWindowControl() : EwmhWindowControl(std::make_unique<XcbConnection>()) {}

EwmhWindowControl::EwmhWindowControl(std::unique_ptr<XcbConnection> x) : x_(std::move(x)) {}

EwmhWindowControl::~EwmhWindowControl() = default;

std::optional<WindowControl::WindowId> EwmhWindowControl::focusedWindow() {
    if (!x_->isConnected()) return std::nullopt;
    const auto active = ewmh::activeWindow(x_->property(x_->root(), "_NET_ACTIVE_WINDOW", ewmh::kAtomWindow));
    if (!active || *active == 0) return std::nullopt;
    return *active;
}

std::optional<EwmhWindowControl::Geometry> EwmhWindowControl::geometry(std::uint32_t window) {
    const std::optional<QRectF> client = x_->clientGeometry(window);
    if (!client) return std::nullopt;
    const auto decorations = ewmh::frameExtents(x_->property(window, "_NET_FRAME_EXTENTS", ewmh::kAtomCardinal));
    const auto shadow = ewmh::frameExtents(x_->property(window, "_GTK_FRAME_EXTENTS", ewmh::kAtomCardinal));
    return Geometry{*client, decorations.value_or(ewmh::FrameExtents{}), shadow.value_or(ewmh::FrameExtents{})};
}

std::optional<QRectF> EwmhWindowControl::frame(WindowId window) {
    const std::optional<Geometry> current = geometry(std::uint32_t(window));
    if (!current) return std::nullopt;
    return current->frame();
}

bool EwmhWindowControl::isFullScreen(WindowId window) {
    const auto states = ewmh::atoms(x_->property(std::uint32_t(window), "_NET_WM_STATE", ewmh::kAtomAtom));
    return contains(states, x_->atom("_NET_WM_STATE_FULLSCREEN"));
}

bool EwmhWindowControl::setPosition(WindowId window, QPointF topLeft) {
    const std::optional<Geometry> current = geometry(std::uint32_t(window));
    if (!current) return false;
    return request(std::uint32_t(window), QRectF(topLeft, current->frame().size()), true, false);
}

bool EwmhWindowControl::setSize(WindowId window, QSizeF size) {
    const std::optional<Geometry> current = geometry(std::uint32_t(window));
    if (!current) return false;
    return request(std::uint32_t(window), QRectF(current->frame().topLeft(), size), false, true);
}

bool EwmhWindowControl::request(std::uint32_t window, const QRectF& targetFrame, bool move, bool resize) {
    std::optional<Geometry> current = geometry(window);
    if (!current) return false;
    const QRectF from = current->frame();
    if (samePixels(from.left(), targetFrame.left()) && samePixels(from.top(), targetFrame.top()) &&
        samePixels(from.width(), targetFrame.width()) && samePixels(from.height(), targetFrame.height())) {
        return true;
    }

    // Window managers keep a maximised window where it is.
    leaveMaximized(window);
    current = geometry(window);
    if (!current) return false;

    const QRectF client = ewmh::clientRect(targetFrame, current->decorations, current->shadow);
    const auto message = ewmh::moveResize(x_->atom("_NET_MOVERESIZE_WINDOW"), window,
                                          move ? std::optional<QPointF>(client.topLeft()) : std::nullopt,
                                          resize ? std::optional<QSizeF>(client.size()) : std::nullopt);
    x_->selectStructureChanges(window);
    if (!x_->send(message)) return false;
    waitForConfigure(window);
    return true;
}

void EwmhWindowControl::leaveMaximized(std::uint32_t window) {
    const auto states = ewmh::atoms(x_->property(window, "_NET_WM_STATE", ewmh::kAtomAtom));
    const std::uint32_t vertical = x_->atom("_NET_WM_STATE_MAXIMIZED_VERT");
    const std::uint32_t horizontal = x_->atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    if (!contains(states, vertical) && !contains(states, horizontal)) return;
    x_->selectStructureChanges(window);
    if (x_->send(ewmh::changeState(x_->atom("_NET_WM_STATE"), window, 0, vertical, horizontal))) {
        waitForConfigure(window);
    }
}

// The window manager moves the window after it read the request; the frame
// is read back once it did, or once it had its time.
void EwmhWindowControl::waitForConfigure(std::uint32_t window) {
    const QDeadlineTimer deadline(kSettleMilliseconds);
    while (!deadline.hasExpired()) {
        const auto event = x_->waitEvent(int(deadline.remainingTime()));
        if (!event) return;
        const bool configured = event->kind == XcbConnection::Event::Kind::configured && event->window == window;
        if (configured) return;
    }
}

bool EwmhWindowControl::close(WindowId window) {
    const auto id = std::uint32_t(window);
    const ewmh::PropertyReply allowed = x_->property(id, "_NET_WM_ALLOWED_ACTIONS", ewmh::kAtomAtom);
    // A window manager that lists what a window allows may leave out closing.
    if (allowed.type == ewmh::kAtomAtom && !contains(ewmh::atoms(allowed), x_->atom("_NET_WM_ACTION_CLOSE"))) {
        return false;
    }
    const bool sent = x_->send(ewmh::closeWindow(x_->atom("_NET_CLOSE_WINDOW"), id));
    x_->flush();
    return sent;
}

}  // namespace glidra::linux_platform
