#pragma once

#include "support/SpawnedProcess.h"

#include <QString>
#include <QStringList>

namespace glidra::test {

// Who may connect to a service of the test's own.
enum class ServiceAccess {
    ownUser,
    // Any local user: for a program the test runs as another user.
    everyUser,
};

// Starts a service of the test's own that prints where it listens as its
// first line, and gives that line; empty, with `failure` set, when it did not
// start or printed nothing.
QString startAndReadFirstLine(SpawnedProcess& process, const QString& program, const QStringList& arguments,
                              QString& failure, const QList<QByteArray>& environmentChanges = {});

}  // namespace glidra::test
