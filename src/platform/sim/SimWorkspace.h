#pragma once

#include "platform/Workspace.h"

#include <QHash>
#include <QList>

namespace glidra::sim {

// A workspace with a table of installed applications and loadable bundles
// that records every URL it is asked to open.
class SimWorkspace final : public Workspace {
public:
    bool openUrl(const QUrl& url) override;
    std::optional<QString> applicationLocation(const QString& bundleIdentifier) override;
    std::optional<ApplicationBundle> loadApplicationBundle(const QString& path) override;

    // Every URL passed to openUrl, refused ones included.
    const QList<QUrl>& openedUrls() const { return openedUrls_; }
    void clearOpenedUrls() { openedUrls_.clear(); }
    // While set, openUrl refuses (and still records the attempt).
    void setRefusesToOpen(bool refuses) { refusesToOpen_ = refuses; }

    void installApplication(const QString& bundleIdentifier, const QString& path) {
        installed_.insert(bundleIdentifier, path);
    }
    void uninstallApplication(const QString& bundleIdentifier) { installed_.remove(bundleIdentifier); }

    void addBundle(const QString& path, ApplicationBundle bundle) { bundles_.insert(path, std::move(bundle)); }
    void removeBundle(const QString& path) { bundles_.remove(path); }

private:
    QList<QUrl> openedUrls_;
    bool refusesToOpen_ = false;
    QHash<QString, QString> installed_;
    QHash<QString, ApplicationBundle> bundles_;
};

}  // namespace glidra::sim
