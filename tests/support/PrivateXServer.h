#pragma once

#include "support/SpawnedProcess.h"

#include <QString>

#include <memory>

namespace glidra::test {

// An X server of the test's own (Xvfb, no window manager), so tests can act
// as the window manager and the applications. Its one screen has `screen`'s
// size and depth ("WIDTHxHEIGHTxDEPTH"). Stopped with the object.
class PrivateXServer {
public:
    explicit PrivateXServer(const QString& screen = QStringLiteral("320x240x24"));
    ~PrivateXServer();

    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool isRunning() const { return !display_.isEmpty(); }
    // The display name to connect to (":N"); empty when it did not start.
    const QString& display() const { return display_; }
    const QString& failure() const { return failure_; }

private:
    std::unique_ptr<SpawnedProcess> process_;
    QString display_;
    QString failure_;
};

}  // namespace glidra::test
