#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace glidra {

// One Glidra per user: the first start holds a lock in the runtime folder and
// listens there; a later start asks it to open its window and ends.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
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

Q_SIGNALS:
    // A later start asked for the window.
    void openWindowRequested();

private:
    void readRequests();
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
};

}  // namespace glidra
