#include "support/PrivatePulseAudio.h"

#include "support/SpawnedProcess.h"

#include <QtCore/qtestsupport_core.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/stat.h>

namespace glidra::test {

namespace {

constexpr int kWaitMs = 10000;

bool writeFile(const QString& path, const QByteArray& content) {
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QStringList programsOf(SoundServer kind) {
    if (kind == SoundServer::pulseaudio) return {QStringLiteral("pulseaudio"), QStringLiteral("pactl")};
    return {QStringLiteral("pipewire"), QStringLiteral("wireplumber"), QStringLiteral("pipewire-pulse"),
            QStringLiteral("dbus-daemon"), QStringLiteral("pactl")};
}

}  // namespace

const char* PrivatePulseAudio::nameOf(SoundServer kind) {
    return kind == SoundServer::pipewire ? "PipeWire" : "PulseAudio";
}

QString PrivatePulseAudio::missing(SoundServer kind) {
    QStringList absent;
    for (const QString& program : programsOf(kind)) {
        if (QStandardPaths::findExecutable(program).isEmpty()) absent << program;
    }
    if (absent.isEmpty()) return {};
    return absent.join(QStringLiteral(", ")) + QStringLiteral(" not installed (Debian packages ") +
           (kind == SoundServer::pipewire ? QStringLiteral("pipewire, wireplumber, pipewire-pulse, pulseaudio-utils")
                                          : QStringLiteral("pulseaudio, pulseaudio-utils")) +
           QLatin1Char(')');
}

PrivatePulseAudio::PrivatePulseAudio(ServiceAccess access, const QString& folder, SoundServer kind) : kind_(kind) {
    error_ = missing(kind);
    if (!error_.isEmpty()) return;
    pactl_ = QStandardPaths::findExecutable(QStringLiteral("pactl"));
    const QString root = folder.isEmpty() ? directory_.path() : folder;
    socket_ = root + QStringLiteral("/native");
    if (!(kind == SoundServer::pipewire ? startPipeWire(directory_.path()) : startPulseAudio(root))) return;
    if (!QTest::qWaitFor([this] { return ready() || !isRunning(); }, kWaitMs) || !ready()) {
        error_ = QStringLiteral("%1 did not answer with its devices: ").arg(QLatin1String(nameOf(kind))) + logs();
        return;
    }
    if (access == ServiceAccess::everyUser) {
        ::chmod(QFile::encodeName(root).constData(), 0755);
        ::chmod(QFile::encodeName(socket_).constData(), 0777);
    }
}

PrivatePulseAudio::~PrivatePulseAudio() {
    // The Pulse server first, the session bus last: each leans on the ones
    // started before it.
    while (!processes_.empty()) processes_.pop_back();
    bus_.reset();
}

bool PrivatePulseAudio::startPulseAudio(const QString& root) {
    if (!writeFile(root + QStringLiteral("/glidra.pa"),
                   QStringLiteral("load-module module-null-sink sink_name=glidra_out channels=2\n"
                                  "load-module module-null-source source_name=glidra_in channels=2\n"
                                  "load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                                  "set-default-sink glidra_out\n"
                                  "set-default-source glidra_in\n")
                       .arg(socket_)
                       .toUtf8())) {
        error_ = QStringLiteral("cannot write the daemon's start script");
        return false;
    }
    const QByteArray rootName = QFile::encodeName(root);
    QList<QByteArray> environment{"PULSE_STATE_PATH=" + rootName + "/state", "DBUS_SESSION_BUS_ADDRESS=disabled:"};
    for (const char* variable : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_RUNTIME_PATH"}) {
        environment.append(variable + ("=" + rootName));
    }
    const QList<QByteArray> arguments{"--daemonize=no",
                                      "--system=false",
                                      "-n",
                                      "-F",
                                      rootName + "/glidra.pa",
                                      "--exit-idle-time=-1",
                                      "--disable-shm=yes",
                                      "--use-pid-file=no",
                                      "--realtime=no",
                                      "--high-priority=no",
                                      "--log-level=error"};
    auto& daemon = *processes_.emplace_back(std::make_unique<SpawnedProcess>());
    if (!daemon.start("pulseaudio", arguments, testEnvironment(environment))) {
        error_ = QStringLiteral("pulseaudio did not start");
        return false;
    }
    return true;
}

// The three processes of a PipeWire desktop, each configured by a drop-in of
// the test's own beside the packaged configuration: the null devices are
// PipeWire's own nodes, and the Pulse server listens at the test's socket.
bool PrivatePulseAudio::startPipeWire(const QString& root) {
    const QString config = root + QStringLiteral("/config");
    const QString runtime = root + QStringLiteral("/run");
    const QByteArray devices = R"(context.objects = [
  { factory = adapter
    args = { factory.name = support.null-audio-sink node.name = glidra_out node.description = "Glidra output"
             media.class = Audio/Sink audio.position = [ FL FR ] monitor.channel-volumes = true } }
  { factory = adapter
    args = { factory.name = support.null-audio-sink node.name = glidra_in node.description = "Glidra input"
             media.class = Audio/Source audio.position = [ FL FR ] } }
]
)";
    if (!QDir().mkpath(runtime) ||
        !writeFile(config + QStringLiteral("/pipewire/pipewire.conf.d/glidra.conf"), devices) ||
        !writeFile(config + QStringLiteral("/pipewire/pipewire-pulse.conf.d/glidra.conf"),
                   "pulse.properties = { server.address = [ \"unix:" + QFile::encodeName(socket_) + "\" ] }\n")) {
        error_ = QStringLiteral("cannot write PipeWire's configuration");
        return false;
    }
    ::chmod(QFile::encodeName(runtime).constData(), 0700);

    // WirePlumber ends at once without a session bus to reach.
    bus_ = std::make_unique<PrivateSessionBus>();
    if (!bus_->isRunning()) {
        error_ = QStringLiteral("no session bus for WirePlumber: ") + bus_->failure();
        return false;
    }
    const QByteArray busAddress = bus_->address().toUtf8();

    const QByteArray rootName = QFile::encodeName(root);
    const QList<QByteArray> environment = testEnvironment({
        "HOME=" + rootName,
        "XDG_CONFIG_HOME=" + QFile::encodeName(config),
        "XDG_STATE_HOME=" + rootName + "/state",
        "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime),
        "PIPEWIRE_RUNTIME_DIR=" + QFile::encodeName(runtime),
        "PULSE_RUNTIME_PATH=" + QFile::encodeName(runtime) + "/pulse",
        "DBUS_SESSION_BUS_ADDRESS=" + busAddress,
        // Nothing of the machine's: no system bus, no real-time kit.
        "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + rootName + "/no-system-bus",
        "PIPEWIRE_LOG_SYSTEMD=false",
        "LD_PRELOAD=",
    });
    const QString pipewireSocket = runtime + QStringLiteral("/pipewire-0");
    for (const QByteArray program : {"pipewire", "wireplumber", "pipewire-pulse"}) {
        auto& process = *processes_.emplace_back(std::make_unique<SpawnedProcess>());
        if (!process.start(program, {}, environment)) {
            error_ = QString::fromLatin1(program) + QStringLiteral(" did not start");
            return false;
        }
        if (program == "pipewire" &&
            (!QTest::qWaitFor([&] { return QFile::exists(pipewireSocket) || !process.isRunning(); }, kWaitMs) ||
             !process.isRunning())) {
            error_ = QStringLiteral("pipewire did not listen: ") + QString::fromLocal8Bit(process.log());
            return false;
        }
    }
    return true;
}

bool PrivatePulseAudio::isRunning() {
    if (!error_.isEmpty() || processes_.empty()) return false;
    for (const auto& process : processes_) {
        if (!process->isRunning()) return false;
    }
    return true;
}

bool PrivatePulseAudio::ready() const {
    const auto info = pactl({QStringLiteral("info")});
    return info && info->contains(QLatin1String("Default Sink: glidra_out")) &&
           info->contains(QLatin1String("Default Source: glidra_in"));
}

QString PrivatePulseAudio::logs() const {
    QString text;
    for (const auto& process : processes_) text += QString::fromLocal8Bit(process->log());
    return text;
}

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
