#pragma once

#include "platform/InteractiveScreenshot.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <memory>

namespace glidra::linux_platform {

class QtClipboardPasteboard;

// One portal screenshot request: sends it, follows its Response signal and
// closes it when given up. A portal that leaves the bus, or gives no answer
// within the selection limit, ends it as a cancelled selection.
class PortalScreenshotRequest final : public QObject, public InteractiveScreenshot::Selection {
    Q_OBJECT

public:
    PortalScreenshotRequest(QDBusConnection bus, QtClipboardPasteboard& clipboard,
                            InteractiveScreenshot::Finished finished);
    ~PortalScreenshotRequest() override;

    // Sends the request; its end is reported later, also when sending fails.
    void send(int timeoutMs, int selectionLimitMs);

    bool isRunning() const override { return running_; }
    void terminate() override;

    static const QString portalService;

private Q_SLOTS:
    // QtDBus delivers signals to slots named by their signature only.
    void onResponse(uint response, const QVariantMap& results);

private:
    void follow(const QString& path);
    void end(int status);
    void onOwnerChanged(const QString& oldOwner);
    void close();

    QDBusConnection bus_;
    QtClipboardPasteboard& clipboard_;
    InteractiveScreenshot::Finished finished_;
    // Cleared when the request is given up, so a report on its way is dropped.
    std::shared_ptr<bool> wanted_ = std::make_shared<bool>(true);
    QString token_;
    QString path_;
    bool running_ = true;
    QDBusServiceWatcher owner_;
    QTimer limit_;
};

}  // namespace glidra::linux_platform
