#pragma once

#include "support/FakeDesktopServices.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QMutex>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QVariantMap>

#include <map>
#include <optional>
#include <vector>

namespace glidra::test {

// The program's GNOME Shell extension as the shell runs it: one focused
// window, moved and resized as asked within its minimum size (and answering
// whether it got there), the switch for the shell's own swipes, and the
// extension's trust: it answers and signals only the owner of the program's
// bus name, and refuses everyone else. Served from a FakeServiceHost thread;
// the test reads and sets it from its own.
class FakeShellExtension final : public QObject, protected QDBusContext {
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

    // Focuses `window` (none for nothing) and tells the program.
    void focus(std::optional<Window> window);
    // The shell turned its swipes back on by itself, and says so.
    void turnSwipesOn();
    // Every call the program made, as "Method(arguments)".
    QStringList calls() const;
    // Calls refused to programs other than the owner of the program's name.
    int refusals() const;
    bool swipesDisabled() const;
    // MoveResize is answered only by answerMoves() while set.
    void setAnswersLater(bool later);
    void answerMoves();
    std::size_t unansweredMoves() const;

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
    QVariantMap state() const;
    // Whether the caller owns the program's name; refuses it when not.
    bool allowed();
    bool record(const QString& call, qulonglong id);
    void tellProgram(const QString& signal, const QVariantMap& argument);
    void announce();

    QDBusConnection bus_;
    mutable QMutex mutex_;
    std::optional<Window> focused_;
    QStringList calls_;
    int refusals_ = 0;
    bool swipesDisabled_ = false;
    bool answersLater_ = false;
    std::vector<HeldCall> held_;
};

// KWin's scripting interface as KWin 5.27 keeps it: the scripts loaded by
// name, the installed script packages with the user's choice for each, and
// start(), which runs the loaded scripts, loads the packages switched on and
// unloads every loaded script whose name is that of an installed package the
// user has not switched on.
class FakeKWinScripting final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    QStringList calls() const;
    // The names of the loaded scripts, sorted.
    QStringList loaded() const;
    // A script loaded under `name` (as KWin loads the packages switched on).
    void setLoaded(const QString& name, const QString& path);
    // An installed package `id` at `path`, switched on in KWin's settings or
    // not (an entry "<id>Enabled" in kwinrc, or the package's own default).
    void install(const QString& id, const QString& path, bool enabled);

public Q_SLOTS:
    Q_SCRIPTABLE bool isScriptLoaded(const QString& name);
    Q_SCRIPTABLE int loadScript(const QString& path, const QString& name);
    Q_SCRIPTABLE void start();
    Q_SCRIPTABLE bool unloadScript(const QString& name);

private:
    struct Package {
        QString path;
        bool enabled = false;
    };

    mutable QMutex mutex_;
    QStringList calls_;
    std::map<QString, QString> loaded_;  // name -> path
    std::map<QString, Package> installed_;
    int nextId_ = 0;
};

}  // namespace glidra::test
