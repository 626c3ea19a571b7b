#include "support/FakeLogind.h"

#include <QDBusContext>
#include <QDBusMessage>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace glidra::test {

namespace {
int nextConnection = 0;
constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";
}  // namespace

FakeLogind::FakeLogind(const QString& busAddress)
    : connectionName_(QStringLiteral("fake-logind-%1").arg(++nextConnection)),
      connection_(QDBusConnection::connectToBus(busAddress, connectionName_)) {
    if (!connection_.isConnected()) return;
    auto manager = std::make_unique<FakeLogindManager>(*this);
    connection_.registerObject(QLatin1String(kManagerPath), manager.get(), QDBusConnection::ExportAllSlots);
    exported_.push_back(std::move(manager));
    for (const char* path : {kSessionPath, "/org/freedesktop/login1/session/auto"}) {
        auto session = std::make_unique<FakeLogindSession>(*this);
        connection_.registerObject(QLatin1String(path), session.get(),
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
        exported_.push_back(std::move(session));
    }
    serving_ = connection_.registerService(QLatin1String(kService));
}

FakeLogind::~FakeLogind() {
    connection_.unregisterService(QLatin1String(kService));
    QDBusConnection::disconnectFromBus(connectionName_);
    for (const int fd : inhibitors_) ::close(fd);
}

QDBusUnixFileDescriptor FakeLogind::inhibit(const QString& what, const QString& mode) {
    modes_.append(what + QLatin1Char(':') + mode);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return {};
    inhibitors_.push_back(ends[0]);
    // The reply carries its own copy; when every copy of the write end is
    // closed, the read end sees the end of the file.
    QDBusUnixFileDescriptor handed(ends[1]);
    ::close(ends[1]);
    return handed;
}

int FakeLogind::heldInhibitors() {
    int held = 0;
    for (const int fd : inhibitors_) {
        pollfd entry{fd, POLLIN, 0};
        const bool closed = poll(&entry, 1, 0) == 1 && (entry.revents & POLLHUP) != 0;
        if (!closed) ++held;
    }
    return held;
}

bool FakeLogind::setBrightness(const QString& subsystem, const QString& name, uint value) {
    brightness_.append(subsystem + QLatin1Char(' ') + name + QLatin1Char(' ') + QString::number(value));
    return !refusesBrightness_;
}

void FakeLogind::emitSignal(const QString& path, const QString& interface, const QString& name,
                            const QVariantList& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    connection_.send(signal);
}

void FakeLogind::prepareForSleep(bool sleeping) {
    emitSignal(QLatin1String(kManagerPath), QStringLiteral("org.freedesktop.login1.Manager"),
               QStringLiteral("PrepareForSleep"), {sleeping});
}

void FakeLogind::lockSession() {
    emitSignal(QLatin1String(kSessionPath), QLatin1String(kSessionInterface), QStringLiteral("Lock"), {});
}

void FakeLogind::unlockSession() {
    emitSignal(QLatin1String(kSessionPath), QLatin1String(kSessionInterface), QStringLiteral("Unlock"), {});
}

void FakeLogind::changeSession(const QVariantMap& changed) {
    emitSignal(QLatin1String(kSessionPath), QStringLiteral("org.freedesktop.DBus.Properties"),
               QStringLiteral("PropertiesChanged"), {QLatin1String(kSessionInterface), changed, QStringList()});
}

QDBusUnixFileDescriptor FakeLogindManager::Inhibit(const QString& what, const QString&, const QString&,
                                                   const QString& mode) {
    return logind_.inhibit(what, mode);
}

QDBusObjectPath FakeLogindManager::GetSession(const QString&) {
    return QDBusObjectPath(QLatin1String(FakeLogind::kSessionPath));
}

void FakeLogindSession::SetBrightness(const QString& subsystem, const QString& name, uint value) {
    if (!logind_.setBrightness(subsystem, name, value) && calledFromDBus()) {
        sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"), QStringLiteral("not allowed"));
    }
}

}  // namespace glidra::test
