#include "support/VirtualKWin.h"

#include "support/ServiceLoop.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

namespace glidra::test {

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");

QDBusMessage kwinCall(const QString& path, const QString& interface, const QString& method,
                      const QList<QVariant>& arguments) {
    return methodCall(kKWin, path, interface, method, arguments);
}

QDBusMessage scripting(const QString& method, const QList<QVariant>& arguments) {
    return kwinCall(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), method, arguments);
}

}  // namespace

VirtualKWin::VirtualKWin(DesktopSession& session, QSize output)
    : session_(session), waylandDisplay_("glidra-test-kwin") {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
    if (program.isEmpty()) {
        failure_ = QStringLiteral("kwin_wayland is not installed (scripts/test installs it)");
        return;
    }
    // A plain copy carries no file capability.
    const QString copy = copy_.filePath(QStringLiteral("kwin_wayland"));
    if (!copy_.isValid() || !QFile::copy(program, copy) ||
        !QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther)) {
        failure_ = QStringLiteral("cannot copy kwin_wayland");
        return;
    }
    QFile::setPermissions(copy_.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    if (!session_.start(
            kwin_, QFile::encodeName(copy),
            {"--virtual", "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities", "--socket", waylandDisplay_,
             "--width", QByteArray::number(output.width()), "--height", QByteArray::number(output.height())},
            {"XDG_CURRENT_DESKTOP=KDE", "XDG_SESSION_TYPE=wayland", "KDE_FULL_SESSION=true", "KDE_SESSION_VERSION=5",
             "QT_QPA_PLATFORM=wayland"})) {
        failure_ = QStringLiteral("kwin_wayland did not start");
        return;
    }
    bus_ = session_.connect(QStringLiteral("glidra-test-kwin-client"));
    const bool up = serveUntil(
        [&] {
            if (!kwin_.isRunning()) return true;
            const auto reply = callServing(*bus_, scripting(QStringLiteral("isScriptLoaded"), {QStringLiteral("-")}));
            return reply.has_value();
        },
        kStartMilliseconds);
    if (!kwin_.isRunning()) {
        failure_ = QStringLiteral("kwin_wayland ended: ") + QString::fromLocal8Bit(kwin_.log().right(4000));
    } else if (!up) {
        failure_ = QStringLiteral("kwin_wayland did not answer on the bus: ") +
                   QString::fromLocal8Bit(kwin_.log().right(4000));
    }
}

VirtualKWin::~VirtualKWin() { kwin_.stop(); }

QList<QByteArray> VirtualKWin::desktopEnvironment() const {
    return {"WAYLAND_DISPLAY=" + waylandDisplay_,
            "XDG_CURRENT_DESKTOP=KDE",
            "XDG_SESSION_TYPE=wayland",
            "XDG_SESSION_DESKTOP=KDE",
            "KDE_FULL_SESSION=true",
            "QT_QPA_PLATFORM=wayland"};
}

bool VirtualKWin::isScriptLoaded(const QString& name) {
    if (!bus_) return false;
    const auto reply = callServing(*bus_, scripting(QStringLiteral("isScriptLoaded"), {name}));
    return reply && !reply->arguments().isEmpty() && reply->arguments().constFirst().toBool();
}

std::optional<VirtualKWin::WindowInfo> VirtualKWin::window(const QString& internalId) {
    if (!bus_) return std::nullopt;
    const auto reply = callServing(*bus_, kwinCall(QStringLiteral("/KWin"), QStringLiteral("org.kde.KWin"),
                                                   QStringLiteral("getWindowInfo"), {internalId}));
    if (!reply || reply->arguments().isEmpty()) return std::nullopt;
    const QVariantMap info = qdbus_cast<QVariantMap>(reply->arguments().constFirst());
    if (info.isEmpty()) return std::nullopt;
    return WindowInfo{
        QRectF(info.value(QStringLiteral("x")).toDouble(), info.value(QStringLiteral("y")).toDouble(),
               info.value(QStringLiteral("width")).toDouble(), info.value(QStringLiteral("height")).toDouble()),
        info.value(QStringLiteral("minimized")).toBool(), info.value(QStringLiteral("desktopFile")).toString()};
}

std::optional<QByteArray> VirtualKWin::runScript(const QByteArray& body) {
    if (!bus_) return std::nullopt;
    // The script says it in KWin's log, under a mark of its own.
    const QByteArray mark = "glidra-test-answer-" + QByteArray::number(++questions_) + ' ';
    const QString path = session_.home() + QStringLiteral("/kwin-question-%1.js").arg(questions_);
    const QByteArray script =
        "const windows = typeof workspace.windowList === 'function' ? workspace.windowList()"
        " : workspace.clientList();\n"
        "function answer(value) { print('" +
        mark + "' + JSON.stringify(value)); }\n" + body + "\n";
    if (!session_.writeFile(path, script)) return std::nullopt;
    const QString name = QStringLiteral("glidra-test-question-%1").arg(questions_);
    // KWin numbers its scripts by how many it holds, so a number may be
    // taken twice, and the object of one may answer for another: start()
    // runs every loaded script that does not run yet.
    const auto loaded = callServing(*bus_, scripting(QStringLiteral("loadScript"), {path, name}));
    if (!loaded || loaded->arguments().isEmpty() || loaded->arguments().constFirst().toInt() < 0) return std::nullopt;
    callServing(*bus_, scripting(QStringLiteral("start"), {}));
    std::optional<QByteArray> answer;
    serveUntil(
        [&] {
            const QByteArray log = kwin_.log();
            const qsizetype at = log.lastIndexOf(mark);
            if (at < 0) return false;
            const qsizetype end = log.indexOf('\n', at);
            answer = log.mid(at + mark.size(), end < 0 ? -1 : end - at - mark.size());
            return true;
        },
        5000);
    callServing(*bus_, scripting(QStringLiteral("unloadScript"), {name}));
    return answer;
}

std::optional<QStringList> VirtualKWin::windowsOf(const QString& desktopFile) {
    const auto answer = runScript("answer(windows.filter(w => w.normalWindow && w.desktopFileName === '" +
                                  desktopFile.toUtf8() + "').map(w => String(w.internalId)));");
    if (!answer) return std::nullopt;
    QStringList ids;
    for (const QJsonValue& value : QJsonDocument::fromJson(*answer).array()) ids.append(value.toString());
    return ids;
}

bool VirtualKWin::activate(const QString& internalId) {
    const auto answer =
        runScript("const w = windows.find(w => String(w.internalId) === '" + internalId.toUtf8() +
                  "');\nif (w) { if (typeof workspace.windowList === 'function') workspace.activeWindow = w; "
                  "else workspace.activeClient = w; }\nanswer(!!w);");
    return answer == QByteArray("true");
}

std::optional<QString> VirtualKWin::activeWindow() {
    const auto answer = runScript(
        "const active = typeof workspace.windowList === 'function' ? workspace.activeWindow : "
        "workspace.activeClient;\nanswer(active ? String(active.internalId) : '');");
    if (!answer) return std::nullopt;
    return QJsonDocument::fromJson("[" + *answer + "]").array().at(0).toString();
}

}  // namespace glidra::test
