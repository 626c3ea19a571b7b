#include "support/PrivateDbusDaemon.h"

#include "support/ServiceProcess.h"

namespace glidra::test {

PrivateDbusDaemon::PrivateDbusDaemon() {
    // The daemon prints its address on stdout once it listens.
    address_ = startAndReadFirstLine(
        process_, QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")}, failure_);
}

PrivateDbusDaemon::~PrivateDbusDaemon() = default;

}  // namespace glidra::test
