#include "platform/linux/LogindSystemEvents.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

namespace glidra::linux_platform {

namespace {

QDBusMessage managerCall(const QString& method) {
    return QDBusMessage::createMethodCall(QLatin1String(LogindSystemEvents::kService),
                                          QLatin1String(LogindSystemEvents::kManagerPath),
                                          QLatin1String(LogindSystemEvents::kManagerInterface), method);
}

}  // namespace

LogindSystemEvents::LogindSystemEvents(QDBusConnection bus, int timeoutMs, QObject* parent)
    : SystemEvents(parent), bus_(std::move(bus)), timeoutMs_(timeoutMs) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, this, &SystemEvents::willTerminate);
    }
    if (!bus_.isConnected()) return;
    bus_.connect(QLatin1String(kService), QLatin1String(kManagerPath), QLatin1String(kManagerInterface),
                 QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    takeInhibitor();
    findSession();
}

LogindSystemEvents::~LogindSystemEvents() = default;

void LogindSystemEvents::takeInhibitor() {
    QDBusMessage call = managerCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Glidra")
         << QStringLiteral("Stop listening to the touchpad and let go of held input before sleeping")
         << QStringLiteral("delay");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, timeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        if (reply.isError() || !reply.value().isValid()) return;
        inhibitor_ = reply.value();
        Q_EMIT inhibitorTaken();
    });
}

void LogindSystemEvents::findSession() {
    QDBusMessage call = managerCall(QStringLiteral("GetSession"));
    call << QStringLiteral("auto");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, timeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) return;
        sessionPath_ = reply.value().path();
        bus_.connect(QLatin1String(kService), sessionPath_, QLatin1String(kSessionInterface), QStringLiteral("Lock"),
                     this, SLOT(sessionLocked()));
        bus_.connect(QLatin1String(kService), sessionPath_, QLatin1String(kSessionInterface), QStringLiteral("Unlock"),
                     this, SLOT(sessionUnlocked()));
        bus_.connect(QLatin1String(kService), sessionPath_, QStringLiteral("org.freedesktop.DBus.Properties"),
                     QStringLiteral("PropertiesChanged"), this,
                     SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
        Q_EMIT sessionFound();
    });
}

void LogindSystemEvents::prepareForSleep(bool sleeping) {
    if (sleeping) {
        Q_EMIT willSleep();
        // Everything is let go: the machine may sleep now.
        inhibitor_ = QDBusUnixFileDescriptor();
        return;
    }
    Q_EMIT didWake();
    takeInhibitor();
}

void LogindSystemEvents::sessionLocked() { setSessionState(active_, true); }

void LogindSystemEvents::sessionUnlocked() { setSessionState(active_, false); }

void LogindSystemEvents::sessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                  const QStringList&) {
    if (interface != QLatin1String(kSessionInterface)) return;
    setSessionState(changed.value(QStringLiteral("Active"), active_).toBool(),
                    changed.value(QStringLiteral("LockedHint"), locked_).toBool());
}

void LogindSystemEvents::setSessionState(bool active, bool locked) {
    const bool wasEngaged = active_ && !locked_;
    active_ = active;
    locked_ = locked;
    const bool engaged = active_ && !locked_;
    if (engaged == wasEngaged) return;
    if (engaged) {
        Q_EMIT sessionDidBecomeActive();
    } else {
        Q_EMIT sessionDidResignActive();
    }
}

}  // namespace glidra::linux_platform
