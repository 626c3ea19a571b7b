#pragma once

#include "support/ServiceProcess.h"
#include "support/SpawnedProcess.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace glidra::test {

// A PulseAudio daemon of the test's own with one null sink (glidra_out) and
// one null source (glidra_in) as the defaults, reached through a socket in a
// private folder. Waits are for the real daemon to catch up, bounded and
// never a fixed sleep.
class PrivatePulseAudio {
public:
    // Listens at `folder`/native, in a folder of its own unless given one.
    explicit PrivatePulseAudio(ServiceAccess access = ServiceAccess::ownUser, const QString& folder = {});
    ~PrivatePulseAudio();

    PrivatePulseAudio(const PrivatePulseAudio&) = delete;
    PrivatePulseAudio& operator=(const PrivatePulseAudio&) = delete;

    bool isRunning() { return error_.isEmpty() && daemon_.isRunning(); }
    const QString& error() const { return error_; }
    // The server address for clients (PULSE_SERVER).
    QString server() const { return QStringLiteral("unix:") + socket_; }

    // Runs pactl against the daemon; its output, or nothing when it failed.
    // Its words ("yes") are read, so it answers untranslated in any locale.
    std::optional<QString> pactl(const QStringList& arguments) const;
    // The raw channel volumes of a sink or source, as pactl reports them.
    std::vector<int> volumes(const char* kind, const char* name) const;
    std::optional<bool> muted(const char* kind, const char* name) const;

private:
    QTemporaryDir directory_;
    SpawnedProcess daemon_;
    QString pactl_;
    QString socket_;
    QString error_;
};

}  // namespace glidra::test
