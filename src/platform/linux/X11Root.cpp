#include "platform/linux/X11Root.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace glidra::linux_platform {

namespace {

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPointer<Reply> owned(Reply* reply) {
    return ReplyPointer<Reply>(reply, &std::free);
}

// Properties read here are short: a few atoms, a class name, an identifier.
constexpr std::uint32_t kPropertyWords = 1024;

}  // namespace

X11Root::X11Root(xcb_connection_t* connection, Window root) : connection_(connection), root_(root) {
    if (connection_ && xcb_connection_has_error(connection_)) connection_ = nullptr;
}

X11Root X11Root::ofApplication() {
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return X11Root(nullptr, 0);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (!screens.rem) return X11Root(nullptr, 0);
    return X11Root(connection, screens.data->root);
}

std::optional<X11Root::Atom> X11Root::atom(const char* name) const {
    if (!connection_) return std::nullopt;
    const auto reply = owned(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 1, std::uint16_t(std::strlen(name)), name), nullptr));
    if (!reply || reply->atom == XCB_ATOM_NONE) return std::nullopt;
    return reply->atom;
}

std::vector<std::uint32_t> X11Root::words(Window window, const char* property, const char* type) const {
    const auto name = atom(property);
    const auto typeAtom = atom(type);
    if (!name || !typeAtom) return {};
    const auto reply = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, *name, *typeAtom, 0, kPropertyWords), nullptr));
    if (!reply || reply->type != *typeAtom || reply->format != 32) return {};
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

std::optional<QByteArray> X11Root::bytes(Window window, const char* property, const char* type) const {
    const auto name = atom(property);
    const auto typeAtom = atom(type);
    if (!name || !typeAtom) return std::nullopt;
    const auto reply = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, *name, *typeAtom, 0, kPropertyWords), nullptr));
    if (!reply || reply->type != *typeAtom || reply->format != 8) return std::nullopt;
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

int X11Root::screenNumber() const {
    if (!connection_) return 0;
    int number = 0;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection_)); screens.rem > 0;
         xcb_screen_next(&screens), ++number) {
        if (screens.data->root == root_) return number;
    }
    return 0;
}

std::optional<X11Root::Window> X11Root::selectionOwner(Atom selection) const {
    if (!connection_) return std::nullopt;
    const auto reply =
        owned(xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection), nullptr));
    if (!reply || reply->owner == XCB_WINDOW_NONE) return std::nullopt;
    return reply->owner;
}

bool X11Root::requestOfWindowManager(const char* messageType, const std::array<std::uint32_t, 5>& data) const {
    const auto type = atom(messageType);
    if (!type) return false;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = root_;
    event.type = *type;
    for (std::size_t i = 0; i < data.size(); ++i) event.data.data32[i] = data[i];
    const auto error = owned(xcb_request_check(
        connection_, xcb_send_event_checked(connection_, 0, root_,
                                            XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                                            reinterpret_cast<const char*>(&event))));
    return !error;
}

}  // namespace glidra::linux_platform
