#include "platform/linux/PortalScreenshotRequest.h"

#include "platform/linux/PortalInteractiveScreenshot.h"
#include "platform/linux/QtClipboardPasteboard.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMetaObject>
#include <QUrl>
#include <QUuid>

namespace glidra::linux_platform {

const QString PortalScreenshotRequest::portalService = QStringLiteral("org.freedesktop.portal.Desktop");

namespace {

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

}  // namespace

PortalScreenshotRequest::PortalScreenshotRequest(QDBusConnection bus, QtClipboardPasteboard& clipboard,
                                                 InteractiveScreenshot::Finished finished)
    : bus_(std::move(bus)),
      clipboard_(clipboard),
      finished_(std::move(finished)),
      token_(QStringLiteral("glidra") + QUuid::createUuid().toString(QUuid::Id128)),
      owner_(portalService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    connect(&owner_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& oldOwner, const QString&) { onOwnerChanged(oldOwner); });
    limit_.setSingleShot(true);
    // Nobody is choosing any more: the portal's dialog goes too.
    connect(&limit_, &QTimer::timeout, this, [this] {
        if (!running_) return;
        close();
        end(1);
    });
}

PortalScreenshotRequest::~PortalScreenshotRequest() {
    *wanted_ = false;
    if (!path_.isEmpty()) {
        bus_.disconnect(portalService, path_, requestInterface, QStringLiteral("Response"), this,
                        SLOT(onResponse(uint, QVariantMap)));
    }
}

void PortalScreenshotRequest::send(int timeoutMs, int selectionLimitMs) {
    limit_.start(selectionLimitMs);
    // The portal names the request after our bus name and the token; follow
    // that path before asking, so an early response is not missed.
    QString sender = bus_.baseService();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    follow(portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token_);

    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    call.setArguments({QString(), QVariantMap{{QStringLiteral("handle_token"), token_},
                                              {QStringLiteral("interactive"), true},
                                              {QStringLiteral("modal"), true}}});
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        done->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *done;
        if (reply.isError()) {
            end(1);
        } else if (reply.value().path() != path_) {
            follow(reply.value().path());  // older portals choose the path themselves
        }
    });
}

void PortalScreenshotRequest::follow(const QString& path) {
    if (!path_.isEmpty()) {
        bus_.disconnect(portalService, path_, requestInterface, QStringLiteral("Response"), this,
                        SLOT(onResponse(uint, QVariantMap)));
    }
    path_ = path;
    bus_.connect(portalService, path_, requestInterface, QStringLiteral("Response"), this,
                 SLOT(onResponse(uint, QVariantMap)));
}

void PortalScreenshotRequest::onResponse(uint response, const QVariantMap& results) {
    if (!running_) return;
    // 0: taken; 1: the user cancelled, as Escape does; anything else failed.
    if (response == 0) {
        const QString file = QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile();
        end(!file.isEmpty() && clipboard_.writeImageFile(file) ? 0 : 1);
    } else {
        end(response == 1 ? 0 : 1);
    }
}

// A portal that starts on demand comes with a first owner; one that had an
// owner and lost it took the request with it.
void PortalScreenshotRequest::onOwnerChanged(const QString& oldOwner) {
    if (!oldOwner.isEmpty()) end(1);
}

void PortalScreenshotRequest::end(int status) {
    if (!running_) return;
    running_ = false;
    limit_.stop();
    // Reported from the event loop: the handler may destroy this request.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [wanted = wanted_, finished = finished_, status] {
            if (*wanted) finished(status);
        },
        Qt::QueuedConnection);
}

void PortalScreenshotRequest::terminate() {
    if (!running_) return;
    running_ = false;
    limit_.stop();
    *wanted_ = false;
    close();
}

void PortalScreenshotRequest::close() {
    const QDBusMessage close =
        QDBusMessage::createMethodCall(portalService, path_, requestInterface, QStringLiteral("Close"));
    bus_.asyncCall(close, PortalInteractiveScreenshot::callTimeoutMs);
}

}  // namespace glidra::linux_platform
