#include "support/DesktopSession.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glidra::test {

namespace {

// The program refuses root: as root the session is nobody's.
constexpr uid_t kNobody = 65534;

QByteArray nameOf(const QByteArray& variable) { return variable.left(variable.indexOf('=') + 1); }

}  // namespace

DesktopSession::DesktopSession()
    : asRoot_(::geteuid() == 0), user_(asRoot_ ? kNobody : ::geteuid()), group_(asRoot_ ? kNobody : ::getegid()) {
    const passwd* entry = ::getpwuid(user_);
    userName_ = entry ? QByteArray(entry->pw_name) : QByteArray("nobody");
    if (!folder_.isValid()) {
        failure_ = QStringLiteral("no temporary folder");
        return;
    }
    ::chmod(QFile::encodeName(folder_.path()).constData(), 0755);
    home_ = folder_.filePath(QStringLiteral("home"));
    runtime_ = folder_.filePath(QStringLiteral("run"));
    if (!QDir().mkpath(home_) || !QDir().mkpath(runtime_)) {
        failure_ = QStringLiteral("cannot make the session's folders");
        return;
    }
    ::chmod(QFile::encodeName(runtime_).constData(), 0700);
    bus_ = std::make_unique<PrivateSessionBus>(ServiceAccess::everyUser);
    if (!bus_->isRunning()) {
        failure_ = bus_->failure();
        return;
    }
    if (!handOver()) failure_ = QStringLiteral("cannot hand the session's folders to the user");
}

DesktopSession::~DesktopSession() = default;

bool DesktopSession::handOver() {
    if (!asRoot_) return true;
    for (const QString& path : {home_, runtime_}) {
        if (::chown(QFile::encodeName(path).constData(), user_, group_) != 0) return false;
        QDirIterator entries(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            if (::lchown(QFile::encodeName(entries.next()).constData(), user_, group_) != 0) return false;
        }
    }
    return true;
}

bool DesktopSession::writeFile(const QString& path, const QByteArray& content, bool executable) {
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) return false;
    file.close();
    if (executable && !file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeOther)) return false;
    return handOver();
}

bool DesktopSession::copyFolder(const QString& source, const QString& target) {
    QDirIterator entries(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString from = entries.next();
        const QString to = target + QLatin1Char('/') + QDir(source).relativeFilePath(from);
        if (!QDir().mkpath(QFileInfo(to).path())) return false;
        QFile::remove(to);
        if (!QFile::copy(from, to)) return false;
    }
    return handOver();
}

QList<QByteArray> DesktopSession::environment(const QList<QByteArray>& changes) const {
    const QByteArray home = QFile::encodeName(home_);
    QList<QByteArray> variables{
        "HOME=" + home,
        "USER=" + userName_,
        "LOGNAME=" + userName_,
        "PATH=/usr/local/bin:/usr/bin:/bin",
        "LANG=C.UTF-8",
        "XDG_CONFIG_HOME=" + home + "/.config",
        "XDG_DATA_HOME=" + home + "/.local/share",
        "XDG_STATE_HOME=" + home + "/.local/state",
        "XDG_CACHE_HOME=" + home + "/.cache",
        "XDG_DATA_DIRS=/usr/local/share:/usr/share",
        "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime_),
        "DBUS_SESSION_BUS_ADDRESS=" + bus_->address().toUtf8(),
        // Nothing of the machine's: no system bus unless the desktop brings
        // one of its own.
        "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + QFile::encodeName(runtime_) + "/no-system-bus",
        "GIO_USE_VFS=local",
        "NO_AT_BRIDGE=1",
    };
    // A sanitizer build keeps its options (suppressions, leak checking).
    for (const char* variable : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
        if (qEnvironmentVariableIsSet(variable)) variables.append(variable + ("=" + qgetenv(variable)));
    }
    for (const QByteArray& change : changes) {
        const QByteArray name = nameOf(change);
        variables.removeIf([&](const QByteArray& variable) { return variable.startsWith(name); });
        variables.append(change);
    }
    return variables;
}

QList<QByteArray> DesktopSession::command(const QByteArray& program, const QList<QByteArray>& arguments) const {
    QList<QByteArray> argv;
    if (asRoot_) {
        argv = {"--reuid=" + QByteArray::number(user_), "--regid=" + QByteArray::number(group_), "--clear-groups",
                "--"};
    }
    argv.append(program);
    argv += arguments;
    return argv;
}

bool DesktopSession::start(SpawnedProcess& process, const QByteArray& program, const QList<QByteArray>& arguments,
                           const QList<QByteArray>& changes) {
    if (!asRoot_) return process.start(program, arguments, environment(changes));
    return process.start("setpriv", command(program, arguments), environment(changes));
}

std::optional<QByteArray> DesktopSession::startAndReadLine(SpawnedProcess& process, const QByteArray& program,
                                                           const QList<QByteArray>& arguments,
                                                           const QList<QByteArray>& changes, int milliseconds) {
    if (!asRoot_) return process.startAndReadLine(program, arguments, environment(changes), milliseconds);
    return process.startAndReadLine("setpriv", command(program, arguments), environment(changes), milliseconds);
}

}  // namespace glidra::test
