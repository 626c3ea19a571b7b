#pragma once

#include "common/Completion.h"
#include "platform/linux/DesktopWindowBridge.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QJsonObject>
#include <QTimer>

#include <deque>
#include <map>

namespace glidra::linux_platform {

// The program's KWin script. A KWin script cannot own a bus name or answer
// calls; it can only call out. So the program serves it: the script reports
// the active window to this object whenever it changes, and fetches the
// window requests by a call that stays unanswered until there is one (or a
// while passed, so that the script's call never times out). Its next call
// says what came of the request; a request the script has not taken and
// carried out within kOutcomeMilliseconds failed. Only KWin itself (the owner
// of org.kde.KWin) is served.
//
// KWin's start() unloads every loaded script whose name is that of an
// installed script package the user has not switched on, so the program loads
// the script under a name of its own (kLoadedName), which KWin leaves alone,
// and unloads it again when the program ends. A script KWin runs because the
// user switched the package on (kScriptName) is used instead. Either is
// loaded afresh when the program starts: a copy left from an earlier run
// waits for an answer that never comes, and would ask again only at the next
// focus change.
class KWinScriptWindowBridge final : public DesktopWindowBridge, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.glidra.Glidra.KWin1")

public:
    static constexpr const char* kService = "io.github.glidra.Glidra.KWin";
    static constexpr const char* kPath = "/io/github/glidra/Glidra/KWin";
    // The installed package's id, as KWin's settings list it.
    static constexpr const char* kScriptName = "glidra";
    // The name the program loads the script under.
    static constexpr const char* kLoadedName = "io.github.glidra.Glidra";
    // Below D-Bus's default limit of 25 s for a call.
    static constexpr int kHoldMilliseconds = 20'000;
    // A script that does not call again this soon after an answer has
    // stopped (unloaded, or KWin's scripting failed).
    static constexpr int kReturnMilliseconds = 5'000;
    // A request is taken at once, and a window settles within a quarter of
    // a second.
    static constexpr int kOutcomeMilliseconds = 1'000;

    // `scriptPath` is the script's main.js; empty when it is not installed,
    // and then only a script KWin runs already is used.
    KWinScriptWindowBridge(QDBusConnection bus, QString scriptPath, QObject* parent = nullptr);
    ~KWinScriptWindowBridge() override;

    bool isConnected() const override { return connected_; }
    std::optional<DesktopWindow> focusedWindow() const override { return focused_; }
    QCoro::Task<std::optional<QRectF>> frame(std::uint64_t window) override;
    QCoro::Task<bool> moveResize(std::uint64_t window, QRect frame) override;
    QCoro::Task<bool> maximize(std::uint64_t window) override;
    QCoro::Task<bool> minimize(std::uint64_t window) override;
    QCoro::Task<bool> close(std::uint64_t window) override;
    QCoro::Task<bool> activateProcess(std::int32_t processIdentifier) override;
    QCoro::Task<bool> minimizeProcess(std::int32_t processIdentifier) override;

    // A report as the script sends it, once its sender is known to be KWin.
    void takeReport(const QString& window);

    // The script's side, as JSON texts: KWin's callDBus converts plain
    // strings the same way on every version.
public Q_SLOTS:
    Q_SCRIPTABLE void Report(const QString& window);
    // `outcome` says what came of the request handed over last.
    Q_SCRIPTABLE QString TakeRequest(const QString& outcome);

private:
    using Outcome = std::optional<QJsonObject>;
    struct Queued {
        quint64 id;
        QString text;
    };

    QCoro::Task<void> bringUpScript();
    QCoro::Task<std::optional<QList<QVariant>>> scripting(QString method, QList<QVariant> arguments);
    QCoro::Task<bool> isLoaded(QString name);
    // Whether the caller of the call being served is KWin; answers an error
    // to anyone else.
    bool fromKWin();
    void setConnected(bool connected);
    std::uint64_t handleOf(const QString& scriptId);
    std::optional<DesktopWindow> windowFrom(const QJsonObject& report);
    // What came of `request`; nothing when it was not carried out in time.
    QCoro::Task<Outcome> request(QJsonObject request);
    QCoro::Task<bool> done(QJsonObject request);
    void outcomeArrived(const QString& outcome);
    void giveUp(quint64 id);
    void answerHeldCall(const QString& request);

    QDBusConnection bus_;
    QString scriptPath_;
    QDBusServiceWatcher kwin_;
    // KWin's unique name; the only caller served.
    QString kwinOwner_;
    bool registered_ = false;
    bool loadedByUs_ = false;
    bool connected_ = false;
    // Counts the starts of bringUpScript, so that an older one stops.
    quint64 bringing_ = 0;
    std::optional<DesktopWindow> focused_;
    // The script's window ids ("{uuid}") and our handles for them.
    QHash<QString, std::uint64_t> handles_;
    QHash<std::uint64_t, QString> scriptIds_;
    std::uint64_t nextHandle_ = 1;
    quint64 nextRequest_ = 0;
    std::deque<Queued> queued_;
    // Requests handed over or queued, by id, until their outcome came.
    std::map<quint64, Completion<Outcome>> awaiting_;
    std::optional<QDBusMessage> held_;
    QTimer holdTimer_;
    QTimer returnTimer_;
};

}  // namespace glidra::linux_platform
