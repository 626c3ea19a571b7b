#include "platform/linux/EwmhWindowControl.h"

#include "platform/linux/EwmhProperties.h"
#include "platform/linux/XcbConnection.h"

#include "common/Completion.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

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

QCoro::Task<std::optional<WindowControl::WindowId>> EwmhWindowControl::focusedWindow() {
    if (!x_->isConnected()) co_return std::nullopt;
    const auto active = ewmh::activeWindow(x_->property(x_->root(), "_NET_ACTIVE_WINDOW", ewmh::kAtomWindow));
    if (!active || *active == 0) co_return std::nullopt;
    co_return *active;
}

std::optional<EwmhWindowControl::Geometry> EwmhWindowControl::geometry(std::uint32_t window) {
    const std::optional<QRectF> client = x_->clientGeometry(window);
    if (!client) return std::nullopt;
    const auto decorations = ewmh::frameExtents(x_->property(window, "_NET_FRAME_EXTENTS", ewmh::kAtomCardinal));
    const auto shadow = ewmh::frameExtents(x_->property(window, "_GTK_FRAME_EXTENTS", ewmh::kAtomCardinal));
    return Geometry{*client, decorations.value_or(ewmh::FrameExtents{}), shadow.value_or(ewmh::FrameExtents{})};
}

QCoro::Task<std::optional<QRectF>> EwmhWindowControl::frame(WindowId window) {
    const std::optional<Geometry> current = geometry(std::uint32_t(window));
    if (!current) co_return std::nullopt;
    co_return current->frame();
}

QCoro::Task<bool> EwmhWindowControl::isFullScreen(WindowId window) {
    const auto states = ewmh::atoms(x_->property(std::uint32_t(window), "_NET_WM_STATE", ewmh::kAtomAtom));
    co_return contains(states, x_->atom("_NET_WM_STATE_FULLSCREEN"));
}

QCoro::Task<bool> EwmhWindowControl::setPosition(WindowId window, QPointF topLeft) {
    const std::optional<Geometry> current = geometry(std::uint32_t(window));
    if (!current) co_return false;
    auto requesting = request(std::uint32_t(window), QRectF(topLeft, current->frame().size()), true, false);
    co_return co_await requesting;
}

QCoro::Task<bool> EwmhWindowControl::setSize(WindowId window, QSizeF size) {
    const std::optional<Geometry> current = geometry(std::uint32_t(window));
    if (!current) co_return false;
    auto requesting = request(std::uint32_t(window), QRectF(current->frame().topLeft(), size), false, true);
    co_return co_await requesting;
}

QCoro::Task<bool> EwmhWindowControl::request(std::uint32_t window, QRectF targetFrame, bool move, bool resize) {
    const std::weak_ptr<int> alive = alive_;
    std::optional<Geometry> current = geometry(window);
    if (!current) co_return false;
    const QRectF from = current->frame();
    if (samePixels(from.left(), targetFrame.left()) && samePixels(from.top(), targetFrame.top()) &&
        samePixels(from.width(), targetFrame.width()) && samePixels(from.height(), targetFrame.height())) {
        co_return true;
    }

    // Window managers keep a maximised window where it is.
    auto leaving = leaveMaximized(window);
    co_await leaving;
    if (alive.expired()) co_return false;
    current = geometry(window);
    if (!current) co_return false;

    const QRectF client = ewmh::clientRect(targetFrame, current->decorations, current->shadow);
    const auto message = ewmh::moveResize(x_->atom("_NET_MOVERESIZE_WINDOW"), window,
                                          move ? std::optional<QPointF>(client.topLeft()) : std::nullopt,
                                          resize ? std::optional<QSizeF>(client.size()) : std::nullopt);
    x_->selectStructureChanges(window);
    if (!x_->send(message)) co_return false;
    auto waiting = waitForConfigure(window);
    co_await waiting;
    co_return !alive.expired();
}

QCoro::Task<void> EwmhWindowControl::leaveMaximized(std::uint32_t window) {
    const auto states = ewmh::atoms(x_->property(window, "_NET_WM_STATE", ewmh::kAtomAtom));
    const std::uint32_t vertical = x_->atom("_NET_WM_STATE_MAXIMIZED_VERT");
    const std::uint32_t horizontal = x_->atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    if (!contains(states, vertical) && !contains(states, horizontal)) co_return;
    x_->selectStructureChanges(window);
    if (x_->send(ewmh::changeState(x_->atom("_NET_WM_STATE"), window, 0, vertical, horizontal))) {
        auto waiting = waitForConfigure(window);
        co_await waiting;
    }
}

// The window manager moves the window after it read the request; the frame
// is read back once it did, or once it had its time. The connection's socket
// is watched meanwhile, so the event loop runs on.
QCoro::Task<void> EwmhWindowControl::waitForConfigure(std::uint32_t window) {
    const std::weak_ptr<int> alive = alive_;
    const QDeadlineTimer deadline(kSettleMilliseconds);
    while (!deadline.hasExpired()) {
        while (const auto event = x_->pollEvent()) {
            if (event->kind == XcbConnection::Event::Kind::configured && event->window == window) co_return;
        }
        if (!x_->isConnected()) co_return;
        const Completion<bool> woken;
        QSocketNotifier readable(x_->fileDescriptor(), QSocketNotifier::Read);
        QObject::connect(&readable, &QSocketNotifier::activated, &readable, [woken] { woken.resolve(true); });
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &limit, [woken] { woken.resolve(false); });
        limit.start(int(deadline.remainingTime()));
        co_await woken;
        if (alive.expired()) co_return;
    }
}

QCoro::Task<bool> EwmhWindowControl::minimize(WindowId window) {
    const auto id = std::uint32_t(window);
    const ewmh::PropertyReply allowed = x_->property(id, "_NET_WM_ALLOWED_ACTIONS", ewmh::kAtomAtom);
    if (allowed.type == ewmh::kAtomAtom && !contains(ewmh::atoms(allowed), x_->atom("_NET_WM_ACTION_MINIMIZE"))) {
        co_return false;
    }
    const bool sent = x_->send(ewmh::iconify(x_->atom("WM_CHANGE_STATE"), id));
    x_->flush();
    co_return sent;
}

QCoro::Task<bool> EwmhWindowControl::close(WindowId window) {
    const auto id = std::uint32_t(window);
    const ewmh::PropertyReply allowed = x_->property(id, "_NET_WM_ALLOWED_ACTIONS", ewmh::kAtomAtom);
    // A window manager that lists what a window allows may leave out closing.
    if (allowed.type == ewmh::kAtomAtom && !contains(ewmh::atoms(allowed), x_->atom("_NET_WM_ACTION_CLOSE"))) {
        co_return false;
    }
    const bool sent = x_->send(ewmh::closeWindow(x_->atom("_NET_CLOSE_WINDOW"), id));
    x_->flush();
    co_return sent;
}

}  // namespace glidra::linux_platform
