#include "app/SingleInstance.h"

#include "platform/StorageCondition.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace glidra {

namespace {

const QByteArray kOpenWindow = "open-window\n";
// The hand-over happens once, at start, before any window: a short bounded
// wait for a local socket on the same machine.
constexpr int kHandOverTimeout = 2000;  // milliseconds
constexpr unsigned long kPause = 50;    // milliseconds

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : SingleInstance(
          folder, [] { QThread::msleep(kPause); }, parent) {}

SingleInstance::SingleInstance(const QString& folder, std::function<void()> pause, QObject* parent)
    : QObject(parent), folder_(folder), pause_(std::move(pause)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const { return QDir(folder_).filePath(QStringLiteral("glidra.lock")); }

QString SingleInstance::socketPath() const { return QDir(folder_).filePath(QStringLiteral("glidra.socket")); }

SingleInstance::Start SingleInstance::start() {
    failure_.clear();
    for (int attempt = 1;; ++attempt) {
        if (becomePrimary()) return Start::primary;
        if (askPrimaryToOpenWindow()) return Start::handedOver;
        // A folder that takes no lock will not take one a moment later.
        if (lockError_ != QLockFile::LockFailedError) {
            failure_ = folderFailure();
            return Start::failed;
        }
        if (attempt == kAttempts) break;
        // The holder may be between taking the lock and listening, or may
        // have ended meanwhile, leaving the lock free.
        pause_();
    }
    failure_ =
        QStringLiteral("Glidra could not take its lock in the runtime folder %1, and no running Glidra answered.")
            .arg(folder_);
    return Start::failed;
}

QString SingleInstance::folderFailure() const {
    switch (storageCondition(folder_)) {
        case StorageCondition::readOnly:
            return QStringLiteral("Glidra cannot start: its runtime folder %1 is on a read-only file system.")
                .arg(folder_);
        case StorageCondition::full:
            return QStringLiteral("Glidra cannot start: the file system of its runtime folder %1 is full.")
                .arg(folder_);
        case StorageCondition::usable:
            break;
    }
    if (!folderMade_) {
        return QStringLiteral("Glidra cannot start: it could not create its runtime folder %1.").arg(folder_);
    }
    if (lockError_ == QLockFile::PermissionError) {
        return QStringLiteral("Glidra cannot start: its runtime folder %1 is not writable.").arg(folder_);
    }
    return QStringLiteral("Glidra cannot start: it could not create its lock in the runtime folder %1.").arg(folder_);
}

bool SingleInstance::becomePrimary() {
    folderMade_ = QDir().mkpath(folder_);
    lock_ = std::make_unique<QLockFile>(lockPath());
    // A lock left by a crashed instance is taken over: QLockFile checks that
    // its process still runs.
    if (!lock_->tryLock(0)) {
        lockError_ = lock_->error();
        lock_.reset();
        return false;
    }
    lockError_ = QLockFile::NoError;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed instance would refuse the listen.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) return true;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptRequests);
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

void SingleInstance::acceptRequests() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (int(connections_.size()) >= limits_.connections) closeConnection(connections_.front());
        connections_.push_back(socket);
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { closeConnection(socket); });
        // Qt reads no more than a line ahead.
        socket->setReadBufferSize(limits_.lineBytes);
        auto* silence = new QTimer(socket);
        silence->setSingleShot(true);
        connect(silence, &QTimer::timeout, this, [this, socket] { closeConnection(socket); });
        silence->start(limits_.silence);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        if (socket->bytesAvailable() > 0) readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (socket->canReadLine()) {
        // One request a connection: the one line, and then it is closed.
        if (socket->readLine(limits_.lineBytes) == kOpenWindow) Q_EMIT openWindowRequested();
    } else if (socket->bytesAvailable() < limits_.lineBytes) {
        return;
    }
    closeConnection(socket);
}

void SingleInstance::closeConnection(QLocalSocket* socket) {
    const auto it = std::find(connections_.begin(), connections_.end(), socket);
    if (it == connections_.end()) return;
    connections_.erase(it);
    socket->abort();
    socket->deleteLater();
}

}  // namespace glidra
