#include "platform/linux/X11DesktopViews.h"

#include <QDBusVariant>

#include <algorithm>

namespace glidra::linux_platform {

namespace {
const QString kShell = QStringLiteral("org.gnome.Shell");
}  // namespace

X11DesktopViews::X11DesktopViews(X11Root root, QDBusConnection sessionBus, int timeoutMs)
    : root_(root), bus_(std::move(sessionBus)), timeoutMs_(timeoutMs) {}

DesktopViews::Outcome X11DesktopViews::showDesktop() {
    const auto showing = root_.atom("_NET_SHOWING_DESKTOP");
    if (!showing) return Outcome::unavailable;
    const auto supported = root_.words(root_.root(), "_NET_SUPPORTED", "ATOM");
    if (std::find(supported.begin(), supported.end(), *showing) == supported.end()) return Outcome::unavailable;
    // The same request brings the windows back while the desktop shows.
    const auto current = root_.words(root_.root(), "_NET_SHOWING_DESKTOP", "CARDINAL");
    const std::uint32_t show = !current.empty() && current.front() != 0 ? 0 : 1;
    return root_.requestOfWindowManager("_NET_SHOWING_DESKTOP", {show, 0, 0, 0, 0}) ? Outcome::shown : Outcome::failed;
}

QCoro::Task<DesktopViews::Outcome> X11DesktopViews::openOverview() {
    const QDBusConnection bus = bus_;
    const int timeoutMs = timeoutMs_;
    auto owning = callDBus(bus,
                           {QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner")},
                           {kShell}, timeoutMs);
    const auto owned = co_await owning;
    if (!owned || owned->size() != 1 || !owned->first().toBool()) co_return Outcome::unavailable;
    auto setting =
        callDBus(bus,
                 {kShell, QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.freedesktop.DBus.Properties"),
                  QStringLiteral("Set")},
                 {kShell, QStringLiteral("OverviewActive"), QVariant::fromValue(QDBusVariant(true))}, timeoutMs);
    const auto reply = co_await setting;
    co_return reply ? Outcome::shown : Outcome::failed;
}

}  // namespace glidra::linux_platform
