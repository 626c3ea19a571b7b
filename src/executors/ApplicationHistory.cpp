#include "executors/ApplicationHistory.h"

namespace glidra {

void ApplicationHistory::record(const QString& bundleIdentifier) {
    applications.removeAll(bundleIdentifier);
    applications.prepend(bundleIdentifier);
    if (applications.size() > kCapacity) applications.resize(kCapacity);
}

std::optional<QString> ApplicationHistory::previous(const std::optional<QString>& frontBundleIdentifier,
                                                    const QSet<QString>& runningBundleIdentifiers) const {
    for (const QString& application : applications) {
        if (frontBundleIdentifier && application == *frontBundleIdentifier) continue;
        if (runningBundleIdentifiers.contains(application)) return application;
    }
    return std::nullopt;
}

}  // namespace glidra
