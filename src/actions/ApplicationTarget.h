#pragma once

#include "common/Json.h"
#include "platform/Workspace.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace glidra {

// The application an openApplication action starts. On Linux the path is the
// application's desktop entry and the identifier its desktop-file id.
struct ApplicationTarget {
    QString path;
    std::optional<QString> bundleIdentifier;
    QString name;  // display name without ".app"

    // The target of an application the user picked; nothing when the URL is
    // not an application bundle (or desktop entry) that loads.
    static std::optional<ApplicationTarget> fromUrl(const QUrl& url, Workspace& workspace);

    // Where to open it now: the stored path while it exists, else wherever
    // the identifier is installed, so a moved application is still found.
    std::optional<QUrl> resolvedUrl(Workspace& workspace) const;

    QJsonValue toJson() const;
    static JsonResult<ApplicationTarget> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const ApplicationTarget&, const ApplicationTarget&) = default;
};

// An application's name as shown: one trailing ".app", in any case, dropped.
// Only the extension goes: "Web.apprentice.app" is "Web.apprentice", not
// "Webrentice".
QString withoutAppExtension(QString name);

}  // namespace glidra
