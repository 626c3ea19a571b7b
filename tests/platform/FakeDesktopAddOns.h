#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QMutex>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace glidra::test {

// The program's GNOME Shell extension as the shell runs it: one focused
// window, moved and resized as asked within its minimum size, a signal on
// every change, and the switch for the shell's own swipes. Served from a
// FakeServiceHost thread; the test reads and sets it from its own.
class FakeShellExtension final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.glidra.Glidra.Shell1")

public:
    struct Window {
        qulonglong id = 0;
        QString appId;
        QString resourceClass;
        int pid = 0;
        QString title;
        QRect frame;
        bool fullScreen = false;
        QSize minimumSize;
    };

    explicit FakeShellExtension(QDBusConnection bus) : bus_(std::move(bus)) {}

    // Focuses `window` (none for nothing) and says so on the bus.
    void focus(std::optional<Window> window);
    // Every call the program made, as "Method(arguments)".
    QStringList calls() const;
    bool swipesDisabled() const;

public Q_SLOTS:
    Q_SCRIPTABLE QVariantMap GetState();
    Q_SCRIPTABLE QVariantMap GetWindow(qulonglong id);
    Q_SCRIPTABLE bool MoveResize(qulonglong id, int x, int y, int width, int height);
    Q_SCRIPTABLE bool Maximize(qulonglong id);
    Q_SCRIPTABLE bool Minimize(qulonglong id);
    Q_SCRIPTABLE bool Close(qulonglong id);
    Q_SCRIPTABLE bool ActivateProcess(int pid);
    Q_SCRIPTABLE bool MinimizeProcess(int pid);
    Q_SCRIPTABLE bool SetSwipeGesturesDisabled(bool disabled);

private:
    QVariantMap describe(const std::optional<Window>& window) const;
    bool record(const QString& call, qulonglong id);
    void announce();

    QDBusConnection bus_;
    mutable QMutex mutex_;
    std::optional<Window> focused_;
    QStringList calls_;
    bool swipesDisabled_ = false;
};

// KWin's scripting interface: which scripts are loaded, and what was asked.
class FakeKWinScripting final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    QStringList calls() const;
    void setLoaded(bool loaded);

public Q_SLOTS:
    Q_SCRIPTABLE bool isScriptLoaded(const QString& name);
    Q_SCRIPTABLE int loadScript(const QString& path, const QString& name);
    Q_SCRIPTABLE void start();
    Q_SCRIPTABLE bool unloadScript(const QString& name);

private:
    mutable QMutex mutex_;
    QStringList calls_;
    bool loaded_ = false;
};

}  // namespace glidra::test
