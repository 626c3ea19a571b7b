#include "platform/linux/GnomeShellWindowBridge.h"

#include "platform/LogCategories.h"
#include "platform/linux/DBusCall.h"

#include <QCoro/QCoroDBus>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QLoggingCategory>
#include <QPointer>

namespace glidra::linux_platform {

namespace {

QVariantMap mapFrom(const QVariant& value) { return qdbus_cast<QVariantMap>(value); }

// The unique name that owns `name`; empty when none does. A name without an
// owner is no failure here: the extension is often not switched on yet.
QCoro::Task<QString> ownerOf(QDBusConnection bus, QString name) {
    QDBusMessage asking =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    asking.setArguments({name});
    QDBusPendingCall pending = bus.asyncCall(asking, kDBusTimeoutMs);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) co_return QString();
    co_return reply.arguments().constFirst().toString();
}

}  // namespace

GnomeShellWindowBridge::GnomeShellWindowBridge(QDBusConnection bus, QObject* parent)
    : DesktopWindowBridge(parent), bus_(std::move(bus)) {
    if (!bus_.isConnected()) return;
    // The extension answers the owner of this name only.
    ownsClientName_ = bus_.registerService(QString::fromLatin1(kClientService));
    if (!ownsClientName_) {
        qCWarning(lcServices).noquote() << "cannot take the bus name" << kClientService
                                        << "(another program holds it): the GNOME Shell extension will not answer"
                                        << bus_.lastError().message();
    }
    // Signals count only when they come from the shell itself.
    const QString shell = QString::fromLatin1(kShellService);
    const QString path = QString::fromLatin1(kPath);
    const QString interface = QString::fromLatin1(kInterface);
    bus_.connect(shell, path, interface, QStringLiteral("FocusedWindowChanged"), this,
                 SLOT(focusedWindowReported(QVariantMap)));
    bus_.connect(shell, path, interface, QStringLiteral("StateChanged"), this, SLOT(stateReported(QVariantMap)));
    watcher_.setConnection(bus_);
    watcher_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    watcher_.addWatchedService(QString::fromLatin1(kService));
    watcher_.addWatchedService(QString::fromLatin1(kShellService));
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString& service, const QString&, const QString& newOwner) {
                if (service == QLatin1String(kService)) {
                    ++extensionOwnerChanges_;
                    extensionOwner_ = newOwner;
                } else {
                    ++shellOwnerChanges_;
                    shellOwner_ = newOwner;
                }
                // The shell restarted, or the extension was switched off or
                // on: a new one has nothing of ours set yet.
                setConnected(false);
                ownersChanged();
            });
    auto following = followOwners();
    Q_UNUSED(following);
}

GnomeShellWindowBridge::~GnomeShellWindowBridge() {
    // The extension gives the swipes back once the name is free.
    if (ownsClientName_) bus_.unregisterService(QString::fromLatin1(kClientService));
}

// Who owns the two names now; the watcher reports every change from here on.
QCoro::Task<void> GnomeShellWindowBridge::followOwners() {
    const QPointer<GnomeShellWindowBridge> self(this);
    const quint64 extensionChanges = extensionOwnerChanges_;
    const quint64 shellChanges = shellOwnerChanges_;
    auto askingExtension = ownerOf(bus_, QString::fromLatin1(kService));
    const QString extension = co_await askingExtension;
    if (!self) co_return;
    auto askingShell = ownerOf(bus_, QString::fromLatin1(kShellService));
    const QString shell = co_await askingShell;
    if (!self) co_return;
    // A change the watcher saw meanwhile is newer than the answer.
    if (extensionChanges == extensionOwnerChanges_) extensionOwner_ = extension;
    if (shellChanges == shellOwnerChanges_) shellOwner_ = shell;
    ownersChanged();
}

void GnomeShellWindowBridge::ownersChanged() {
    if (extensionOwner_.isEmpty() || shellOwner_.isEmpty()) return;
    if (extensionOwner_ != shellOwner_) {
        if (!std::exchange(warnedForeignOwner_, true)) {
            qCWarning(lcServices).noquote() << kService << "is held by" << extensionOwner_ << "and not by GNOME Shell ("
                                            << shellOwner_ << "): not used";
        }
        return;
    }
    warnedForeignOwner_ = false;
    auto asking = ask();
    Q_UNUSED(asking);
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

// Asks the shell for the focused window and what the extension can do; the
// extension may have come up in a shell that is still busy.
QCoro::Task<void> GnomeShellWindowBridge::ask() {
    const QPointer<GnomeShellWindowBridge> self(this);
    const quint64 question = ++asking_;
    const QString shell = shellOwner_;
    if (shell.isEmpty() || extensionOwner_ != shell) co_return;
    auto asking = callDBus(
        bus_,
        DBusMethod{shell, QString::fromLatin1(kPath), QString::fromLatin1(kInterface), QStringLiteral("GetState")}, {},
        kRequestTimeoutMs);
    const auto reply = co_await asking;
    if (!self || question != asking_ || shell != shellOwner_) co_return;
    if (!reply || reply->isEmpty()) {
        setConnected(false);
        co_return;
    }
    const QVariantMap state = mapFrom(reply->constFirst());
    focused_ = windowFrom(mapFrom(state.value(QStringLiteral("focused-window"))));
    takeState(state);
    setConnected(true);
    Q_EMIT focusedWindowChanged();
}

void GnomeShellWindowBridge::takeState(const QVariantMap& state) {
    const bool supported = state.value(QStringLiteral("swipes-supported")).toBool();
    const bool off = state.value(QStringLiteral("swipes-disabled")).toBool();
    if (supported == swipesSupported_ && off == swipesOff_) return;
    swipesSupported_ = supported;
    swipesOff_ = off;
    if (connected_) Q_EMIT swipesChanged();
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
    if (!connected_) {
        // A report is an answer too; what else the extension can do is
        // asked again.
        ownersChanged();
        return;
    }
    auto window = windowFrom(report);
    if (window == focused_) return;
    focused_ = std::move(window);
    Q_EMIT focusedWindowChanged();
}

void GnomeShellWindowBridge::stateReported(const QVariantMap& state) {
    if (!connected_) {
        ownersChanged();
        return;
    }
    takeState(state);
}

QCoro::Task<std::optional<QList<QVariant>>> GnomeShellWindowBridge::call(QString method, QList<QVariant> arguments) {
    if (!connected_) co_return std::nullopt;
    auto calling = callDBus(
        bus_, DBusMethod{shellOwner_, QString::fromLatin1(kPath), QString::fromLatin1(kInterface), std::move(method)},
        std::move(arguments), kRequestTimeoutMs);
    co_return co_await calling;
}

QCoro::Task<bool> GnomeShellWindowBridge::succeeded(QString method, QList<QVariant> arguments) {
    auto calling = call(std::move(method), std::move(arguments));
    const auto reply = co_await calling;
    co_return reply && !reply->isEmpty() && reply->constFirst().toBool();
}

QCoro::Task<std::optional<QRectF>> GnomeShellWindowBridge::frame(std::uint64_t window) {
    auto calling = call(QStringLiteral("GetWindow"), {QVariant::fromValue(qulonglong(window))});
    const auto reply = co_await calling;
    if (!reply || reply->isEmpty()) co_return std::nullopt;
    const auto described = windowFrom(mapFrom(reply->constFirst()));
    if (!described) co_return std::nullopt;
    co_return described->frame;
}

QCoro::Task<bool> GnomeShellWindowBridge::moveResize(std::uint64_t window, QRect frame) {
    auto moving = succeeded(QStringLiteral("MoveResize"), {QVariant::fromValue(qulonglong(window)), frame.x(),
                                                           frame.y(), frame.width(), frame.height()});
    co_return co_await moving;
}

QCoro::Task<bool> GnomeShellWindowBridge::maximize(std::uint64_t window) {
    auto maximizing = succeeded(QStringLiteral("Maximize"), {QVariant::fromValue(qulonglong(window))});
    co_return co_await maximizing;
}

QCoro::Task<bool> GnomeShellWindowBridge::minimize(std::uint64_t window) {
    auto minimizing = succeeded(QStringLiteral("Minimize"), {QVariant::fromValue(qulonglong(window))});
    co_return co_await minimizing;
}

QCoro::Task<bool> GnomeShellWindowBridge::close(std::uint64_t window) {
    auto closing = succeeded(QStringLiteral("Close"), {QVariant::fromValue(qulonglong(window))});
    co_return co_await closing;
}

QCoro::Task<bool> GnomeShellWindowBridge::activateProcess(std::int32_t processIdentifier) {
    auto activating = succeeded(QStringLiteral("ActivateProcess"), {processIdentifier});
    co_return co_await activating;
}

QCoro::Task<bool> GnomeShellWindowBridge::minimizeProcess(std::int32_t processIdentifier) {
    auto minimizing = succeeded(QStringLiteral("MinimizeProcess"), {processIdentifier});
    co_return co_await minimizing;
}

QCoro::Task<bool> GnomeShellWindowBridge::setSwipesOff(bool off) {
    const QPointer<GnomeShellWindowBridge> self(this);
    auto switching = succeeded(QStringLiteral("SetSwipeGesturesDisabled"), {off});
    const bool done = co_await switching;
    if (!self) co_return done;
    if (done && swipesOff_ != off) {
        swipesOff_ = off;
        Q_EMIT swipesChanged();
    }
    co_return done;
}

}  // namespace glidra::linux_platform
