#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace glidra::test {

// Starts a service of the test's own that prints where it listens as its
// first line, and gives that line; empty, with `failure` set, when it did not
// start or printed nothing.
QString startAndReadFirstLine(QProcess& process, const QString& program, const QStringList& arguments,
                              QString& failure);

// Ends the service, killing it when it does not stop.
void stopService(QProcess& process);

}  // namespace glidra::test
