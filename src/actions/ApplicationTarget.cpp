#include "actions/ApplicationTarget.h"

#include <QFileInfo>

namespace glidra {

namespace {

QString pathWithoutTrailingSlashes(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

}  // namespace

std::optional<ApplicationTarget> ApplicationTarget::fromUrl(const QUrl& url, Workspace& workspace) {
    // A bundle is a folder, so a picked one may come with a trailing slash.
    const QString path = pathWithoutTrailingSlashes(url.path(QUrl::FullyDecoded));
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension != u"app" && extension != u"desktop") return std::nullopt;

    const auto bundle = workspace.loadApplicationBundle(path);
    if (!bundle) return std::nullopt;

    return ApplicationTarget{path, bundle->bundleIdentifier, withoutAppExtension(bundle->displayName)};
}

std::optional<QUrl> ApplicationTarget::resolvedUrl(Workspace& workspace) const {
    if (!path.isEmpty() && QFileInfo::exists(path)) return QUrl::fromLocalFile(path);
    if (bundleIdentifier) {
        if (auto location = workspace.applicationLocation(*bundleIdentifier)) return QUrl::fromLocalFile(*location);
    }
    return std::nullopt;
}

QString withoutAppExtension(QString name) {
    if (name.endsWith(QLatin1String(".app"), Qt::CaseInsensitive)) name.chop(4);
    return name;
}

QJsonValue ApplicationTarget::toJson() const {
    return JsonObjectWriter().set(u"path", path).set(u"bundleIdentifier", bundleIdentifier).set(u"name", name);
}

JsonResult<ApplicationTarget> ApplicationTarget::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    ApplicationTarget target;
    target.path = in.required<QString>(u"path");
    target.bundleIdentifier = in.optional<QString>(u"bundleIdentifier");
    target.name = in.required<QString>(u"name");
    if (in.failed()) return Failure{in.error()};
    return target;
}

}  // namespace glidra
