#include "trackpad/ConnectionEventLog.h"

#include <QDir>
#include <QFile>

namespace glidra {

ConnectionEventLog::ConnectionEventLog(QString path, qint64 maximumBytes, QString build)
    : writer_(std::move(path), maximumBytes), build_(std::move(build)) {
    // One thread: entries are written one after another, in order.
    worker_.setMaxThreadCount(1);
    worker_.setThreadPriority(QThread::LowPriority);
    worker_.setObjectName(QStringLiteral("Glidra.connection-events"));
}

ConnectionEventLog::~ConnectionEventLog() { waitForWrites(); }

void ConnectionEventLog::record(ConnectionLogEvent event, bool listening, const QDateTime& time) {
    const ConnectionEventLogWriter* writer = &writer_;
    worker_.start([writer, entry = ConnectionLogEntry{time, event, listening, build_}] { writer->append(entry); });
}

void ConnectionEventLog::waitForWrites() { worker_.waitForDone(); }

QString ConnectionEventLog::defaultLocation() {
    QString stateHome = QFile::decodeName(qgetenv("XDG_STATE_HOME"));
    if (stateHome.isEmpty() || !QDir::isAbsolutePath(stateHome)) {
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(stateHome + QStringLiteral("/Glidra/connection-events.jsonl"));
}

}  // namespace glidra
