#pragma once

#include "platform/DesktopViews.h"
#include "platform/linux/DBusCall.h"
#include "platform/linux/X11Root.h"

#include <QDBusConnection>

namespace glidra::linux_platform {

// The bare desktop through the window manager (EWMH `_NET_SHOWING_DESKTOP`,
// asked again to bring the windows back), and the overview through the
// desktop's own interface on the session bus: GNOME Shell's `OverviewActive`
// property, or KWin's Overview effect through its global shortcut.
class X11DesktopViews final : public DesktopViews {
public:
    X11DesktopViews(X11Root root, QDBusConnection sessionBus, int timeoutMs = kDBusTimeoutMs);

    Outcome showDesktop() override;
    QCoro::Task<Outcome> openOverview() override;

private:
    X11Root root_;
    QDBusConnection bus_;
    int timeoutMs_;
};

}  // namespace glidra::linux_platform
