#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What the X server's window properties say and what the window manager is
// asked, as plain values: the xcb adapters fetch and send, these read and
// build. Everything here is free of X, so it is tested without a server.
namespace glidra::linux_platform::ewmh {

// Predefined atoms of the X protocol.
inline constexpr std::uint32_t kAtomNone = 0;
inline constexpr std::uint32_t kAtomAtom = 4;
inline constexpr std::uint32_t kAtomCardinal = 6;
inline constexpr std::uint32_t kAtomString = 31;
inline constexpr std::uint32_t kAtomWindow = 33;

// A property as the server returns it: its type (None when the window does
// not have it), its format (8, 16 or 32 bits an item) and its items, 32-bit
// ones in the client's byte order.
struct PropertyReply {
    std::uint32_t type = kAtomNone;
    std::uint8_t format = 0;
    QByteArray value;
};

// The 32-bit items of a property of the given type; empty when the property
// is missing, of another type or format, or cut short.
std::vector<std::uint32_t> items32(const PropertyReply& reply, std::uint32_t type);

// _NET_ACTIVE_WINDOW: nothing when the property is missing or malformed, 0
// when no window is active.
std::optional<std::uint32_t> activeWindow(const PropertyReply& reply);
// _NET_CLIENT_LIST and _NET_CLIENT_LIST_STACKING.
std::vector<std::uint32_t> windowList(const PropertyReply& reply);
// _NET_WM_PID; nothing unless it is a positive process identifier.
std::optional<std::int32_t> processIdentifier(const PropertyReply& reply);

// WM_CLASS: the instance and class names, as "instance\0class\0".
struct WmClass {
    QString instance;
    QString className;

    friend bool operator==(const WmClass&, const WmClass&) = default;
};
std::optional<WmClass> wmClass(const PropertyReply& reply);

// _NET_WM_STATE, _NET_WM_WINDOW_TYPE, _NET_WM_ALLOWED_ACTIONS: lists of atoms.
std::vector<std::uint32_t> atoms(const PropertyReply& reply);

// _NET_FRAME_EXTENTS (the window manager's decorations) and _GTK_FRAME_EXTENTS
// (the invisible shadow a client draws around its own decorations), in
// pixels: left, right, top, bottom.
struct FrameExtents {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;

    friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};
std::optional<FrameExtents> frameExtents(const PropertyReply& reply);

// A UTF8_STRING property (_NET_WM_NAME), without a trailing NUL.
std::optional<QString> utf8String(const PropertyReply& reply, std::uint32_t utf8StringAtom);

// The frame the user sees from the client window's rectangle in root
// coordinates, and back: the window manager's decorations are added, a
// client's own shadow removed.
QRectF visibleFrame(const QRectF& client, const FrameExtents& decorations, const FrameExtents& shadow);
QRectF clientRect(const QRectF& frame, const FrameExtents& decorations, const FrameExtents& shadow);

// A client message to the root window, as EWMH requests are sent.
struct ClientMessage {
    std::uint32_t window = 0;
    std::uint32_t type = kAtomNone;
    std::array<std::uint32_t, 5> data{};

    friend bool operator==(const ClientMessage&, const ClientMessage&) = default;
};

// The source indication of requests from pagers and other tools acting for
// the user, which window managers honour without focus-stealing checks.
inline constexpr std::uint32_t kSourcePager = 2;

// _NET_MOVERESIZE_WINDOW with static gravity: the client window's own top
// left, in root coordinates, and its size; either may be left as it is.
ClientMessage moveResize(std::uint32_t moveResizeAtom, std::uint32_t window, std::optional<QPointF> clientTopLeft,
                         std::optional<QSizeF> clientSize);
// _NET_WM_STATE: 0 removes, 1 adds, 2 toggles up to two states.
ClientMessage changeState(std::uint32_t stateAtom, std::uint32_t window, std::uint32_t action, std::uint32_t first,
                          std::uint32_t second = kAtomNone);
// _NET_CLOSE_WINDOW.
ClientMessage closeWindow(std::uint32_t closeAtom, std::uint32_t window);
// _NET_ACTIVE_WINDOW, asking to activate `window`.
ClientMessage activateWindow(std::uint32_t activeAtom, std::uint32_t window, std::uint32_t currentlyActive);
// WM_CHANGE_STATE to IconicState: minimises the window.
ClientMessage iconify(std::uint32_t changeStateAtom, std::uint32_t window);

// GLib marks the processes it starts from a desktop entry with the entry's
// file and the started process's identifier. The file, when this process is
// the one that was started (children inherit the marks).
std::optional<QString> launchedDesktopFile(const QByteArray& environment, std::int32_t processIdentifier);

}  // namespace glidra::linux_platform::ewmh
