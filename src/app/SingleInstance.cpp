#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace glidra {

namespace {

const QByteArray kOpenWindow = "open-window\n";
// The hand-over happens once, at start, before any window: a short bounded
// wait for a local socket on the same machine.
constexpr int kHandOverTimeout = 2000;  // milliseconds

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent) : QObject(parent), folder_(folder) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const { return QDir(folder_).filePath(QStringLiteral("glidra.lock")); }

QString SingleInstance::socketPath() const { return QDir(folder_).filePath(QStringLiteral("glidra.socket")); }

bool SingleInstance::becomePrimary() {
    QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(lockPath());
    // A lock left by a crashed instance is taken over: QLockFile checks that
    // its process still runs.
    if (!lock_->tryLock(0)) {
        lock_.reset();
        return false;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed instance would refuse the listen.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) return true;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::readRequests);
    return true;
}

bool SingleInstance::askPrimaryToOpenWindow() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(kHandOverTimeout)) return false;
    socket.write(kOpenWindow);
    if (!socket.waitForBytesWritten(kHandOverTimeout)) return false;
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::readRequests() {
    while (auto* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kOpenWindow) Q_EMIT openWindowRequested();
            }
        });
    }
}

}  // namespace glidra
