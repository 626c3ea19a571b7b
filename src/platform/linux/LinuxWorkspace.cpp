#include "platform/linux/LinuxWorkspace.h"

#include <QFile>

#include <gio/gdesktopappinfo.h>

#include <memory>

namespace glidra::linux_platform {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using DesktopAppInfo = std::unique_ptr<GDesktopAppInfo, GObjectUnref>;

QString fromUtf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

}  // namespace

bool LinuxWorkspace::openUrl(const QUrl& url) {
    // System settings pane links are macOS's; nothing here can open them.
    if (url.scheme().startsWith(QLatin1String("x-apple."), Qt::CaseInsensitive)) return false;
    if (!url.isValid() || url.isEmpty()) return false;

    const QByteArray uri = url.toEncoded();
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch_default_for_uri(uri.constData(), nullptr, &error);
    if (error) g_error_free(error);
    return launched;
}

std::optional<QString> LinuxWorkspace::applicationLocation(const QString& bundleIdentifier) {
    if (bundleIdentifier.isEmpty()) return std::nullopt;
    const QByteArray id = bundleIdentifier.toUtf8();
    const DesktopAppInfo info(g_desktop_app_info_new(id.constData()));
    if (!info) return std::nullopt;
    const char* filename = g_desktop_app_info_get_filename(info.get());
    if (!filename) return std::nullopt;
    return QFile::decodeName(filename);
}

std::optional<ApplicationBundle> LinuxWorkspace::loadApplicationBundle(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    const QByteArray filename = QFile::encodeName(path);
    const DesktopAppInfo info(g_desktop_app_info_new_from_filename(filename.constData()));
    if (!info) return std::nullopt;

    GAppInfo* app = G_APP_INFO(info.get());
    ApplicationBundle bundle;
    if (const char* id = g_app_info_get_id(app)) bundle.bundleIdentifier = QString::fromUtf8(id);
    bundle.displayName = fromUtf8(g_app_info_get_display_name(app));
    if (bundle.displayName.isEmpty()) bundle.displayName = fromUtf8(g_app_info_get_name(app));
    // A themed icon's first name, or a file icon's path, as Icon= gives it.
    if (char* icon = g_desktop_app_info_get_string(info.get(), G_KEY_FILE_DESKTOP_KEY_ICON)) {
        const QString name = QString::fromUtf8(icon).trimmed();
        g_free(icon);
        if (!name.isEmpty()) bundle.iconName = name;
    }
    return bundle;
}

}  // namespace glidra::linux_platform
