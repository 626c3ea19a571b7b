#include "support/PrivatePulseAudio.h"

#include "support/SpawnedProcess.h"

#include <QtCore/qtestsupport_core.h>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/stat.h>

namespace glidra::test {

namespace {

constexpr int kWaitMs = 10000;

}  // namespace

PrivatePulseAudio::PrivatePulseAudio(ServiceAccess access, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    pactl_ = QStandardPaths::findExecutable(QStringLiteral("pactl"));
    if (program.isEmpty() || pactl_.isEmpty()) {
        error_ = QStringLiteral("pulseaudio or pactl is not installed (Debian packages pulseaudio, pulseaudio-utils)");
        return;
    }
    const QString root = folder.isEmpty() ? directory_.path() : folder;
    socket_ = root + QStringLiteral("/native");
    QFile script(root + QStringLiteral("/glidra.pa"));
    if (!script.open(QIODevice::WriteOnly)) {
        error_ = QStringLiteral("cannot write the daemon's start script");
        return;
    }
    script.write(QStringLiteral("load-module module-null-sink sink_name=glidra_out channels=2\n"
                                "load-module module-null-source source_name=glidra_in channels=2\n"
                                "load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                                "set-default-sink glidra_out\n"
                                "set-default-source glidra_in\n")
                     .arg(socket_)
                     .toUtf8());
    script.close();

    const QByteArray rootName = QFile::encodeName(root);
    QList<QByteArray> environment{"PULSE_STATE_PATH=" + rootName + "/state", "DBUS_SESSION_BUS_ADDRESS=disabled:"};
    for (const char* variable : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_RUNTIME_PATH"}) {
        environment.append(variable + ("=" + rootName));
    }
    const QList<QByteArray> arguments{"--daemonize=no",
                                      "--system=false",
                                      "-n",
                                      "-F",
                                      QFile::encodeName(script.fileName()),
                                      "--exit-idle-time=-1",
                                      "--disable-shm=yes",
                                      "--use-pid-file=no",
                                      "--realtime=no",
                                      "--high-priority=no",
                                      "--log-level=error"};
    if (!daemon_.start(QFile::encodeName(program), arguments, testEnvironment(environment))) {
        error_ = QStringLiteral("pulseaudio did not start");
        return;
    }
    if (!QTest::qWaitFor([this] { return pactl({QStringLiteral("info")}).has_value(); }, kWaitMs)) {
        error_ = QStringLiteral("pulseaudio did not answer: ") + QString::fromLocal8Bit(daemon_.log());
        return;
    }
    if (access == ServiceAccess::everyUser) {
        ::chmod(QFile::encodeName(root).constData(), 0755);
        ::chmod(QFile::encodeName(socket_).constData(), 0777);
    }
}

PrivatePulseAudio::~PrivatePulseAudio() = default;

std::optional<QString> PrivatePulseAudio::pactl(const QStringList& arguments) const {
    QList<QByteArray> argv{"--server=" + server().toUtf8()};
    for (const QString& argument : arguments) argv.append(argument.toUtf8());
    // Untouched by whatever the test preloads.
    const auto finished = runToEnd(QFile::encodeName(pactl_), argv, {"LC_ALL=C", "LD_PRELOAD="}, kWaitMs);
    if (!finished || finished->exitCode != 0) return std::nullopt;
    return QString::fromUtf8(finished->output);
}

std::vector<int> PrivatePulseAudio::volumes(const char* kind, const char* name) const {
    const auto output = pactl({QStringLiteral("get-%1-volume").arg(QLatin1String(kind)), QLatin1String(name)});
    std::vector<int> values;
    if (!output) return values;
    static const QRegularExpression channel(QStringLiteral(":\\s*(\\d+)\\s*/"));
    auto matches = channel.globalMatch(output->section(QLatin1Char('\n'), 0, 0));
    while (matches.hasNext()) values.push_back(matches.next().captured(1).toInt());
    return values;
}

std::optional<bool> PrivatePulseAudio::muted(const char* kind, const char* name) const {
    const auto output = pactl({QStringLiteral("get-%1-mute").arg(QLatin1String(kind)), QLatin1String(name)});
    if (!output) return std::nullopt;
    return output->contains(QLatin1String("yes"));
}

}  // namespace glidra::test
