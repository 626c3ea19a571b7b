#pragma once

#include "platform/Workspace.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace glidra::sim {

// A workspace with a table of installed applications and loadable bundles and
// a list of running applications, one of them in front. It records every
// URL, application and file it is asked to open, and every activation and
// hiding; each of them can be refused.
class SimWorkspace final : public Workspace {
    Q_OBJECT

public:
    using Workspace::Workspace;

    bool openUrl(const QUrl& url) override;
    bool openApplication(const QString& path) override;
    QCoro::Task<bool> showInFileManager(QString path) override;
    std::optional<QString> applicationLocation(const QString& bundleIdentifier) override;
    std::optional<QString> systemSettingsLocation() override { return systemSettingsLocation_; }
    std::optional<QString> systemMonitorLocation() override { return systemMonitorLocation_; }
    std::optional<QString> emojiPickerLocation() override { return emojiPickerLocation_; }
    bool hasFilePreviewer() override { return hasFilePreviewer_; }
    std::optional<ApplicationBundle> loadApplicationBundle(const QString& path) override;
    std::vector<InstalledApplication> installedApplications() override { return menu_; }
    std::vector<RunningApplication> runningApplications() override { return running_; }
    FrontApplication frontmostApplication() const override { return front_; }
    bool activate(std::int32_t processIdentifier) override;
    bool hide(std::int32_t processIdentifier) override;

    // Every URL passed to openUrl, refused ones included.
    const QList<QUrl>& openedUrls() const { return openedUrls_; }
    void clearOpenedUrls() { openedUrls_.clear(); }
    // While set, openUrl refuses (and still records the attempt).
    void setRefusesToOpen(bool refuses) { refusesToOpen_ = refuses; }

    // Every path passed to openApplication and showInFileManager, refused
    // ones included.
    const QStringList& openedApplications() const { return openedApplications_; }
    void setRefusesToOpenApplications(bool refuses) { refusesToOpenApplications_ = refuses; }
    const QStringList& shownInFileManager() const { return shownInFileManager_; }
    void setRefusesToShowInFileManager(bool refuses) { refusesToShowInFileManager_ = refuses; }

    void installApplication(const QString& bundleIdentifier, const QString& path) {
        installed_.insert(bundleIdentifier, path);
    }
    void uninstallApplication(const QString& bundleIdentifier) { installed_.remove(bundleIdentifier); }
    void setSystemSettingsLocation(std::optional<QString> path) { systemSettingsLocation_ = std::move(path); }
    void setSystemMonitorLocation(std::optional<QString> path) { systemMonitorLocation_ = std::move(path); }
    void setEmojiPickerLocation(std::optional<QString> path) { emojiPickerLocation_ = std::move(path); }
    void setHasFilePreviewer(bool has) { hasFilePreviewer_ = has; }

    void addBundle(const QString& path, ApplicationBundle bundle) { bundles_.insert(path, std::move(bundle)); }
    // An application the menus list: installed under its identifier, its
    // bundle loadable, and listed after those added before.
    void addMenuApplication(const QString& path, const ApplicationBundle& bundle) {
        addBundle(path, bundle);
        if (bundle.bundleIdentifier) installApplication(*bundle.bundleIdentifier, path);
        menu_.push_back({path, bundle});
    }
    void removeBundle(const QString& path) { bundles_.remove(path); }

    // Starts an application (it joins the end of the running list) without
    // bringing it to the front.
    void launch(RunningApplication application);
    // The application quits: it leaves the running list and, when it was in
    // front, nothing is in front.
    void terminate(std::int32_t processIdentifier);
    // The user brings a running application to the front; the workspace
    // reports the activation.
    void bringToFront(std::int32_t processIdentifier);
    // The focus moves to something the desktop cannot attribute, or to no
    // application at all; no activation is reported.
    void setFront(FrontApplication front) { front_ = std::move(front); }

    // While a process is in this set, activate() refuses it.
    void setRefusesActivation(std::int32_t processIdentifier, bool refuses);
    // Every process identifier passed to activate and hide, refused ones
    // included.
    const QList<std::int32_t>& activated() const { return activated_; }
    const QList<std::int32_t>& hidden() const { return hidden_; }

private:
    const RunningApplication* find(std::int32_t processIdentifier) const;

    QList<QUrl> openedUrls_;
    bool refusesToOpen_ = false;
    QStringList openedApplications_;
    bool refusesToOpenApplications_ = false;
    QStringList shownInFileManager_;
    bool refusesToShowInFileManager_ = false;
    QHash<QString, QString> installed_;
    std::optional<QString> systemSettingsLocation_;
    std::optional<QString> systemMonitorLocation_;
    std::optional<QString> emojiPickerLocation_;
    bool hasFilePreviewer_ = false;
    QHash<QString, ApplicationBundle> bundles_;
    std::vector<InstalledApplication> menu_;
    std::vector<RunningApplication> running_;
    FrontApplication front_;
    QSet<std::int32_t> refusesActivation_;
    QList<std::int32_t> activated_;
    QList<std::int32_t> hidden_;
};

}  // namespace glidra::sim
