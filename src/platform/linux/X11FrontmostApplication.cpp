#include "platform/linux/X11FrontmostApplication.h"

#include "platform/linux/DesktopWindowBridge.h"

#include <gio/gdesktopappinfo.h>

#include <QStringList>

#include <algorithm>

namespace glidra::linux_platform {

X11FrontmostApplication::X11FrontmostApplication(X11Root root, EntryInstalled installed,
                                                 const DesktopWindowBridge* bridge)
    : root_(root), installed_(std::move(installed)), bridge_(bridge) {}

bool X11FrontmostApplication::installedEntry(const QString& desktopFileId) {
    const QByteArray id = desktopFileId.toUtf8();
    GDesktopAppInfo* info = g_desktop_app_info_new(id.constData());
    if (!info) return false;
    g_object_unref(info);
    return true;
}

std::optional<X11Root::Window> X11FrontmostApplication::activeWindow() const {
    const auto active = root_.words(root_.root(), "_NET_ACTIVE_WINDOW", "WINDOW");
    if (active.empty() || active.front() == 0) return std::nullopt;
    return active.front();
}

std::optional<QString> X11FrontmostApplication::installedAmong(const QStringList& names) const {
    for (const QString& name : names) {
        if (name.isEmpty()) continue;
        const QString candidate = name.endsWith(QLatin1String(".desktop")) ? name : name + QStringLiteral(".desktop");
        if (installed_(candidate)) return candidate;
    }
    return std::nullopt;
}

std::optional<QString> X11FrontmostApplication::bundleIdentifier() const {
    if (bridge_ && bridge_->isConnected()) {
        const auto focused = bridge_->focusedWindow();
        if (!focused) return std::nullopt;
        return installedAmong({focused->desktopEntry, focused->resourceClass, focused->resourceClass.toLower()});
    }
    const auto window = activeWindow();
    if (!window) return std::nullopt;
    QStringList names;
    if (const auto id = root_.bytes(*window, "_GTK_APPLICATION_ID", "UTF8_STRING")) {
        names.append(QString::fromUtf8(*id));
    }
    // WM_CLASS holds the instance name and then the class name, each ending
    // in a zero byte; the class is the likelier entry name.
    if (const auto windowClass = root_.bytes(*window, "WM_CLASS", "STRING")) {
        QStringList parts = QString::fromLatin1(*windowClass).split(QChar(0), Qt::SkipEmptyParts);
        std::reverse(parts.begin(), parts.end());
        for (const QString& part : parts) names.append({part, part.toLower()});
    }
    return installedAmong(names);
}

std::optional<std::int32_t> X11FrontmostApplication::processIdentifier() const {
    if (bridge_ && bridge_->isConnected()) {
        const auto focused = bridge_->focusedWindow();
        return focused ? focused->processIdentifier : std::nullopt;
    }
    const auto window = activeWindow();
    if (!window) return std::nullopt;
    const auto pid = root_.words(*window, "_NET_WM_PID", "CARDINAL");
    if (pid.empty() || pid.front() == 0) return std::nullopt;
    return std::int32_t(pid.front());
}

}  // namespace glidra::linux_platform
