#include "platform/linux/QtSystemTray.h"

#include <QDBusServiceWatcher>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

bool QtSystemTray::qtHasTray() { return QSystemTrayIcon::isSystemTrayAvailable(); }

QtSystemTray::QtSystemTray(QDBusConnection bus, Probe probe, Watch watch, QObject* parent)
    : bus_(std::move(bus)), probe_(std::move(probe)), watch_(watch) {
    setParent(parent);
    available_ = probe_();
    if (available_) return;
    poll_ = new QTimer(this);
    poll_->setInterval(watch_.interval);
    connect(poll_, &QTimer::timeout, this, [this] {
        if (--pollsLeft_ <= 0) poll_->stop();
        check();
    });
    if (bus_.isConnected()) {
        watcher_ = new QDBusServiceWatcher(watcherService, bus_, QDBusServiceWatcher::WatchForRegistration, this);
        // The panel's host registers with the watcher a moment after it
        // appears: the renewed polling sees it.
        connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, &QtSystemTray::pollAgain);
    }
    pollAgain();
}

bool QtSystemTray::isPolling() const { return poll_ && poll_->isActive(); }

void QtSystemTray::pollAgain() {
    check();
    if (available_) return;
    const auto interval = std::max<std::chrono::milliseconds::rep>(watch_.interval.count(), 1);
    pollsLeft_ = int(std::max<std::chrono::milliseconds::rep>(watch_.period.count() / interval, 1));
    poll_->start();
}

void QtSystemTray::check() {
    if (available_ || !probe_()) return;
    available_ = true;
    stopWatching();
    Q_EMIT becameAvailable();
}

void QtSystemTray::stopWatching() {
    if (poll_) poll_->stop();
    // Possibly inside the watcher's own signal.
    if (watcher_) watcher_->deleteLater();
    watcher_ = nullptr;
}

}  // namespace glidra::linux_platform
