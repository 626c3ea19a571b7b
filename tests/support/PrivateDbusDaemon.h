#pragma once

#include "support/AnnouncingProcess.h"

#include <QString>

namespace glidra::test {

// A session bus of the test's own, so services (real adapters against fakes
// of ours) never touch the machine's buses. Stopped with the object.
class PrivateDbusDaemon {
public:
    bool isRunning() const { return !address_.isEmpty(); }
    // The bus address to connect to; empty when the daemon did not start.
    const QString& address() const { return address_; }
    // Why it did not start.
    const QString& failure() const { return process_.failure(); }

private:
    // The daemon prints its address once it listens.
    AnnouncingProcess process_{
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")}};
    QString address_ = QString::fromUtf8(process_.announcement());
};

}  // namespace glidra::test
