#pragma once

#include "support/SpawnedProcess.h"

#include <QString>

namespace glidra::test {

// An X server of the test's own (Xvfb, no window manager), so tests can act
// as the window manager and the applications. Stopped with the object.
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();

    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool isRunning() const { return !display_.isEmpty(); }
    // The display name to connect to (":N"); empty when it did not start.
    const QString& display() const { return display_; }
    const QString& failure() const { return failure_; }

private:
    SpawnedProcess process_;
    QString display_;
    QString failure_;
};

}  // namespace glidra::test
