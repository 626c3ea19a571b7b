#include "platform/linux/KWinScriptWindowBridge.h"

#include "platform/LogCategories.h"

#include <QDBusPendingCallWatcher>
#include <QJsonDocument>
#include <QLoggingCategory>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

const QString kKWinService = QStringLiteral("org.kde.KWin");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");

// Handles of windows seen over a long session; forgotten in one go.
constexpr qsizetype kRememberedWindows = 1024;

QDBusMessage scripting(const QString& method, const QList<QVariant>& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(kKWinService, kScriptingPath, kScriptingInterface, method);
    message.setArguments(arguments);
    return message;
}

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
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
                setConnected(false);
                held_.reset();
                loadedByUs_ = false;
                if (!newOwner.isEmpty()) loadScript();
            });
    loadScript();
}

KWinScriptWindowBridge::~KWinScriptWindowBridge() {
    if (!registered_) return;
    answerHeldCall(QStringLiteral("{}"));
    if (loadedByUs_) bus_.send(scripting(QStringLiteral("unloadScript"), {QString::fromLatin1(kScriptName)}));
    bus_.unregisterService(QString::fromLatin1(kService));
    bus_.unregisterObject(QString::fromLatin1(kPath));
}

// Asks KWin whether it runs the script, and loads and starts it when not;
// nothing waits for the answers.
void KWinScriptWindowBridge::loadScript() {
    auto* asked = new QDBusPendingCallWatcher(
        bus_.asyncCall(scripting(QStringLiteral("isScriptLoaded"), {QString::fromLatin1(kScriptName)})), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusMessage reply = answer->reply();
        if (reply.type() != QDBusMessage::ReplyMessage) return;  // no KWin here
        if (!reply.arguments().isEmpty() && reply.arguments().constFirst().toBool()) return;
        if (scriptPath_.isEmpty()) {
            qCWarning(lcServices) << "the KWin script is not installed";
            return;
        }
        auto* loading = new QDBusPendingCallWatcher(
            bus_.asyncCall(scripting(QStringLiteral("loadScript"), {scriptPath_, QString::fromLatin1(kScriptName)})),
            this);
        connect(loading, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* loaded) {
            loaded->deleteLater();
            const QDBusMessage reply = loaded->reply();
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
                reply.arguments().constFirst().toInt() < 0) {
                qCWarning(lcServices) << "KWin did not load" << scriptPath_ << reply.errorMessage();
                return;
            }
            loadedByUs_ = true;
            bus_.send(scripting(QStringLiteral("start")));
        });
    });
}

void KWinScriptWindowBridge::setConnected(bool connected) {
    if (!connected) {
        // Requests the script never took are not carried out later.
        focused_.reset();
        queued_.clear();
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

void KWinScriptWindowBridge::Report(const QString& window) {
    const QJsonObject report = QJsonDocument::fromJson(window.toUtf8()).object();
    std::optional<DesktopWindow> described;
    const QString scriptId = report.value(QStringLiteral("id")).toString();
    if (!scriptId.isEmpty()) {
        DesktopWindow next;
        next.id = handleOf(scriptId);
        next.desktopEntry = report.value(QStringLiteral("desktopFile")).toString();
        next.resourceClass = report.value(QStringLiteral("resourceClass")).toString();
        const int pid = report.value(QStringLiteral("pid")).toInt();
        if (pid > 0) next.processIdentifier = pid;
        next.title = report.value(QStringLiteral("title")).toString();
        next.frame =
            QRectF(report.value(QStringLiteral("x")).toDouble(), report.value(QStringLiteral("y")).toDouble(),
                   report.value(QStringLiteral("width")).toDouble(), report.value(QStringLiteral("height")).toDouble());
        next.fullScreen = report.value(QStringLiteral("fullScreen")).toBool();
        next.minimumSize = QSizeF(report.value(QStringLiteral("minWidth")).toDouble(),
                                  report.value(QStringLiteral("minHeight")).toDouble());
        described = next;
    }
    setConnected(true);
    if (described == focused_) return;
    focused_ = described;
    Q_EMIT focusedWindowChanged();
}

QString KWinScriptWindowBridge::TakeRequest() {
    returnTimer_.stop();
    setConnected(true);
    if (!queued_.empty()) {
        QString next = queued_.front();
        queued_.pop_front();
        returnTimer_.start();
        return next;
    }
    // One call held at a time: a script that started again replaces its
    // earlier call, which is let go empty.
    answerHeldCall(QStringLiteral("{}"));
    returnTimer_.stop();
    setDelayedReply(true);
    held_ = message();
    holdTimer_.start();
    return {};
}

void KWinScriptWindowBridge::answerHeldCall(const QString& request) {
    if (!held_) return;
    holdTimer_.stop();
    bus_.send(held_->createReply(request));
    held_.reset();
    returnTimer_.start();
}

bool KWinScriptWindowBridge::request(QJsonObject request) {
    if (!connected_) return false;
    const QString text = compact(request);
    if (held_) {
        answerHeldCall(text);
    } else {
        queued_.push_back(text);
    }
    return true;
}

std::optional<QRectF> KWinScriptWindowBridge::frame(std::uint64_t window) {
    if (!focused_ || focused_->id != window) return std::nullopt;
    return focused_->frame;
}

bool KWinScriptWindowBridge::moveResize(std::uint64_t window, const QRect& frame) {
    const QString scriptId = scriptIds_.value(window);
    if (scriptId.isEmpty()) return false;
    if (!request({{QStringLiteral("op"), QStringLiteral("moveResize")},
                  {QStringLiteral("window"), scriptId},
                  {QStringLiteral("x"), frame.x()},
                  {QStringLiteral("y"), frame.y()},
                  {QStringLiteral("width"), frame.width()},
                  {QStringLiteral("height"), frame.height()}})) {
        return false;
    }
    if (focused_ && focused_->id == window) {
        // KWin sets the frame as asked, within the window's minimum size.
        const QSizeF least = focused_->minimumSize;
        focused_->frame = QRectF(frame.x(), frame.y(), std::max<double>(frame.width(), least.width()),
                                 std::max<double>(frame.height(), least.height()));
    }
    return true;
}

bool KWinScriptWindowBridge::maximize(std::uint64_t window) {
    const QString scriptId = scriptIds_.value(window);
    return !scriptId.isEmpty() &&
           request({{QStringLiteral("op"), QStringLiteral("maximize")}, {QStringLiteral("window"), scriptId}});
}

bool KWinScriptWindowBridge::minimize(std::uint64_t window) {
    const QString scriptId = scriptIds_.value(window);
    return !scriptId.isEmpty() &&
           request({{QStringLiteral("op"), QStringLiteral("minimize")}, {QStringLiteral("window"), scriptId}});
}

bool KWinScriptWindowBridge::close(std::uint64_t window) {
    const QString scriptId = scriptIds_.value(window);
    return !scriptId.isEmpty() &&
           request({{QStringLiteral("op"), QStringLiteral("close")}, {QStringLiteral("window"), scriptId}});
}

bool KWinScriptWindowBridge::activateProcess(std::int32_t processIdentifier) {
    return request(
        {{QStringLiteral("op"), QStringLiteral("activateProcess")}, {QStringLiteral("pid"), processIdentifier}});
}

bool KWinScriptWindowBridge::minimizeProcess(std::int32_t processIdentifier) {
    return request(
        {{QStringLiteral("op"), QStringLiteral("minimizeProcess")}, {QStringLiteral("pid"), processIdentifier}});
}

}  // namespace glidra::linux_platform
