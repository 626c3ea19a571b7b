#pragma once

#include "platform/InteractiveScreenshot.h"

#include <QDBusConnection>

namespace glidra::linux_platform {

class QtClipboardPasteboard;

// The desktop portal's interactive screenshot (org.freedesktop.portal
// .Screenshot with "interactive" set): the desktop lets the user pick what
// to capture, the portal hands back the picture's file, and the picture is
// put on the clipboard. A desktop without the portal cannot launch it.
class PortalInteractiveScreenshot final : public InteractiveScreenshot {
public:
    PortalInteractiveScreenshot(QDBusConnection bus, QtClipboardPasteboard& clipboard)
        : bus_(std::move(bus)), clipboard_(clipboard) {}

    std::unique_ptr<Selection> launch(Finished finished) override;

    static constexpr int callTimeoutMs = 3000;

private:
    QDBusConnection bus_;
    QtClipboardPasteboard& clipboard_;
};

}  // namespace glidra::linux_platform
