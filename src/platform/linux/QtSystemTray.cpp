#include "platform/linux/QtSystemTray.h"

#include "platform/ApplicationId.h"
#include "platform/LogCategories.h"
#include "platform/linux/StatusNotifierItem.h"

#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

const QString watcherService = QString::fromLatin1(StatusNotifierItem::kWatcherService);
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
constexpr int kWatcherTimeoutMs = 5000;

}  // namespace

bool QtSystemTray::qtHasTray() { return QSystemTrayIcon::isSystemTrayAvailable(); }

QtSystemTray::QtSystemTray(QDBusConnection bus, Probe probe, Watch watch, QObject* parent)
    : bus_(std::move(bus)), probe_(std::move(probe)), watch_(watch) {
    setParent(parent);
    if (probe_()) {
        kind_ = Kind::qt;
        return;
    }
    poll_ = new QTimer(this);
    poll_->setInterval(watch_.interval);
    connect(poll_, &QTimer::timeout, this, [this] {
        if (--pollsLeft_ <= 0) poll_->stop();
        check();
    });
    if (bus_.isConnected()) {
        watcher_ = new QDBusServiceWatcher(watcherService, bus_, QDBusServiceWatcher::WatchForRegistration, this);
        connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, &QtSystemTray::askWatcher);
        listening_ = bus_.connect(watcherService, watcherPath, watcherService,
                                  QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(hostRegistered()));
        // A watcher may be there already, its host still to come.
        askWatcher();
    }
    pollAgain();
}

QtSystemTray::~QtSystemTray() {
    hideIcon();
    if (listening_) {
        bus_.disconnect(watcherService, watcherPath, watcherService, QStringLiteral("StatusNotifierHostRegistered"),
                        this, SLOT(hostRegistered()));
    }
}

bool QtSystemTray::isPolling() const { return poll_ && poll_->isActive(); }

void QtSystemTray::pollAgain() {
    check();
    if (isAvailable()) return;
    const auto interval = std::max<std::chrono::milliseconds::rep>(watch_.interval.count(), 1);
    pollsLeft_ = int(std::max<std::chrono::milliseconds::rep>(watch_.period.count() / interval, 1));
    poll_->start();
}

void QtSystemTray::check() {
    if (isAvailable() || !probe_()) return;
    becomeAvailable(Kind::qt);
}

// Whether a panel's host has registered with the watcher, without waiting.
void QtSystemTray::askWatcher() {
    if (isAvailable()) return;
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({watcherService, QStringLiteral("IsStatusNotifierHostRegistered")});
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get, kWatcherTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusMessage reply = answer->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
        if (reply.arguments().constFirst().value<QDBusVariant>().variant().toBool()) hostRegistered();
    });
}

void QtSystemTray::hostRegistered() {
    if (isAvailable()) return;
    qCInfo(lcServices) << "a StatusNotifier host came up: the tray icon goes there";
    becomeAvailable(Kind::statusNotifier);
}

void QtSystemTray::becomeAvailable(Kind kind) {
    kind_ = kind;
    stopWatching();
    Q_EMIT becameAvailable();
}

void QtSystemTray::stopWatching() {
    if (poll_) poll_->stop();
    // Possibly inside the watcher's own signal.
    if (watcher_) watcher_->deleteLater();
    watcher_ = nullptr;
}

void QtSystemTray::showIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) {
    if (isShowingIcon()) return;
    if (kind_ == Kind::qt) {
        qtIcon_ = new QSystemTrayIcon(icon, this);
        qtIcon_->setToolTip(toolTip);
        qtIcon_->setContextMenu(menu);
        // Panels that send a plain click instead of opening the menu get the
        // menu too, as a menu-bar icon gives it.
        connect(qtIcon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason != QSystemTrayIcon::Trigger) return;
            const auto geometry = iconGeometry();
            Q_EMIT activated(geometry ? geometry->bottomLeft() : QCursor::pos());
        });
        qtIcon_->show();
        return;
    }
    if (kind_ != Kind::statusNotifier) return;
    item_ = std::make_unique<StatusNotifierItem>(bus_, applicationId(), toolTip, menu,
                                                 [this](QPoint where) { Q_EMIT activated(where); });
    item_->setIcon(icon);
    if (!item_->start()) item_.reset();
}

bool QtSystemTray::isShowingIcon() const { return qtIcon_ || item_; }

void QtSystemTray::setIcon(const QIcon& icon) {
    if (qtIcon_) qtIcon_->setIcon(icon);
    if (item_) item_->setIcon(icon);
}

void QtSystemTray::hideIcon() {
    delete std::exchange(qtIcon_, nullptr);
    item_.reset();
}

std::optional<QRect> QtSystemTray::iconGeometry() const {
    if (!qtIcon_) return std::nullopt;
    const QRect geometry = qtIcon_->geometry();
    if (!geometry.isValid() || geometry.isEmpty()) return std::nullopt;
    return geometry;
}

}  // namespace glidra::linux_platform
