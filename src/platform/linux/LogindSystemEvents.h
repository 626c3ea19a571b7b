#pragma once

#include "platform/SystemEvents.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QStringList>
#include <QVariantMap>

namespace glidra::linux_platform {

// Sleep, wake and the session from logind on the system bus:
// - Manager.PrepareForSleep(true) is willSleep, (false) didWake. While awake
//   the program holds a "delay" inhibitor, so that listening stops, a held
//   drag lets go and the keyboard unlocks before the machine sleeps; it lets
//   go of it once willSleep has been handled (never a "block" inhibitor).
// - Our session (GetSession("auto")) going inactive or locked (its Active and
//   LockedHint properties, its Lock and Unlock requests) is
//   sessionDidResignActive; active and unlocked again, sessionDidBecomeActive. logind has no signal of its own for the
//   displays waking: screensDidWake is never sent.
// - The application quitting is willTerminate.
// Without logind (no system bus, no service) nothing arrives, and nothing
// waits: every call has a timeout.
class LogindSystemEvents final : public SystemEvents {
    Q_OBJECT

public:
    explicit LogindSystemEvents(QDBusConnection bus = QDBusConnection::systemBus(), int timeoutMs = 5'000,
                                QObject* parent = nullptr);
    ~LogindSystemEvents() override;

    bool holdsInhibitor() const { return inhibitor_.isValid(); }
    // Our session's object path, once logind told it.
    const QString& sessionPath() const { return sessionPath_; }

    static constexpr const char* kService = "org.freedesktop.login1";
    static constexpr const char* kManagerPath = "/org/freedesktop/login1";
    static constexpr const char* kManagerInterface = "org.freedesktop.login1.Manager";
    static constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";

Q_SIGNALS:
    // The session path is known and its signals are watched.
    void sessionFound();
    // An inhibitor was taken (after start and after every wake).
    void inhibitorTaken();

private Q_SLOTS:
    void prepareForSleep(bool sleeping);
    void sessionLocked();
    void sessionUnlocked();
    void sessionPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    void takeInhibitor();
    void findSession();
    void setSessionState(bool active, bool locked);

    QDBusConnection bus_;
    int timeoutMs_;
    QDBusUnixFileDescriptor inhibitor_;
    QString sessionPath_;
    bool active_ = true;
    bool locked_ = false;
};

}  // namespace glidra::linux_platform
