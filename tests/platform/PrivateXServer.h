#pragma once

#include "support/AnnouncingProcess.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace glidra::test {

// An X server of the test's own (Xvfb, without a window manager), so the xcb
// adapters meet a real server without touching the user's display. Stopped
// with the object.
class PrivateXServer {
public:
    PrivateXServer();

    bool isRunning() const { return !display_.isEmpty(); }
    // The display to connect to, ":N"; empty when the server did not start.
    const QByteArray& display() const { return display_; }
    // Why it did not start.
    const QString& failure() const { return failure_; }

private:
    std::unique_ptr<AnnouncingProcess> process_;
    QByteArray display_;
    QString failure_;
};

}  // namespace glidra::test
