#pragma once

#include "gestures/GestureRule.h"
#include "platform/UserDefaults.h"
#include "support/DesktopSession.h"
#include "support/SpawnedProcess.h"
#include "support/UmockdevInput.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <memory>
#include <optional>
#include <vector>

namespace glidra::test {

// The glidra executable as the user of a DesktopSession runs it on a real
// desktop, with a touchpad mocked under umockdev (and /dev/uinput, so that
// the program may act on other applications), its rules written into its
// settings file before it starts. Recorded gestures are played on the pad.
class LiveGlidra {
public:
    // A gesture's effect comes in milliseconds; this only bounds a failure.
    static constexpr int kEffectMs = 15000;

    explicit LiveGlidra(DesktopSession& session);
    ~LiveGlidra();

    // Why the touchpad could not be mocked; empty when it could.
    const QString& failure() const { return failure_; }

    // The rules, and further settings of the user defaults, as the user left
    // them.
    bool writeSettings(std::vector<GestureRule> rules, const QList<QPair<QString, DefaultsValue>>& more = {});
    // Starts the program with the desktop's variables; true once it listens
    // to the touchpad.
    bool start(const QList<QByteArray>& desktop);
    bool isRunning() { return program_.isRunning(); }
    pid_t pid() const { return program_.pid(); }
    // Ends it as a logout does (SIGTERM); its wait status.
    std::optional<int> stop() { return program_.stop(); }
    // Ends it at once, as a crash does.
    std::optional<int> kill();
    QByteArray log() const { return program_.log(); }

    // Plays a recording of tests/data/recordings on the pad (the recordings
    // of the Cypress pad, whose description the pad has).
    bool play(const char* recording);

    static GestureRule rule(GestureDescriptor::Kind kind, qint64 fingers, GestureAction action,
                            std::optional<QString> application = std::nullopt);

private:
    bool holdsPadOpen();

    DesktopSession& session_;
    QByteArray preload_;
    std::unique_ptr<UmockdevInput> devices_;
    QByteArray pad_;
    SpawnedProcess program_;
    QString failure_;
};

}  // namespace glidra::test
