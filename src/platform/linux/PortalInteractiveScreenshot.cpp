#include "platform/linux/PortalInteractiveScreenshot.h"

#include "platform/linux/DBusCall.h"
#include "platform/linux/PortalScreenshotRequest.h"

namespace glidra::linux_platform {

QCoro::Task<std::unique_ptr<InteractiveScreenshot::Selection>> PortalInteractiveScreenshot::launch(Finished finished) {
    const QDBusConnection bus = bus_;
    QtClipboardPasteboard& clipboard = clipboard_;
    const int selectionLimit = selectionLimitMs_;
    auto checking = serviceAvailable(bus, PortalScreenshotRequest::portalService);
    if (!co_await checking) co_return std::unique_ptr<Selection>();
    auto request = std::make_unique<PortalScreenshotRequest>(bus, clipboard, std::move(finished));
    request->send(callTimeoutMs, selectionLimit);
    co_return std::unique_ptr<Selection>(std::move(request));
}

}  // namespace glidra::linux_platform
