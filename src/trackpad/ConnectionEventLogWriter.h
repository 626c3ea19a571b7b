#pragma once

#include "trackpad/ConnectionLogEntry.h"

#include <QString>

namespace glidra {

// The file work of the connection event log: appends one line per entry and
// keeps the file at or below its cap by starting it afresh with the newest
// line. Every failure loses that entry and nothing else. Used from one
// thread at a time (the log's worker). The file and its folder are for the
// user alone.
class ConnectionEventLogWriter {
public:
    ConnectionEventLogWriter(QString path, qint64 maximumBytes);

    // Once a run, before its first entry: takes away the access others have to an
    // existing file and its folder, and removes the copies a restart of the
    // file cut short by a kill left.
    void tidy() const;

    void append(const ConnectionLogEntry& entry) const;

    const QString& path() const { return path_; }
    qint64 maximumBytes() const { return maximumBytes_; }

private:
    QString path_;
    qint64 maximumBytes_;
};

}  // namespace glidra
