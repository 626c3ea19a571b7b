#pragma once

#include "support/SpawnedProcess.h"

#include <QString>

namespace glidra::test {

// A session bus of the test's own, so services (real adapters against fakes
// of ours) never touch the machine's buses. Stopped with the object.
class PrivateDbusDaemon {
public:
    PrivateDbusDaemon();
    ~PrivateDbusDaemon();

    PrivateDbusDaemon(const PrivateDbusDaemon&) = delete;
    PrivateDbusDaemon& operator=(const PrivateDbusDaemon&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    // The bus address to connect to; empty when the daemon did not start.
    const QString& address() const { return address_; }
    // Why it did not start.
    const QString& failure() const { return failure_; }

private:
    SpawnedProcess process_;
    QString address_;
    QString failure_;
};

}  // namespace glidra::test
