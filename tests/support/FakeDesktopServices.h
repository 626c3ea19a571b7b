#pragma once

#include "support/ServiceThread.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace glidra::test {

// A call a fake keeps back, to answer when the test says, as a slow service
// would.
struct HeldCall {
    QDBusConnection connection;
    QDBusMessage message;
};

// The freedesktop screen saver's inhibit calls, as desktops serve them.
class FakeScreenSaver final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    // The held inhibits: cookie -> (application, reason).
    std::map<uint, std::pair<QString, QString>> inhibits() const;
    // Inhibit calls get no answer at all while set.
    void setUnresponsive(bool unresponsive);
    // Inhibit calls are answered only by answerInhibits() while set.
    void setAnswersLater(bool later);
    // Grants every kept-back inhibit now, and answers with its cookie.
    void answerInhibits();
    std::size_t unansweredInhibits() const;

public Q_SLOTS:
    Q_SCRIPTABLE uint Inhibit(const QString& application, const QString& reason);
    Q_SCRIPTABLE void UnInhibit(uint cookie);

private:
    mutable QMutex mutex_;
    uint grant(const QString& application, const QString& reason);

    std::map<uint, std::pair<QString, QString>> inhibits_;
    uint nextCookie_ = 7;
    bool unresponsive_ = false;
    bool answersLater_ = false;
    std::vector<HeldCall> held_;
};

// UPower's keyboard backlight with whole-number levels.
class FakeKeyboardBacklight final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UPower.KbdBacklight")

public:
    explicit FakeKeyboardBacklight(int maximum, int level) : maximum_(maximum), level_(level) {}

    int level() const;
    // The system lighting the keyboard up, as on a key press.
    void setLevel(int level);
    int setCalls() const;
    // GetBrightness is answered only by answerReads() while set.
    void setAnswersLater(bool later);
    // Answers every kept-back read with the level now.
    void answerReads();
    std::size_t unansweredReads() const;

public Q_SLOTS:
    Q_SCRIPTABLE int GetMaxBrightness();
    Q_SCRIPTABLE int GetBrightness();
    Q_SCRIPTABLE void SetBrightness(int value);

private:
    mutable QMutex mutex_;
    int maximum_;
    int level_;
    int setCalls_ = 0;
    bool answersLater_ = false;
    std::vector<HeldCall> held_;
};

// GNOME Shell's overview switch.
class FakeGnomeShell final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell")
    Q_PROPERTY(bool OverviewActive READ overviewActive WRITE setOverviewActive)

public:
    bool overviewActive() const;
    void setOverviewActive(bool active);

private:
    mutable QMutex mutex_;
    bool overviewActive_ = false;
};

// KWin's component of the global shortcuts, which records what is invoked.
class FakeKWinShortcuts final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kglobalaccel.Component")

public:
    explicit FakeKWinShortcuts(QStringList names) : names_(std::move(names)) {}
    QStringList invoked() const;

public Q_SLOTS:
    Q_SCRIPTABLE QStringList shortcutNames() const;
    Q_SCRIPTABLE void invokeShortcut(const QString& name);

private:
    mutable QMutex mutex_;
    QStringList names_;
    QStringList invoked_;
};

// The session's pointer to its accessibility bus, as at-spi-bus-launcher
// serves it (org.a11y.Bus), with accessibility switched on (org.a11y.Status):
// Qt programs then publish their windows on that bus.
class FakeAccessibilityBus final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Bus")

public:
    explicit FakeAccessibilityBus(QString address);

public Q_SLOTS:
    Q_SCRIPTABLE QString GetAddress() const { return address_; }

private:
    const QString address_;
};

class FakeAccessibilityStatus final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool IsEnabled READ isEnabled)
    Q_PROPERTY(bool ScreenReaderEnabled READ isEnabled)

public:
    explicit FakeAccessibilityStatus(FakeAccessibilityBus* bus) : QDBusAbstractAdaptor(bus) {}
    bool isEnabled() const { return true; }
};

// Serves objects on the bus from a thread of their own, so that the adapters'
// blocking calls from the main thread get their answers. The thread starts
// with the first object served: serve every object before the first call.
class FakeServiceHost {
public:
    explicit FakeServiceHost(QDBusConnection bus);
    ~FakeServiceHost();

    // Takes the object, owns the service name and exports it at `path`.
    bool serve(const QString& service, const QString& path, std::unique_ptr<QObject> object);

private:
    QDBusConnection bus_;
    ServiceThread thread_;
    std::vector<std::unique_ptr<QObject>> objects_;
};

}  // namespace glidra::test
