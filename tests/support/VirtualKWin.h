#pragma once

#include "support/DesktopSession.h"
#include "support/SpawnedProcess.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace glidra::test {

// The real KWin of the machine (kwin_wayland --virtual: a virtual output, no
// input devices) as the compositor of a DesktopSession, on its session bus.
// The packaged binary carries a file capability (cap_sys_resource), which
// some containers refuse to execute; a copy without it runs anywhere. Tests
// skip where kwin_wayland is not installed.
class VirtualKWin {
public:
    static constexpr int kStartMilliseconds = 20'000;

    VirtualKWin(DesktopSession& session, QSize output = QSize(1280, 800));
    ~VirtualKWin();
    VirtualKWin(const VirtualKWin&) = delete;
    VirtualKWin& operator=(const VirtualKWin&) = delete;

    bool isRunning() const { return failure_.isEmpty(); }
    const QString& failure() const { return failure_; }
    const QByteArray& waylandDisplay() const { return waylandDisplay_; }
    // The variables that put a program of the session on this desktop.
    QList<QByteArray> desktopEnvironment() const;
    QByteArray log() const { return kwin_.log(); }

    // Through KWin's scripting interface.
    bool isScriptLoaded(const QString& name);
    // A window as KWin describes it (getWindowInfo): its frame and whether
    // it is minimised; nothing when KWin knows no such window.
    struct WindowInfo {
        QRectF frame;
        bool minimized = false;
        QString desktopFile;
    };
    std::optional<WindowInfo> window(const QString& internalId);
    // The internal ids of KWin's normal windows of `desktopFile`, asked of a
    // script of the test's, which KWin runs for the question.
    std::optional<QStringList> windowsOf(const QString& desktopFile);
    // Gives the window the focus, as a click on it does.
    bool activate(const QString& internalId);
    // The internal id of the window with the focus; empty for none.
    std::optional<QString> activeWindow();

private:
    // Runs `body` as a KWin script of its own, in which answer(value) hands
    // a value back; that value as JSON.
    std::optional<QByteArray> runScript(const QByteArray& body);

    DesktopSession& session_;
    QTemporaryDir copy_;
    SpawnedProcess kwin_;
    QByteArray waylandDisplay_;
    std::optional<QDBusConnection> bus_;
    int questions_ = 0;
    QString failure_;
};

}  // namespace glidra::test
