#pragma once

#include "support/PrivateSessionBus.h"
#include "support/ServiceProcess.h"
#include "support/SpawnedProcess.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

namespace glidra::test {

// The sound servers a desktop runs behind PulseAudio's protocol: GNOME's
// PipeWire (pipewire, its session manager wireplumber and its Pulse server
// pipewire-pulse) and Plasma's PulseAudio.
enum class SoundServer { pipewire, pulseaudio };

// A sound server of the test's own with one null sink (glidra_out) and one
// null source (glidra_in) as the defaults, reached through PulseAudio's
// protocol at a socket in a private folder. Waits are for the real server to
// catch up, bounded and never a fixed sleep.
class PrivatePulseAudio {
public:
    // Listens at `folder`/native, in a folder of its own unless given one.
    explicit PrivatePulseAudio(ServiceAccess access = ServiceAccess::ownUser, const QString& folder = {},
                               SoundServer kind = SoundServer::pipewire);
    ~PrivatePulseAudio();

    PrivatePulseAudio(const PrivatePulseAudio&) = delete;
    PrivatePulseAudio& operator=(const PrivatePulseAudio&) = delete;

    // What a test names the server by ("PipeWire", "PulseAudio").
    static const char* nameOf(SoundServer kind);
    // Why the machine cannot run `kind`; empty when its programs are there.
    static QString missing(SoundServer kind);

    bool isRunning();
    const QString& error() const { return error_; }
    SoundServer kind() const { return kind_; }
    // The server address for clients (PULSE_SERVER).
    QString server() const { return QStringLiteral("unix:") + socket_; }

    // Runs pactl against the server; its output, or nothing when it failed.
    // Its words ("yes") are read, so it answers untranslated in any locale.
    std::optional<QString> pactl(const QStringList& arguments) const;
    // The raw channel volumes of a sink or source, as pactl reports them.
    std::vector<int> volumes(const char* kind, const char* name) const;
    std::optional<bool> muted(const char* kind, const char* name) const;

private:
    bool startPulseAudio(const QString& root);
    bool startPipeWire(const QString& root);
    // Whether the server answers with both devices as its defaults.
    bool ready() const;
    QString logs() const;

    SoundServer kind_;
    QTemporaryDir directory_;
    // PipeWire's session manager needs a session bus; the other processes
    // in the order they start (the server last).
    std::unique_ptr<PrivateSessionBus> bus_;
    std::vector<std::unique_ptr<SpawnedProcess>> processes_;
    QString pactl_;
    QString socket_;
    QString error_;
};

}  // namespace glidra::test
