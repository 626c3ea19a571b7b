#include "support/HeadlessGnomeShell.h"

#include "support/ServiceLoop.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

namespace glidra::test {

namespace {

const QString kShell = QStringLiteral("org.gnome.Shell");

QDBusMessage shellCall(const QString& path, const QString& interface, const QString& method,
                       const QList<QVariant>& arguments) {
    return methodCall(kShell, path, interface, method, arguments);
}

}  // namespace

QString HeadlessGnomeShell::appIndicatorUuid() {
    for (const char* uuid : {"appindicatorsupport@rgcjonas.gmail.com", "ubuntu-appindicators@ubuntu.com"}) {
        const QString folder = QStringLiteral("gnome-shell/extensions/") + QString::fromLatin1(uuid);
        if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation, folder, QStandardPaths::LocateDirectory)
                 .isEmpty()) {
            return QString::fromLatin1(uuid);
        }
    }
    return {};
}

bool HeadlessGnomeShell::installExtension(DesktopSession& session, const QString& source, const QString& uuid) {
    return session.copyFolder(source, session.home() + QStringLiteral("/.local/share/gnome-shell/extensions/") + uuid);
}

HeadlessGnomeShell::HeadlessGnomeShell(DesktopSession& session, QStringList extensions, const QByteArray& settings,
                                       QSize monitor)
    : session_(session), waylandDisplay_("glidra-test-shell") {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gnome-shell"));
    if (program.isEmpty()) {
        failure_ = QStringLiteral("gnome-shell is not installed (scripts/test installs it)");
        return;
    }
    systemBus_ = std::make_unique<PrivateSessionBus>(ServiceAccess::everyUser);
    if (!systemBus_->isRunning()) {
        failure_ = systemBus_->failure();
        return;
    }
    // The shell follows its session through logind from the start.
    logind_ = std::make_unique<FakeLogind>(systemBus_->address());
    if (!logind_->isServing()) {
        failure_ = QStringLiteral("the fake logind does not serve");
        return;
    }

    extensions.removeAll(QString());
    QStringList quoted;
    for (const QString& uuid : extensions) quoted.append(QLatin1Char('\'') + uuid + QLatin1Char('\''));
    const QByteArray keyfile = "[org/gnome/shell]\nenabled-extensions=[" + quoted.join(QStringLiteral(", ")).toUtf8() +
                               "]\nwelcome-dialog-last-shown-version='999'\n"
                               "[org/gnome/desktop/interface]\nenable-animations=false\n" +
                               settings;
    if (!session_.writeFile(session_.home() + QStringLiteral("/.config/glib-2.0/settings/keyfile"), keyfile)) {
        failure_ = QStringLiteral("cannot write the shell's settings");
        return;
    }

    const QByteArray size = QByteArray::number(monitor.width()) + 'x' + QByteArray::number(monitor.height());
    if (!session_.start(
            shell_, QFile::encodeName(program),
            {"--headless", "--wayland", "--no-x11", "--unsafe-mode", "--virtual-monitor", size, "--wayland-display",
             waylandDisplay_},
            {"DBUS_SYSTEM_BUS_ADDRESS=" + systemBus_->address().toUtf8(), "GSETTINGS_BACKEND=keyfile",
             "XDG_SESSION_ID=31", "XDG_SESSION_CLASS=user", "XDG_CURRENT_DESKTOP=GNOME", "XDG_SESSION_TYPE=wayland"})) {
        failure_ = QStringLiteral("gnome-shell did not start");
        return;
    }
    bus_ = session_.connect(QStringLiteral("glidra-test-shell-client"));
    const bool up = serveUntil(
        [&] {
            if (!shell_.isRunning()) return true;
            for (const QString& uuid : extensions) {
                if (extensionState(uuid) != 1) return false;
            }
            return true;
        },
        kStartMilliseconds);
    // The shell starts in the overview, which keeps new windows from the
    // focus; a user at the desktop leaves it first.
    if (up && shell_.isRunning()) {
        eval(QStringLiteral("Main.overview.hide()"));
        serveUntil([&] { return eval(QStringLiteral("Main.overview.visible")) == QJsonValue(false); }, 5000);
    }
    if (!shell_.isRunning()) {
        failure_ = QStringLiteral("gnome-shell ended: ") + QString::fromLocal8Bit(shell_.log().right(4000));
    } else if (!up) {
        QStringList states;
        for (const QString& uuid : extensions) {
            const std::optional<int> state = extensionState(uuid);
            states.append(uuid + QLatin1Char(' ') + (state ? QString::number(*state) : QStringLiteral("unknown")));
        }
        failure_ = QStringLiteral("gnome-shell did not switch its extensions on (%1): ").arg(states.join(u',')) +
                   QString::fromLocal8Bit(shell_.log().right(4000));
    }
}

HeadlessGnomeShell::~HeadlessGnomeShell() { shell_.stop(); }

QDBusConnection& HeadlessGnomeShell::bus() { return *bus_; }

QList<QByteArray> HeadlessGnomeShell::desktopEnvironment() const {
    return {"WAYLAND_DISPLAY=" + waylandDisplay_, "XDG_CURRENT_DESKTOP=GNOME", "XDG_SESSION_TYPE=wayland",
            "XDG_SESSION_DESKTOP=gnome",          "GDK_BACKEND=wayland",       "QT_QPA_PLATFORM=wayland"};
}

std::optional<QJsonValue> HeadlessGnomeShell::eval(const QString& script) {
    if (!bus_) return std::nullopt;
    const auto reply =
        callServing(bus(), shellCall(QStringLiteral("/org/gnome/Shell"), kShell, QStringLiteral("Eval"), {script}));
    if (!reply || reply->arguments().size() != 2 || !reply->arguments().at(0).toBool()) return std::nullopt;
    // The document wrapped in an array, so that plain values parse too.
    const QJsonDocument document = QJsonDocument::fromJson("[" + reply->arguments().at(1).toString().toUtf8() + "]");
    if (!document.isArray() || document.array().isEmpty()) return QJsonValue(QJsonValue::Undefined);
    return document.array().at(0);
}

std::optional<int> HeadlessGnomeShell::extensionState(const QString& uuid) {
    if (!bus_) return std::nullopt;
    const auto reply =
        callServing(bus(), shellCall(QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.gnome.Shell.Extensions"),
                                     QStringLiteral("GetExtensionInfo"), {uuid}));
    if (!reply || reply->arguments().isEmpty()) return std::nullopt;
    const QVariantMap info = qdbus_cast<QVariantMap>(reply->arguments().constFirst());
    if (!info.contains(QStringLiteral("state"))) return std::nullopt;
    return int(info.value(QStringLiteral("state")).toDouble());
}

bool HeadlessGnomeShell::setExtensionEnabled(const QString& uuid, bool enabled) {
    if (!bus_) return false;
    const auto reply = callServing(
        bus(), shellCall(QStringLiteral("/org/gnome/Shell"), QStringLiteral("org.gnome.Shell.Extensions"),
                         enabled ? QStringLiteral("EnableExtension") : QStringLiteral("DisableExtension"), {uuid}));
    return reply && !reply->arguments().isEmpty() && reply->arguments().constFirst().toBool();
}

}  // namespace glidra::test
