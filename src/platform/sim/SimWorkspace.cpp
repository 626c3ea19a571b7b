#include "platform/sim/SimWorkspace.h"

namespace glidra::sim {

bool SimWorkspace::openUrl(const QUrl& url) {
    openedUrls_.append(url);
    return !refusesToOpen_;
}

std::optional<QString> SimWorkspace::applicationLocation(const QString& bundleIdentifier) {
    const auto it = installed_.constFind(bundleIdentifier);
    if (it == installed_.constEnd()) return std::nullopt;
    return *it;
}

std::optional<ApplicationBundle> SimWorkspace::loadApplicationBundle(const QString& path) {
    const auto it = bundles_.constFind(path);
    if (it == bundles_.constEnd()) return std::nullopt;
    return *it;
}

}  // namespace glidra::sim
