#pragma once

#include "support/PrivateSessionBus.h"
#include "support/SpawnedProcess.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

#include <memory>
#include <optional>

namespace glidra::test {

// The login of a desktop user of the test's own: a home and a runtime folder
// that belong to the user (nobody, when the test runs as root, since the
// program refuses root), a private session bus, and the environment that a
// program started in that session gets. The desktop (a compositor, its
// services) and the programs on it are started as that user through
// start(). Tests skip when it could not be set up:
//
//   DesktopSession session;
//   if (!session.isReady()) GTEST_SKIP() << session.failure().toStdString();
class DesktopSession {
public:
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    bool isReady() const { return failure_.isEmpty(); }
    const QString& failure() const { return failure_; }

    const QString& home() const { return home_; }
    // The desktop user.
    uid_t userId() const { return user_; }
    const QString& runtime() const { return runtime_; }
    QString busAddress() const { return bus_->address(); }
    // A connection of the test's own to the session bus.
    QDBusConnection connect(const QString& name) { return bus_->connect(name); }

    // Writes a file under the home (or anywhere the user must read it),
    // owned by the user.
    bool writeFile(const QString& path, const QByteArray& content, bool executable = false);
    // Copies a folder's files under `target`, owned by the user.
    bool copyFolder(const QString& source, const QString& target);

    // The environment of a program of the session: the user's folders, the
    // session bus, no system bus of the machine's, and `changes`
    // (NAME=VALUE, replacing a variable of the same name).
    QList<QByteArray> environment(const QList<QByteArray>& changes = {}) const;
    // Starts `program` (a path) as the user with environment(changes).
    bool start(SpawnedProcess& process, const QByteArray& program, const QList<QByteArray>& arguments,
               const QList<QByteArray>& changes = {});
    // As start(), and gives the first line the program prints.
    std::optional<QByteArray> startAndReadLine(SpawnedProcess& process, const QByteArray& program,
                                               const QList<QByteArray>& arguments, const QList<QByteArray>& changes,
                                               int milliseconds);

    // Hands every file under the home and the runtime folder to the user
    // (after the test wrote some as itself).
    bool handOver();

private:
    QList<QByteArray> command(const QByteArray& program, const QList<QByteArray>& arguments) const;

    const bool asRoot_;
    uid_t user_;
    gid_t group_;
    QByteArray userName_;
    QTemporaryDir folder_;
    QString home_;
    QString runtime_;
    std::unique_ptr<PrivateSessionBus> bus_;
    QString failure_;
};

}  // namespace glidra::test
