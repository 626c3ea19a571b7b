#pragma once

#include "platform/linux/DesktopWindowBridge.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QJsonObject>
#include <QTimer>

#include <deque>

namespace glidra::linux_platform {

// The program's KWin script. A KWin script cannot own a bus name or answer
// calls; it can only call out. So the program serves it: the script reports
// the active window to this object whenever it changes, and fetches the
// window requests by a call that stays unanswered until there is one (or a
// while passed, so that the script's call never times out). Requests are
// handed over without waiting for the script; the frame then read is the one
// asked for, as far as the window's minimum size allows, until the script
// reports the real one.
//
// The script is loaded through KWin's scripting interface unless KWin already
// runs it (the user enabled it in KWin's settings), and unloaded again when
// the program ends.
class KWinScriptWindowBridge final : public DesktopWindowBridge, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.glidra.Glidra.KWin1")

public:
    static constexpr const char* kService = "io.github.glidra.Glidra.KWin";
    static constexpr const char* kPath = "/io/github/glidra/Glidra/KWin";
    static constexpr const char* kScriptName = "glidra";
    // Below D-Bus's default limit of 25 s for a call.
    static constexpr int kHoldMilliseconds = 20'000;
    // A script that does not call again this soon after an answer has
    // stopped (unloaded, or KWin's scripting failed).
    static constexpr int kReturnMilliseconds = 5'000;

    // `scriptPath` is the script's main.js; empty when it is not installed,
    // and then only a script KWin runs already is used.
    KWinScriptWindowBridge(QDBusConnection bus, QString scriptPath, QObject* parent = nullptr);
    ~KWinScriptWindowBridge() override;

    bool isConnected() const override { return connected_; }
    std::optional<DesktopWindow> focusedWindow() const override { return focused_; }
    std::optional<QRectF> frame(std::uint64_t window) override;
    bool moveResize(std::uint64_t window, const QRect& frame) override;
    bool maximize(std::uint64_t window) override;
    bool minimize(std::uint64_t window) override;
    bool close(std::uint64_t window) override;
    bool activateProcess(std::int32_t processIdentifier) override;
    bool minimizeProcess(std::int32_t processIdentifier) override;

    // The script's side, as JSON texts: KWin's callDBus converts plain
    // strings the same way on every version.
public Q_SLOTS:
    Q_SCRIPTABLE void Report(const QString& window);
    Q_SCRIPTABLE QString TakeRequest();

private:
    void loadScript();
    void setConnected(bool connected);
    std::uint64_t handleOf(const QString& scriptId);
    bool request(QJsonObject request);
    void answerHeldCall(const QString& request);

    QDBusConnection bus_;
    QString scriptPath_;
    QDBusServiceWatcher kwin_;
    bool registered_ = false;
    bool loadedByUs_ = false;
    bool connected_ = false;
    std::optional<DesktopWindow> focused_;
    // The script's window ids ("{uuid}") and our handles for them.
    QHash<QString, std::uint64_t> handles_;
    QHash<std::uint64_t, QString> scriptIds_;
    std::uint64_t nextHandle_ = 1;
    std::deque<QString> queued_;
    std::optional<QDBusMessage> held_;
    QTimer holdTimer_;
    QTimer returnTimer_;
};

}  // namespace glidra::linux_platform
