#include "platform/linux/KWinScriptWindowBridge.h"

#include "platform/LogCategories.h"
#include "platform/linux/DBusCall.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QPointer>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

const QString kKWinService = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");

// Handles of windows seen over a long session; forgotten in one go.
constexpr qsizetype kRememberedWindows = 1024;

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QDBusMessage scriptingCall(const QString& method, const QList<QVariant>& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(kKWinService, kScriptingPath, kScriptingInterface, method);
    message.setArguments(arguments);
    return message;
}

}  // namespace

KWinScriptWindowBridge::KWinScriptWindowBridge(QDBusConnection bus, QString scriptPath, QObject* parent)
    : DesktopWindowBridge(parent),
      bus_(std::move(bus)),
      scriptPath_(std::move(scriptPath)),
      kwin_(kKWinService, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    holdTimer_.setSingleShot(true);
    holdTimer_.setInterval(kHoldMilliseconds);
    connect(&holdTimer_, &QTimer::timeout, this, [this] { answerHeldCall(QStringLiteral("{}")); });
    returnTimer_.setSingleShot(true);
    returnTimer_.setInterval(kReturnMilliseconds);
    connect(&returnTimer_, &QTimer::timeout, this, [this] { setConnected(false); });
    if (!bus_.isConnected()) return;
    registered_ = bus_.registerObject(QString::fromLatin1(kPath), this, QDBusConnection::ExportScriptableSlots) &&
                  bus_.registerService(QString::fromLatin1(kService));
    if (!registered_) {
        qCWarning(lcServices) << "cannot serve the KWin script on the session bus:" << bus_.lastError().message();
        return;
    }
    connect(&kwin_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                // A new KWin runs no script of ours yet.
                kwinOwner_ = newOwner;
                setConnected(false);
                answerHeldCall(QStringLiteral("{}"));
                loadedByUs_ = false;
                if (!newOwner.isEmpty()) {
                    auto bringing = bringUpScript();
                    Q_UNUSED(bringing);
                }
            });
    auto bringing = bringUpScript();
    Q_UNUSED(bringing);
}

KWinScriptWindowBridge::~KWinScriptWindowBridge() {
    for (auto& [id, outcome] : std::exchange(awaiting_, {})) outcome.resolve(std::nullopt);
    if (!registered_) return;
    answerHeldCall(QStringLiteral("{}"));
    if (loadedByUs_) bus_.send(scriptingCall(QStringLiteral("unloadScript"), {QString::fromLatin1(kLoadedName)}));
    bus_.unregisterService(QString::fromLatin1(kService));
    bus_.unregisterObject(QString::fromLatin1(kPath));
}

QCoro::Task<std::optional<QList<QVariant>>> KWinScriptWindowBridge::scripting(QString method,
                                                                              QList<QVariant> arguments) {
    auto calling = callDBus(bus_, DBusMethod{kKWinService, kScriptingPath, kScriptingInterface, std::move(method)},
                            std::move(arguments));
    co_return co_await calling;
}

QCoro::Task<bool> KWinScriptWindowBridge::isLoaded(QString name) {
    auto asking = scripting(QStringLiteral("isScriptLoaded"), {std::move(name)});
    const auto reply = co_await asking;
    co_return reply && !reply->isEmpty() && reply->constFirst().toBool();
}

// Loads the script afresh and runs it; nothing waits for KWin meanwhile.
QCoro::Task<void> KWinScriptWindowBridge::bringUpScript() {
    const QPointer<KWinScriptWindowBridge> self(this);
    const quint64 run = ++bringing_;
    const auto current = [&] { return self && run == bringing_; };
    const QString ours = QString::fromLatin1(kLoadedName);
    const QString package = QString::fromLatin1(kScriptName);

    auto askingOwn = isLoaded(ours);
    const bool ownLoaded = co_await askingOwn;
    if (!current()) co_return;
    if (ownLoaded) {
        // Left by an earlier run that ended without unloading it.
        auto unloading = scripting(QStringLiteral("unloadScript"), {ours});
        co_await unloading;
        if (!current()) co_return;
    }
    auto askingPackage = isLoaded(package);
    const bool packageLoaded = co_await askingPackage;
    if (!current()) co_return;
    if (packageLoaded && !scriptPath_.isEmpty()) {
        // The user switched the script on in KWin's settings: KWin keeps it,
        // loaded again from the same file.
        auto unloading = scripting(QStringLiteral("unloadScript"), {package});
        co_await unloading;
        if (!current()) co_return;
        auto loading = scripting(QStringLiteral("loadScript"), {scriptPath_, package});
        co_await loading;
        if (!current()) co_return;
        auto starting = scripting(QStringLiteral("start"), {});
        co_await starting;
        if (!current()) co_return;
        auto checking = isLoaded(package);
        if (co_await checking) co_return;
        if (!current()) co_return;
        // Switched off meanwhile: load our own copy.
    } else if (packageLoaded) {
        co_return;
    }
    if (scriptPath_.isEmpty()) {
        qCWarning(lcServices) << "the KWin script is not installed";
        co_return;
    }
    auto loading = scripting(QStringLiteral("loadScript"), {scriptPath_, ours});
    const auto loaded = co_await loading;
    if (!current()) co_return;
    if (!loaded || loaded->isEmpty() || loaded->constFirst().toInt() < 0) {
        qCWarning(lcServices) << "KWin did not load" << scriptPath_;
        co_return;
    }
    loadedByUs_ = true;
    auto starting = scripting(QStringLiteral("start"), {});
    co_await starting;
    if (!current()) co_return;
    auto checking = isLoaded(ours);
    const bool kept = co_await checking;
    if (!current()) co_return;
    if (!kept) qCWarning(lcServices) << "KWin unloaded the script" << scriptPath_ << "when it started its scripts";
}

bool KWinScriptWindowBridge::fromKWin() {
    if (kwinOwner_.isEmpty()) kwinOwner_ = bus_.interface()->serviceOwner(kKWinService).value();
    if (!kwinOwner_.isEmpty() && message().service() == kwinOwner_) return true;
    qCWarning(lcServices).noquote() << "ignored a call for the KWin script from" << message().service()
                                    << "which is not KWin";
    sendErrorReply(QDBusError::AccessDenied, QStringLiteral("only KWin's script is served here"));
    return false;
}

void KWinScriptWindowBridge::setConnected(bool connected) {
    if (!connected) {
        // Requests the script never took are not carried out later.
        focused_.reset();
        queued_.clear();
        for (auto& [id, outcome] : std::exchange(awaiting_, {})) outcome.resolve(std::nullopt);
    }
    if (connected == connected_) return;
    connected_ = connected;
    qCInfo(lcServices) << (connected ? "KWin script answers" : "KWin script gone");
    Q_EMIT connectionChanged();
    if (!connected) Q_EMIT focusedWindowChanged();
}

std::uint64_t KWinScriptWindowBridge::handleOf(const QString& scriptId) {
    if (const auto it = handles_.constFind(scriptId); it != handles_.constEnd()) return *it;
    if (handles_.size() >= kRememberedWindows) {
        handles_.clear();
        scriptIds_.clear();
    }
    const std::uint64_t handle = nextHandle_++;
    handles_.insert(scriptId, handle);
    scriptIds_.insert(handle, scriptId);
    return handle;
}

std::optional<DesktopWindow> KWinScriptWindowBridge::windowFrom(const QJsonObject& report) {
    const QString scriptId = report.value(QStringLiteral("id")).toString();
    if (scriptId.isEmpty()) return std::nullopt;
    DesktopWindow window;
    window.id = handleOf(scriptId);
    window.desktopEntry = report.value(QStringLiteral("desktopFile")).toString();
    window.resourceClass = report.value(QStringLiteral("resourceClass")).toString();
    const int pid = report.value(QStringLiteral("pid")).toInt();
    if (pid > 0) window.processIdentifier = pid;
    window.title = report.value(QStringLiteral("title")).toString();
    window.frame =
        QRectF(report.value(QStringLiteral("x")).toDouble(), report.value(QStringLiteral("y")).toDouble(),
               report.value(QStringLiteral("width")).toDouble(), report.value(QStringLiteral("height")).toDouble());
    window.fullScreen = report.value(QStringLiteral("fullScreen")).toBool();
    window.minimumSize = QSizeF(report.value(QStringLiteral("minWidth")).toDouble(),
                                report.value(QStringLiteral("minHeight")).toDouble());
    return window;
}

void KWinScriptWindowBridge::Report(const QString& window) {
    if (fromKWin()) takeReport(window);
}

void KWinScriptWindowBridge::takeReport(const QString& window) {
    const std::optional<DesktopWindow> described = windowFrom(QJsonDocument::fromJson(window.toUtf8()).object());
    setConnected(true);
    if (described == focused_) return;
    focused_ = described;
    Q_EMIT focusedWindowChanged();
}

QString KWinScriptWindowBridge::TakeRequest(const QString& outcome) {
    if (!fromKWin()) return {};
    returnTimer_.stop();
    setConnected(true);
    outcomeArrived(outcome);
    if (!queued_.empty()) {
        const QString next = queued_.front().text;
        queued_.pop_front();
        returnTimer_.start();
        return next;
    }
    // One call held at a time: another copy of the script asks now (the
    // user switched the package on beside ours), and the earlier one is told
    // to stop asking.
    if (held_) answerHeldCall(QStringLiteral(R"({"op":"stop"})"));
    returnTimer_.stop();
    setDelayedReply(true);
    held_ = message();
    holdTimer_.start();
    return {};
}

void KWinScriptWindowBridge::outcomeArrived(const QString& outcome) {
    if (outcome.isEmpty()) return;
    const QJsonObject result = QJsonDocument::fromJson(outcome.toUtf8()).object();
    const auto it = awaiting_.find(quint64(result.value(QStringLiteral("id")).toInteger()));
    if (it == awaiting_.end()) return;
    const Completion<Outcome> waiting = it->second;
    awaiting_.erase(it);
    // The window as the request left it: what a layout reads back next.
    if (const auto window = windowFrom(result.value(QStringLiteral("window")).toObject())) {
        if (focused_ && focused_->id == window->id && focused_ != window) {
            focused_ = window;
            Q_EMIT focusedWindowChanged();
        }
    }
    waiting.resolve(result);
}

void KWinScriptWindowBridge::giveUp(quint64 id) {
    const auto it = awaiting_.find(id);
    if (it == awaiting_.end()) return;
    const Completion<Outcome> waiting = it->second;
    awaiting_.erase(it);
    std::erase_if(queued_, [id](const Queued& queued) { return queued.id == id; });
    qCWarning(lcServices) << "the KWin script did not carry out a window request within" << kOutcomeMilliseconds
                          << "ms";
    waiting.resolve(std::nullopt);
}

void KWinScriptWindowBridge::answerHeldCall(const QString& request) {
    if (!held_) return;
    holdTimer_.stop();
    bus_.send(held_->createReply(request));
    held_.reset();
    returnTimer_.start();
}

QCoro::Task<KWinScriptWindowBridge::Outcome> KWinScriptWindowBridge::request(QJsonObject request) {
    if (!connected_) co_return std::nullopt;
    const quint64 id = ++nextRequest_;
    request.insert(QStringLiteral("id"), qint64(id));
    const Completion<Outcome> outcome;
    awaiting_.emplace(id, outcome);
    const QString text = compact(request);
    if (held_) {
        answerHeldCall(text);
    } else {
        queued_.push_back({id, text});
    }
    QTimer::singleShot(kOutcomeMilliseconds, this, [this, id] { giveUp(id); });
    // Whoever resolves it (the outcome, the limit, the script or the bridge
    // going) has let go of it: nothing of the bridge is touched after this.
    co_return co_await outcome;
}

QCoro::Task<bool> KWinScriptWindowBridge::done(QJsonObject request) {
    auto requesting = this->request(std::move(request));
    const Outcome outcome = co_await requesting;
    co_return outcome && outcome->value(QStringLiteral("done")).toBool();
}

QCoro::Task<std::optional<QRectF>> KWinScriptWindowBridge::frame(std::uint64_t window) {
    if (!focused_ || focused_->id != window) co_return std::nullopt;
    co_return focused_->frame;
}

QCoro::Task<bool> KWinScriptWindowBridge::moveResize(std::uint64_t window, QRect frame) {
    const QString scriptId = scriptIds_.value(window);
    if (scriptId.isEmpty()) co_return false;
    auto moving = done({{QStringLiteral("op"), QStringLiteral("moveResize")},
                        {QStringLiteral("window"), scriptId},
                        {QStringLiteral("x"), frame.x()},
                        {QStringLiteral("y"), frame.y()},
                        {QStringLiteral("width"), frame.width()},
                        {QStringLiteral("height"), frame.height()}});
    co_return co_await moving;
}

QCoro::Task<bool> KWinScriptWindowBridge::maximize(std::uint64_t window) {
    const QString scriptId = scriptIds_.value(window);
    if (scriptId.isEmpty()) co_return false;
    auto maximizing = done({{QStringLiteral("op"), QStringLiteral("maximize")}, {QStringLiteral("window"), scriptId}});
    co_return co_await maximizing;
}

QCoro::Task<bool> KWinScriptWindowBridge::minimize(std::uint64_t window) {
    const QString scriptId = scriptIds_.value(window);
    if (scriptId.isEmpty()) co_return false;
    auto minimizing = done({{QStringLiteral("op"), QStringLiteral("minimize")}, {QStringLiteral("window"), scriptId}});
    co_return co_await minimizing;
}

QCoro::Task<bool> KWinScriptWindowBridge::close(std::uint64_t window) {
    const QString scriptId = scriptIds_.value(window);
    if (scriptId.isEmpty()) co_return false;
    auto closing = done({{QStringLiteral("op"), QStringLiteral("close")}, {QStringLiteral("window"), scriptId}});
    co_return co_await closing;
}

QCoro::Task<bool> KWinScriptWindowBridge::activateProcess(std::int32_t processIdentifier) {
    auto activating =
        done({{QStringLiteral("op"), QStringLiteral("activateProcess")}, {QStringLiteral("pid"), processIdentifier}});
    co_return co_await activating;
}

QCoro::Task<bool> KWinScriptWindowBridge::minimizeProcess(std::int32_t processIdentifier) {
    auto minimizing =
        done({{QStringLiteral("op"), QStringLiteral("minimizeProcess")}, {QStringLiteral("pid"), processIdentifier}});
    co_return co_await minimizing;
}

}  // namespace glidra::linux_platform
