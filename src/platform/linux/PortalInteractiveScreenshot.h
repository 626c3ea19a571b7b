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
    static constexpr int callTimeoutMs = 3000;
    // Long enough for a person choosing; a portal that never answers must not
    // keep gestures suspended for good.
    static constexpr int selectionLimitMs = 180'000;

    PortalInteractiveScreenshot(QDBusConnection bus, QtClipboardPasteboard& clipboard,
                                int selectionLimit = selectionLimitMs)
        : bus_(std::move(bus)), clipboard_(clipboard), selectionLimitMs_(selectionLimit) {}

    QCoro::Task<std::unique_ptr<Selection>> launch(Finished finished) override;

private:
    QDBusConnection bus_;
    QtClipboardPasteboard& clipboard_;
    int selectionLimitMs_;
};

}  // namespace glidra::linux_platform
