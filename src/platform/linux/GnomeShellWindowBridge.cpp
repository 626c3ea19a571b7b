#include "platform/linux/GnomeShellWindowBridge.h"

#include "platform/LogCategories.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QLoggingCategory>

namespace glidra::linux_platform {

namespace {

QVariantMap mapFrom(const QVariant& value) { return qdbus_cast<QVariantMap>(value); }

}  // namespace

GnomeShellWindowBridge::GnomeShellWindowBridge(QDBusConnection bus, QObject* parent)
    : DesktopWindowBridge(parent),
      bus_(std::move(bus)),
      watcher_(QString::fromLatin1(kService), bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    if (!bus_.isConnected()) return;
    bus_.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                 QStringLiteral("FocusedWindowChanged"), this, SLOT(focusedWindowReported(QVariantMap)));
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                // The shell restarted, or the extension was switched off or on:
                // a new one has nothing of ours set yet.
                setConnected(false);
                if (!newOwner.isEmpty()) ask();
            });
    ask();
}

std::optional<DesktopWindow> GnomeShellWindowBridge::windowFrom(const QVariantMap& report) {
    const qulonglong id = report.value(QStringLiteral("id")).toULongLong();
    if (id == 0) return std::nullopt;
    DesktopWindow window;
    window.id = id;
    window.desktopEntry = report.value(QStringLiteral("app-id")).toString();
    window.resourceClass = report.value(QStringLiteral("resource-class")).toString();
    bool hasPid = false;
    const int pid = report.value(QStringLiteral("pid")).toInt(&hasPid);
    if (hasPid && pid > 0) window.processIdentifier = pid;
    window.title = report.value(QStringLiteral("title")).toString();
    window.frame =
        QRectF(report.value(QStringLiteral("x")).toInt(), report.value(QStringLiteral("y")).toInt(),
               report.value(QStringLiteral("width")).toInt(), report.value(QStringLiteral("height")).toInt());
    window.fullScreen = report.value(QStringLiteral("fullscreen")).toBool();
    return window;
}

// Asks for the focused window and what the extension can do, without
// waiting: the extension may have come up in a shell that is still busy.
void GnomeShellWindowBridge::ask() {
    const quint64 question = ++asking_;
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                          QString::fromLatin1(kInterface), QStringLiteral("GetState"));
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(message, kRequestTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, question](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        if (question != asking_) return;
        const QDBusMessage reply = answer->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            setConnected(false);
            return;
        }
        const QVariantMap state = mapFrom(reply.arguments().constFirst());
        swipesSupported_ = state.value(QStringLiteral("swipes-supported")).toBool();
        focused_ = windowFrom(mapFrom(state.value(QStringLiteral("focused-window"))));
        setConnected(true);
        Q_EMIT focusedWindowChanged();
    });
}

void GnomeShellWindowBridge::setConnected(bool connected) {
    if (!connected) focused_.reset();
    if (connected == connected_) return;
    connected_ = connected;
    qCInfo(lcServices) << (connected ? "GNOME Shell extension answers" : "GNOME Shell extension gone");
    Q_EMIT connectionChanged();
    if (!connected) Q_EMIT focusedWindowChanged();
}

void GnomeShellWindowBridge::focusedWindowReported(const QVariantMap& report) {
    auto window = windowFrom(report);
    if (!connected_) {
        // A report is an answer too; what else the extension can do is
        // asked again.
        ask();
    }
    if (window == focused_) return;
    focused_ = std::move(window);
    Q_EMIT focusedWindowChanged();
}

std::optional<QList<QVariant>> GnomeShellWindowBridge::call(const QString& method, const QList<QVariant>& arguments) {
    if (!connected_) return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                          QString::fromLatin1(kInterface), method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus_.call(message, QDBus::Block, kRequestTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qCWarning(lcServices) << "GNOME Shell extension did not do" << method << ":" << reply.errorMessage();
        return std::nullopt;
    }
    return reply.arguments();
}

bool GnomeShellWindowBridge::succeeded(const QString& method, const QList<QVariant>& arguments) {
    const auto reply = call(method, arguments);
    return reply && !reply->isEmpty() && reply->constFirst().toBool();
}

std::optional<QRectF> GnomeShellWindowBridge::frame(std::uint64_t window) {
    const auto reply = call(QStringLiteral("GetWindow"), {QVariant::fromValue(qulonglong(window))});
    if (!reply || reply->isEmpty()) return std::nullopt;
    const auto described = windowFrom(mapFrom(reply->constFirst()));
    if (!described) return std::nullopt;
    return described->frame;
}

bool GnomeShellWindowBridge::moveResize(std::uint64_t window, const QRect& frame) {
    return succeeded(QStringLiteral("MoveResize"),
                     {QVariant::fromValue(qulonglong(window)), frame.x(), frame.y(), frame.width(), frame.height()});
}

bool GnomeShellWindowBridge::maximize(std::uint64_t window) {
    return succeeded(QStringLiteral("Maximize"), {QVariant::fromValue(qulonglong(window))});
}

bool GnomeShellWindowBridge::minimize(std::uint64_t window) {
    return succeeded(QStringLiteral("Minimize"), {QVariant::fromValue(qulonglong(window))});
}

bool GnomeShellWindowBridge::close(std::uint64_t window) {
    return succeeded(QStringLiteral("Close"), {QVariant::fromValue(qulonglong(window))});
}

bool GnomeShellWindowBridge::activateProcess(std::int32_t processIdentifier) {
    return succeeded(QStringLiteral("ActivateProcess"), {processIdentifier});
}

bool GnomeShellWindowBridge::minimizeProcess(std::int32_t processIdentifier) {
    return succeeded(QStringLiteral("MinimizeProcess"), {processIdentifier});
}

bool GnomeShellWindowBridge::setSwipesOff(bool off) {
    return succeeded(QStringLiteral("SetSwipeGesturesDisabled"), {off});
}

}  // namespace glidra::linux_platform
