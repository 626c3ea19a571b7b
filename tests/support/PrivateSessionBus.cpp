#include "support/PrivateSessionBus.h"

#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace glidra::test {

PrivateSessionBus::PrivateSessionBus(ServiceAccess access) {
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
  <policy context="default">%2
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(folder_.path(),
                          access == ServiceAccess::everyUser ? QStringLiteral("\n    <allow user=\"*\"/>") : QString())
                     .toUtf8());
    config.close();
    if (access == ServiceAccess::everyUser) ::chmod(QFile::encodeName(folder_.path()).constData(), 0755);

    const auto address = daemon_.startAndReadLine(
        QFile::encodeName(program),
        {"--config-file=" + QFile::encodeName(configPath), "--nofork", "--nopidfile", "--print-address=1"},
        testEnvironment(), 10000);
    // Generous: only a broken machine takes long, and then the test skips.
    if (!address || address->isEmpty()) {
        failure_ = QStringLiteral("dbus-daemon printed no address: ") + QString::fromLocal8Bit(daemon_.log());
        return;
    }
    address_ = QString::fromUtf8(*address);
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : connections_) QDBusConnection::disconnectFromBus(name);
}

QDBusConnection PrivateSessionBus::connect(const QString& name) {
    connections_.append(name);
    return QDBusConnection::connectToBus(address_, name);
}

}  // namespace glidra::test
