#include "support/PrivateDbusDaemon.h"

namespace glidra::test {

PrivateDbusDaemon::PrivateDbusDaemon() {
    // The daemon prints its address on stdout once it listens.
    process_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!process_.waitForStarted(10'000)) {
        failure_ = QStringLiteral("dbus-daemon did not start: ") + process_.errorString();
        return;
    }
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(10'000)) {
            failure_ = QStringLiteral("dbus-daemon printed no address: ") +
                       QString::fromLocal8Bit(process_.readAllStandardError());
            return;
        }
    }
    address_ = QString::fromUtf8(process_.readLine()).trimmed();
    if (address_.isEmpty()) failure_ = QStringLiteral("dbus-daemon printed an empty address");
}

PrivateDbusDaemon::~PrivateDbusDaemon() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5'000)) {
        process_.kill();
        process_.waitForFinished(5'000);
    }
}

}  // namespace glidra::test
