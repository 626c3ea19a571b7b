#include "platform/linux/XdgAutostartLoginItems.h"

#include "platform/LogCategories.h"
#include "platform/linux/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace glidra::linux_platform {

namespace {

// Desktop files are small; anything larger at our name is not ours.
constexpr qint64 maximumEntrySize = 64 * 1024;

XdgAutostartLoginItems::Entry readEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return XdgAutostartLoginItems::parseEntry(file.read(maximumEntrySize));
}

}  // namespace

XdgAutostartLoginItems::Entry XdgAutostartLoginItems::parseEntry(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    Entry state;
    bool inMainGroup = false;
    bool hasExec = false;
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if (key == "Exec" && !value.isEmpty()) {
            hasExec = true;
            state.program = XdgAutostartLoginItems::execProgram(QString::fromUtf8(value));
        }
        if (key == "Hidden" && value == "true") state.disabled = true;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") state.disabled = true;
    }
    state.isEntry = hasExec;
    return state;
}

XdgAutostartLoginItems::XdgAutostartLoginItems(QString executable, QString autostartFolder)
    : executable_(std::move(executable)), folder_(std::move(autostartFolder)) {}

QString XdgAutostartLoginItems::standardFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString XdgAutostartLoginItems::entryPath() const { return folder_ + QLatin1Char('/') + entryFileName(); }

QString XdgAutostartLoginItems::legacyEntryPath() const { return folder_ + QLatin1Char('/') + legacyEntryFileName(); }

bool XdgAutostartLoginItems::executableExists() const {
    const QFileInfo info(executable_);
    return !executable_.isEmpty() && info.isFile() && info.isExecutable();
}

bool XdgAutostartLoginItems::runsThisProgram(const QString& program) const {
    // A bare name is looked up on the PATH, as the session does.
    const QString resolved = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (resolved.isEmpty()) return false;
    const QString ours = QFileInfo(executable_).canonicalFilePath();
    return !ours.isEmpty() && QFileInfo(resolved).canonicalFilePath() == ours;
}

LoginItems::Status XdgAutostartLoginItems::status() const {
    // A file at our name that is no desktop entry, or one that starts another
    // program (an old copy, a moved one), starts nothing of ours; registering
    // replaces it.
    for (const QString& path : {entryPath(), legacyEntryPath()}) {
        const Entry entry = readEntry(path);
        if (entry.isEntry && runsThisProgram(entry.program)) {
            return entry.disabled ? Status::requiresApproval : Status::enabled;
        }
    }
    return executableExists() ? Status::notRegistered : Status::notFound;
}

std::optional<LoginItems::Error> XdgAutostartLoginItems::registerApp() {
    if (!executableExists()) {
        return Error{QCoreApplication::translate("Glidra", "找不到 Glidra 的程序文件：%1").arg(executable_)};
    }
    if (!QDir().mkpath(folder_)) {
        return Error{QCoreApplication::translate("Glidra", "无法创建文件夹：%1").arg(folder_)};
    }
    if (const auto failure = writeFileAtomically(entryPath(), desktopEntry(executable_))) {
        qCWarning(lcSettings).noquote() << "cannot write the autostart entry" << entryPath() << "-"
                                        << failure->description;
        return Error{failure->description};
    }
    // The old name would start a second copy, or another program, at login.
    return removeEntry(legacyEntryPath());
}

std::optional<LoginItems::Error> XdgAutostartLoginItems::unregisterApp() {
    if (auto failure = removeEntry(entryPath())) return failure;
    return removeEntry(legacyEntryPath());
}

std::optional<LoginItems::Error> XdgAutostartLoginItems::removeEntry(const QString& path) const {
    QFile file(path);
    if (!file.exists()) return std::nullopt;
    if (!file.remove()) {
        qCWarning(lcSettings).noquote() << "cannot remove the autostart entry" << path << "-" << file.errorString();
        return Error{file.errorString()};
    }
    return std::nullopt;
}

QString XdgAutostartLoginItems::execArgument(const QString& executable) {
    // Inside double quotes the Exec rules want ", `, $ and \ escaped; "%"
    // would start a field code.
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += QLatin1Char('\\');
            quoted += c;
        } else if (c == u'%') {
            quoted += QStringLiteral("%%");
        } else {
            quoted += c;
        }
    }
    quoted += QLatin1Char('"');
    // The value is then a string value, whose own escapes apply first when
    // the file is read: every backslash doubles once more.
    QString value;
    for (const QChar c : quoted) {
        if (c == u'\\') {
            value += QStringLiteral("\\\\");
        } else if (c == u'\n') {
            value += QStringLiteral("\\n");
        } else if (c == u'\t') {
            value += QStringLiteral("\\t");
        } else if (c == u'\r') {
            value += QStringLiteral("\\r");
        } else {
            value += c;
        }
    }
    return value;
}

QString XdgAutostartLoginItems::execProgram(const QString& value) {
    // First the escapes of a string value, then the quoting of the Exec
    // line; the program is its first argument.
    QString line;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            line += value[i];
            continue;
        }
        const QChar next = value[++i];
        if (next == u's') {
            line += QLatin1Char(' ');
        } else if (next == u'n') {
            line += QLatin1Char('\n');
        } else if (next == u't') {
            line += QLatin1Char('\t');
        } else if (next == u'r') {
            line += QLatin1Char('\r');
        } else if (next == u'\\') {
            line += QLatin1Char('\\');
        } else {
            line += QLatin1Char('\\');
            line += next;
        }
    }
    QString program;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'\\' && i + 1 < line.size()) {
            program += line[++i];
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (!program.isEmpty()) break;
        } else if (c == u'%' && i + 1 < line.size() && line[i + 1] == u'%') {
            program += c;
            ++i;
        } else {
            program += c;
        }
    }
    return program;
}

QByteArray XdgAutostartLoginItems::desktopEntry(const QString& executable) {
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Version=1.0\n");
    text += QStringLiteral("Name=Glidra\n");
    text += QStringLiteral("Exec=") + execArgument(executable) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

}  // namespace glidra::linux_platform
