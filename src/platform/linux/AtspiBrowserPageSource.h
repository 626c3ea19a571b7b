#pragma once

#include "platform/BrowserPageSource.h"

#include <QDBusConnection>

#include <optional>

namespace glidra::linux_platform {

// Reads the front tab of a browser through the desktop's accessibility bus
// (AT-SPI2): the browser's active window, the web document it shows, the
// document's name (the page title) and address. Browsers publish their pages
// there only while the desktop's assistive technologies are on (Chromium
// also with --force-renderer-accessibility); otherwise the read is refused as
// not authorized. The whole read is read twice and must agree, so a page
// switched meanwhile is reported as changed. Bounded by readTimeoutMs.
class AtspiBrowserPageSource final : public BrowserPageSource {
public:
    explicit AtspiBrowserPageSource(QDBusConnection sessionBus);

    QCoro::Task<BrowserPageReply> readFrontTab(QString desktopId) override;

    static constexpr int readTimeoutMs = 3000;

private:
    QCoro::Task<std::optional<QDBusConnection>> accessibilityBus();

    QDBusConnection sessionBus_;
    QString address_;
};

}  // namespace glidra::linux_platform
