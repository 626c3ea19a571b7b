#include "platform/linux/XcbConnection.h"

#include "platform/LogCategories.h"

#include <QString>

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace glidra::linux_platform {

namespace {

template <typename T>
struct Freed {
    void operator()(T* pointer) const { std::free(pointer); }
};
template <typename T>
using Reply = std::unique_ptr<T, Freed<T>>;

// Properties read here are small; a longer one (a huge client list) is cut.
constexpr std::uint32_t kMaximumPropertyItems = 4096;

}  // namespace

QString xcbConnectionFailure(int error) {
    switch (error) {
        case XCB_CONN_ERROR:
            return QStringLiteral("no X server answers there");
        case XCB_CONN_CLOSED_PARSE_ERR:
            return QStringLiteral("not a display name");
        case XCB_CONN_CLOSED_INVALID_SCREEN:
            return QStringLiteral("the display has no such screen");
        default:
            return QStringLiteral("xcb error %1").arg(error);
    }
}

int xcbConnectionError(const QByteArray& display) {
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return error;
}

XcbConnection::XcbConnection(const QByteArray& display) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    // xcb returns an error object rather than nothing; it must still be freed
    // with xcb_disconnect.
    if (const int error = xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        // Without it the front application, the windows and the desktop's
        // icons are unknown.
        const QByteArray name = display.isEmpty() ? qgetenv("DISPLAY") : display;
        qCWarning(lcServices).noquote().nospace()
            << "cannot connect to the X display " << (name.isEmpty() ? QByteArray("(DISPLAY is not set)") : name)
            << ": " << xcbConnectionFailure(error) << "; windows and the front application are unknown";
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    root_ = screens.data->root;
}

XcbConnection::~XcbConnection() {
    if (connection_) xcb_disconnect(connection_);
}

bool XcbConnection::isConnected() const { return connection_ && !xcb_connection_has_error(connection_); }

int XcbConnection::fileDescriptor() const { return connection_ ? xcb_get_file_descriptor(connection_) : -1; }

std::uint32_t XcbConnection::atom(const char* name) {
    const QByteArray key(name);
    if (const auto it = atoms_.constFind(key); it != atoms_.constEnd()) return *it;
    if (!isConnected()) return ewmh::kAtomNone;
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, std::uint16_t(key.size()), name), nullptr));
    if (!reply) return ewmh::kAtomNone;
    atoms_.insert(key, reply->atom);
    return reply->atom;
}

ewmh::PropertyReply XcbConnection::property(std::uint32_t window, const char* name, std::uint32_t type) {
    const std::uint32_t property = atom(name);
    if (!isConnected() || window == 0 || property == ewmh::kAtomNone) return {};
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, kMaximumPropertyItems), nullptr));
    if (!reply) return {};
    const int length = xcb_get_property_value_length(reply.get());
    return {reply->type, reply->format,
            QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length)};
}

std::optional<QRectF> XcbConnection::clientGeometry(std::uint32_t window) {
    if (!isConnected() || window == 0) return std::nullopt;
    const auto geometryCookie = xcb_get_geometry(connection_, window);
    const auto translateCookie = xcb_translate_coordinates(connection_, window, root_, 0, 0);
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection_, geometryCookie, nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(connection_, translateCookie, nullptr));
    if (!geometry || !origin) return std::nullopt;
    return QRectF(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

void XcbConnection::selectPropertyChanges(std::uint32_t window) {
    if (!isConnected()) return;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

void XcbConnection::selectStructureChanges(std::uint32_t window) {
    if (!isConnected()) return;
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

bool XcbConnection::send(const ewmh::ClientMessage& message) {
    if (!isConnected() || message.type == ewmh::kAtomNone) return false;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = message.window;
    event.type = message.type;
    for (std::size_t i = 0; i < message.data.size(); ++i) event.data.data32[i] = message.data[i];
    // The window manager takes requests that are redirected to it from the
    // root window.
    const xcb_void_cookie_t cookie = xcb_send_event_checked(
        connection_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&event));
    xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
    if (error) {
        std::free(error);
        return false;
    }
    return true;
}

void XcbConnection::flush() {
    if (connection_) xcb_flush(connection_);
}

std::optional<XcbConnection::Event> XcbConnection::pollEvent() {
    if (!isConnected()) return std::nullopt;
    const Reply<xcb_generic_event_t> event(xcb_poll_for_event(connection_));
    if (!event) return std::nullopt;
    Event result;
    switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            result = {Event::Kind::propertyChanged, notify->window, notify->atom};
            break;
        }
        case XCB_CONFIGURE_NOTIFY:
            result = {Event::Kind::configured,
                      reinterpret_cast<const xcb_configure_notify_event_t*>(event.get())->window, 0};
            break;
        default:
            break;
    }
    return result;
}

std::optional<XcbConnection::Event> XcbConnection::waitEvent(int milliseconds) {
    if (!isConnected()) return std::nullopt;
    if (auto event = pollEvent()) return event;
    pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
    if (::poll(&descriptor, 1, milliseconds) <= 0) return std::nullopt;
    return pollEvent();
}

}  // namespace glidra::linux_platform
