#include "support/PrivateSessionBus.h"

#include <QFile>
#include <QStandardPaths>

namespace glidra::test {

PrivateSessionBus::PrivateSessionBus() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        failure_ = QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon)");
        return;
    }
    const QString configPath = folder_.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!folder_.isValid() || !config.open(QIODevice::WriteOnly)) {
        failure_ = QStringLiteral("cannot write the private bus configuration");
        return;
    }
    config.write(QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(folder_.path())
                     .toUtf8());
    config.close();

    daemon_ = std::make_unique<QProcess>();
    daemon_->setProgram(program);
    daemon_->setArguments({QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                           QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    daemon_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_->start();
    // Generous: only a broken machine takes long, and then the test skips.
    if (!daemon_->waitForStarted(10000)) {
        failure_ = QStringLiteral("dbus-daemon did not start: ") + daemon_->errorString();
        return;
    }
    while (!daemon_->canReadLine() && daemon_->waitForReadyRead(10000)) {
    }
    address_ = QString::fromUtf8(daemon_->readLine()).trimmed();
    if (address_.isEmpty()) failure_ = QStringLiteral("dbus-daemon printed no address");
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
    if (daemon_ && daemon_->state() != QProcess::NotRunning) {
        daemon_->terminate();
        if (!daemon_->waitForFinished(5000)) {
            daemon_->kill();
            daemon_->waitForFinished(5000);
        }
    }
}

QDBusConnection PrivateSessionBus::connect(const QString& name) {
    connections_.append(name);
    return QDBusConnection::connectToBus(address_, name);
}

}  // namespace glidra::test
