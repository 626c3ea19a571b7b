#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace glidra {

// One Glidra per user: the first start holds a lock in the runtime folder and
// listens there; a later start asks it to open its window and ends. Any
// program of the user's can connect, so what a connection may cost is
// bounded: one short line, sent soon, and only a few connections at once.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    struct Limits {
        // A request is one line of at most this many bytes, its end included.
        qint64 lineBytes = 64;
        // A connection that has not sent its line by then is closed.
        std::chrono::milliseconds silence{1000};
        // Connections served at once; one more closes the oldest. A start
        // asking for the window sends its line at once, so it is never the
        // oldest for long.
        int connections = 8;
    };

    enum class Start {
        primary,
        // The running instance was asked for its window.
        handedOver,
        // Neither; failure() says why.
        failed,
    };

    // How often a later start asks an instance that holds the lock but does
    // not listen yet: the first start takes the lock a moment before it
    // listens.
    static constexpr int kAttempts = 60;

    // `folder` is the user's runtime folder. `pause` runs between two
    // attempts; by default it sleeps 50 ms, so a later start waits about
    // three seconds for the first to listen.
    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    SingleInstance(const QString& folder, std::function<void()> pause, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the one instance, or hands over to the one that runs.
    Start start();
    // Why start() failed, for the log: the runtime folder cannot be used (a
    // read-only or full file system, no permission), or an instance holds
    // the lock and never answered.
    const QString& failure() const { return failure_; }

    // Takes the lock and listens; false when another instance holds it (or
    // the folder cannot be written), which then should hand over.
    bool becomePrimary();
    // Asks the running instance to open its window; false when none answered.
    bool askPrimaryToOpenWindow();

    QString lockPath() const;
    QString socketPath() const;

    // For the connections accepted from then on.
    void setLimits(Limits limits) { limits_ = limits; }
    // Connections open now.
    int connectionCount() const { return int(connections_.size()); }

Q_SIGNALS:
    // A later start asked for the window.
    void openWindowRequested();

private:
    void acceptRequests();
    void readRequest(QLocalSocket* socket);
    void closeConnection(QLocalSocket* socket);
    QString folderFailure() const;

    QString folder_;
    std::function<void()> pause_;
    std::unique_ptr<QLockFile> lock_;
    // Why the last becomePrimary() took no lock; LockFailedError when another
    // instance holds it.
    QLockFile::LockError lockError_ = QLockFile::NoError;
    bool folderMade_ = true;
    QLocalServer* server_ = nullptr;
    QString failure_;
    Limits limits_;
    // Oldest first.
    std::vector<QLocalSocket*> connections_;
};

}  // namespace glidra
