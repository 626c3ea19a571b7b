#include "platform/linux/X11DesktopViews.h"

#include <QDBusVariant>

#include <algorithm>

namespace glidra::linux_platform {

namespace {
const QString kShell = QStringLiteral("org.gnome.Shell");
// KWin's global shortcuts, which its Overview effect registers under that name.
const QString kGlobalShortcuts = QStringLiteral("org.kde.kglobalaccel");
const QString kKWinComponent = QStringLiteral("/component/kwin");
const QString kKWinOverview = QStringLiteral("Overview");
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

bool X11DesktopViews::hasOwner(const QString& service) const {
    const auto owned = callDBus(bus_,
                                {QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner")},
                                {service}, timeoutMs_);
    return owned && owned->size() == 1 && owned->first().toBool();
}

DesktopViews::Outcome X11DesktopViews::openOverview() {
    if (!hasOwner(kShell)) return hasOwner(kGlobalShortcuts) ? openKWinOverview() : Outcome::unavailable;
    const auto reply =
        callDBus(bus_,
                 {kShell, QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.freedesktop.DBus.Properties"),
                  QStringLiteral("Set")},
                 {kShell, QStringLiteral("OverviewActive"), QVariant::fromValue(QDBusVariant(true))}, timeoutMs_);
    return reply ? Outcome::shown : Outcome::failed;
}

DesktopViews::Outcome X11DesktopViews::openKWinOverview() {
    // A KWin without the effect lists no such shortcut: nothing to open.
    const auto names = callDBus(bus_,
                                {kGlobalShortcuts, kKWinComponent, QStringLiteral("org.kde.kglobalaccel.Component"),
                                 QStringLiteral("shortcutNames")},
                                {}, timeoutMs_);
    if (!names) return Outcome::failed;
    if (names->size() != 1 || !names->first().toStringList().contains(kKWinOverview)) return Outcome::unavailable;
    const auto reply = callDBus(bus_,
                                {kGlobalShortcuts, kKWinComponent, QStringLiteral("org.kde.kglobalaccel.Component"),
                                 QStringLiteral("invokeShortcut")},
                                {kKWinOverview}, timeoutMs_);
    return reply ? Outcome::shown : Outcome::failed;
}

}  // namespace glidra::linux_platform
