#include "platform/linux/PortalInteractiveScreenshot.h"

#include "platform/linux/PortalScreenshotRequest.h"

#include <QDBusMessage>

namespace glidra::linux_platform {

namespace {

constexpr int busTimeoutMs = 1000;

// Whether the bus runs the portal or can start it; asked of the bus itself,
// which answers at once.
bool portalAvailable(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    const auto ask = [&bus](const char* method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QLatin1String(method));
        message.setArguments(arguments);
        const QDBusMessage reply = bus.call(message, QDBus::Block, busTimeoutMs);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                   ? reply.arguments().constFirst()
                   : QVariant();
    };
    if (ask("NameHasOwner", {PortalScreenshotRequest::portalService}).toBool()) return true;
    return ask("ListActivatableNames", {}).toStringList().contains(PortalScreenshotRequest::portalService);
}

}  // namespace

std::unique_ptr<InteractiveScreenshot::Selection> PortalInteractiveScreenshot::launch(Finished finished) {
    if (!portalAvailable(bus_)) return nullptr;
    auto request = std::make_unique<PortalScreenshotRequest>(bus_, clipboard_, std::move(finished));
    request->send(callTimeoutMs);
    return request;
}

}  // namespace glidra::linux_platform
