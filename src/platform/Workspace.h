#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace glidra {

// What the program reads of an application the user chose. On Linux an
// application is a desktop entry and its desktop-file id stands in for the
// bundle identifier.
struct ApplicationBundle {
    std::optional<QString> bundleIdentifier;
    QString displayName;  // as the file manager or desktop shows it
    // The icon theme's name (or an absolute path) of its icon, when it has one.
    std::optional<QString> iconName = std::nullopt;

    friend bool operator==(const ApplicationBundle&, const ApplicationBundle&) = default;
};

// The desktop's workspace: opening things and finding applications.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Hands a URL (web address, file, settings pane link) to its handler;
    // false when nothing could open it.
    virtual bool openUrl(const QUrl& url) = 0;

    // The path of the installed application with this identifier, if any.
    virtual std::optional<QString> applicationLocation(const QString& bundleIdentifier) = 0;

    // Reads the application at `path`; nothing when it is not a loadable
    // application.
    virtual std::optional<ApplicationBundle> loadApplicationBundle(const QString& path) = 0;
};

}  // namespace glidra
