#pragma once

#include "support/ServiceProcess.h"
#include "support/SpawnedProcess.h"

#include <QDBusConnection>
#include <QString>
#include <QTemporaryDir>

namespace glidra::test {

// A session bus of the test's own: a dbus-daemon with a minimal
// configuration (no service activation, so nothing installed on the machine
// answers), listening in a temporary folder, stopped with the object. Tests
// skip when it cannot be started:
//
//   PrivateSessionBus bus;
//   if (!bus.isRunning()) GTEST_SKIP() << bus.failure().toStdString();
class PrivateSessionBus {
public:
    explicit PrivateSessionBus(ServiceAccess access = ServiceAccess::ownUser);
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    // Why the bus is not running.
    const QString& failure() const { return failure_; }
    const QString& address() const { return address_; }

    // A connection of its own, as another process would have; closed with
    // the bus.
    QDBusConnection connect(const QString& name);

private:
    QTemporaryDir folder_;
    SpawnedProcess daemon_;
    QString address_;
    QString failure_;
    QStringList connections_;
};

}  // namespace glidra::test
