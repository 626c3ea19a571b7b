#pragma once

#include "support/PrivateDbusDaemon.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QStringList>

namespace glidra::test {

// A test with a bus of its own, where fake services of ours and the adapters
// under test meet; skipped where no daemon can be started.
class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!daemon.isRunning()) GTEST_SKIP() << "no private D-Bus daemon: " << daemon.failure().toStdString();
    }
    void TearDown() override {
        for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
    }

    // A new connection to the bus under a name of its own.
    QDBusConnection connectToBus(const QString& name) {
        connections_.append(name);
        return QDBusConnection::connectToBus(daemon.address(), name);
    }

    PrivateDbusDaemon daemon;

private:
    QStringList connections_;
};

}  // namespace glidra::test
