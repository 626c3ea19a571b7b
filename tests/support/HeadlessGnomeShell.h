#pragma once

#include "support/DesktopSession.h"
#include "support/FakeLogind.h"
#include "support/PrivateSessionBus.h"
#include "support/SpawnedProcess.h"

#include <QJsonValue>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace glidra::test {

// The real GNOME Shell of the machine, headless (a virtual monitor, no input
// devices), as the compositor of a DesktopSession: a Wayland display for the
// session's programs, the shell's own services on the session bus, a private
// system bus with a small fake logind, its settings in a keyfile of the
// session's own. The extensions named are switched on through
// org.gnome.shell enabled-extensions, as the Extensions application does;
// one of the user's own is installed first with installExtension().
//
// Unsafe mode is on, so that tests read the shell's own state through Eval.
// Tests skip where gnome-shell is not installed.
//
//   HeadlessGnomeShell shell(session, {uuid, HeadlessGnomeShell::appIndicatorUuid()});
//   if (!shell.isRunning()) GTEST_SKIP() << shell.failure().toStdString();
//   shell.eval("global.display.focus_window?.get_title()");
//
// A tray check uses the AppIndicator extension's StatusNotifier watcher,
// which comes and goes with setExtensionEnabled().
class HeadlessGnomeShell {
public:
    // The AppIndicator extension (a StatusNotifier watcher and host) as it
    // is installed here: upstream's uuid, or the one Debian 12's
    // gnome-shell-extension-appindicator installs; empty when neither is.
    static QString appIndicatorUuid();
    // The shell takes a few seconds to start and switch its extensions on.
    static constexpr int kStartMilliseconds = 30'000;

    // Copies the extension folder `source` into the user's extensions, under
    // its uuid; call before starting the shell.
    static bool installExtension(DesktopSession& session, const QString& source, const QString& uuid);

    // `settings`: more of the user's settings, as keyfile groups
    // ("[org/gnome/desktop/app-folders]\nfolder-children=['A']\n").
    HeadlessGnomeShell(DesktopSession& session, QStringList extensions, const QByteArray& settings = {},
                       QSize monitor = QSize(1366, 768));
    ~HeadlessGnomeShell();
    HeadlessGnomeShell(const HeadlessGnomeShell&) = delete;
    HeadlessGnomeShell& operator=(const HeadlessGnomeShell&) = delete;

    bool isRunning() const { return failure_.isEmpty(); }
    const QString& failure() const { return failure_; }
    // The Wayland display for the session's programs (WAYLAND_DISPLAY).
    const QByteArray& waylandDisplay() const { return waylandDisplay_; }
    // The variables that put a program of the session on this desktop.
    QList<QByteArray> desktopEnvironment() const;
    // The shell's log so far.
    QByteArray log() const { return shell_.log(); }

    // Runs JavaScript in the shell (where Gio, GLib, Meta, Shell and Main are
    // in scope); its value, nothing when it threw or the shell did not
    // answer.
    std::optional<QJsonValue> eval(const QString& script);
    // The extension's state as the shell reports it (1 enabled, 2 disabled,
    // 3 error...); nothing when the shell does not know it.
    std::optional<int> extensionState(const QString& uuid);
    bool setExtensionEnabled(const QString& uuid, bool enabled);

private:
    QDBusConnection& bus();

    DesktopSession& session_;
    std::unique_ptr<PrivateSessionBus> systemBus_;
    std::unique_ptr<FakeLogind> logind_;
    std::optional<QDBusConnection> bus_;
    SpawnedProcess shell_;
    QByteArray waylandDisplay_;
    QString failure_;
};

}  // namespace glidra::test
