#pragma once

#include "platform/linux/EwmhProperties.h"

#include <QByteArray>
#include <QHash>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace glidra::linux_platform {

// Whether a connection to the display opens: 0 when it does, else xcb's
// error (XCB_CONN_ERROR, ...); the connection is closed again.
int xcbConnectionError(const QByteArray& display);
// Why xcb_connect failed, in a few words.
QString xcbConnectionFailure(int error);

// One connection to the X server (XWayland on a Wayland desktop), with the
// few requests the window adapters make. Each adapter holds its own, so one
// adapter's waits never take another's events. Main thread only.
class XcbConnection {
public:
    // Connects to the display of $DISPLAY, or to `display` when given; when
    // there is none, isConnected() is false and every request fails.
    explicit XcbConnection(const QByteArray& display = {});
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    // False also once the server went away.
    bool isConnected() const;
    std::uint32_t root() const { return root_; }
    int fileDescriptor() const;

    // The atom of the name, interned once; None when the server is gone.
    std::uint32_t atom(const char* name);

    // The property, or a reply of type None when it or the window is missing.
    ewmh::PropertyReply property(std::uint32_t window, const char* name, std::uint32_t type = 0);

    // The client window's rectangle in root coordinates; nothing when the
    // window is gone.
    std::optional<QRectF> clientGeometry(std::uint32_t window);

    // Asks to hear of the window's property changes (root) or configure
    // changes (client windows).
    void selectPropertyChanges(std::uint32_t window);
    void selectStructureChanges(std::uint32_t window);

    // Sends an EWMH request to the window manager through the root window.
    bool send(const ewmh::ClientMessage& message);
    void flush();

    // The events the adapters follow.
    struct Event {
        enum class Kind { propertyChanged, configured, other };
        Kind kind = Kind::other;
        std::uint32_t window = 0;
        std::uint32_t atom = 0;  // the changed property
    };

    // The next event already received or waiting on the socket; nothing when
    // there is none.
    std::optional<Event> pollEvent();
    // Waits up to `milliseconds` for the next event.
    std::optional<Event> waitEvent(int milliseconds);

private:
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    QHash<QByteArray, std::uint32_t> atoms_;
};

}  // namespace glidra::linux_platform
