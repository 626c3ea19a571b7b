#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

namespace glidra::test {

// The part of logind the Linux adapters use, served on a bus the test chooses
// (a private one): Manager.Inhibit, which hands out the read end of a pipe
// whose closing the fake notices; Manager.GetSession("auto"); the signal
// PrepareForSleep; and one session (also reachable as session/auto) with
// SetBrightness, its Id, Active and LockedHint properties and the Lock and
// Unlock signals.
class FakeLogind final : public QObject {
    Q_OBJECT

public:
    explicit FakeLogind(const QString& busAddress);
    ~FakeLogind() override;

    bool isServing() const { return serving_; }

    static constexpr const char* kSessionPath = "/org/freedesktop/login1/session/_31";

    // --- what the test does
    void prepareForSleep(bool sleeping);
    void lockSession();
    void unlockSession();
    // Sends PropertiesChanged for the session with these values.
    void changeSession(const QVariantMap& changed);
    void setRefusesBrightness(bool refuses) { refusesBrightness_ = refuses; }

    // --- what the adapters did
    // Inhibitors handed out whose descriptor is still open somewhere.
    int heldInhibitors();
    int inhibitCalls() const { return int(inhibitors_.size()); }
    QStringList inhibitModes() const { return modes_; }
    // "subsystem name value" for each SetBrightness.
    QStringList brightnessCalls() const { return brightness_; }

    // Called by the exported objects.
    QDBusUnixFileDescriptor inhibit(const QString& what, const QString& mode);
    bool setBrightness(const QString& subsystem, const QString& name, uint value);

private:
    void emitSignal(const QString& path, const QString& interface, const QString& name, const QVariantList& arguments);

    QString connectionName_;
    QDBusConnection connection_;
    bool serving_ = false;
    std::vector<std::unique_ptr<QObject>> exported_;
    std::vector<int> inhibitors_;  // the fake's read ends
    QStringList modes_;
    QStringList brightness_;
    bool refusesBrightness_ = false;
};

// org.freedesktop.login1.Manager
class FakeLogindManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    explicit FakeLogindManager(FakeLogind& logind) : logind_(logind) {}

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode);
    QDBusObjectPath GetSession(const QString& id);

private:
    FakeLogind& logind_;
};

// org.freedesktop.login1.Session
class FakeLogindSession final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(bool Active READ active)

public:
    explicit FakeLogindSession(FakeLogind& logind) : logind_(logind) {}
    QString id() const { return QStringLiteral("31"); }
    bool active() const { return true; }

public Q_SLOTS:
    void SetBrightness(const QString& subsystem, const QString& name, uint value);

private:
    FakeLogind& logind_;
};

}  // namespace glidra::test
