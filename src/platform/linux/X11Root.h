#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace glidra::linux_platform {

// The root window of an X display, where the window manager publishes what
// the desktop shows (EWMH) and takes requests. On Wayland the program runs
// through XWayland and sees the windows of X clients only. Without an X
// display every read gives nothing and every request fails.
class X11Root {
public:
    using Window = std::uint32_t;
    using Atom = std::uint32_t;

    // The connection is not owned; null for no display.
    X11Root(xcb_connection_t* connection, Window root);
    // The GUI application's own display, when it runs on X.
    static X11Root ofApplication();

    bool connected() const { return connection_ != nullptr; }
    Window root() const { return root_; }
    // The number of the root's screen on its display.
    int screenNumber() const;

    std::optional<Atom> atom(const char* name) const;
    // The 32-bit items of a window property of the given type (CARDINAL,
    // WINDOW, ATOM).
    std::vector<std::uint32_t> words(Window window, const char* property, const char* type) const;
    // The bytes of a string property (STRING, UTF8_STRING).
    std::optional<QByteArray> bytes(Window window, const char* property, const char* type) const;
    // The window that owns the selection; nothing when none does.
    std::optional<Window> selectionOwner(Atom selection) const;
    // A client message to the window manager about the root window; false
    // when it could not be sent.
    bool requestOfWindowManager(const char* messageType, const std::array<std::uint32_t, 5>& data) const;

private:
    xcb_connection_t* connection_;
    Window root_;
};

}  // namespace glidra::linux_platform
