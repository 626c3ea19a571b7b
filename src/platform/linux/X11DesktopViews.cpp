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

// Asked of the bus itself: whether `service` runs now. Neither overview is
// started on demand, so an activatable name does not count.
QCoro::Task<bool> hasOwner(QDBusConnection bus, QString service, int timeoutMs) {
    auto owning = callDBus(bus,
                           {QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner")},
                           {service}, timeoutMs);
    const auto owned = co_await owning;
    co_return owned && owned->size() == 1 && owned->first().toBool();
}

QCoro::Task<DesktopViews::Outcome> openKWinOverview(QDBusConnection bus, int timeoutMs) {
    const auto component = [](const char* method) {
        return DBusMethod{kGlobalShortcuts, kKWinComponent, QStringLiteral("org.kde.kglobalaccel.Component"),
                          QString::fromLatin1(method)};
    };
    // A KWin without the effect lists no such shortcut: nothing to open.
    auto listing = callDBus(bus, component("shortcutNames"), {}, timeoutMs);
    const auto names = co_await listing;
    if (!names) co_return DesktopViews::Outcome::failed;
    if (names->size() != 1 || !names->first().toStringList().contains(kKWinOverview)) {
        co_return DesktopViews::Outcome::unavailable;
    }
    auto invoking = callDBus(bus, component("invokeShortcut"), {kKWinOverview}, timeoutMs);
    const auto reply = co_await invoking;
    co_return reply ? DesktopViews::Outcome::shown : DesktopViews::Outcome::failed;
}

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
    // Copies: the views may go while the calls are out.
    const QDBusConnection bus = bus_;
    const int timeoutMs = timeoutMs_;
    if (!co_await hasOwner(bus, kShell, timeoutMs)) {
        if (co_await hasOwner(bus, kGlobalShortcuts, timeoutMs)) co_return co_await openKWinOverview(bus, timeoutMs);
        co_return Outcome::unavailable;
    }
    auto setting =
        callDBus(bus,
                 {kShell, QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.freedesktop.DBus.Properties"),
                  QStringLiteral("Set")},
                 {kShell, QStringLiteral("OverviewActive"), QVariant::fromValue(QDBusVariant(true))}, timeoutMs);
    const auto reply = co_await setting;
    co_return reply ? Outcome::shown : Outcome::failed;
}

}  // namespace glidra::linux_platform
