#include "trackpad/ConnectionEventLog.h"

#include <QDir>
#include <QFile>

#include <pthread.h>

namespace glidra {

ConnectionEventLog::ConnectionEventLog(QString path, qint64 maximumBytes, QString build)
    : writer_(std::move(path), maximumBytes), build_(std::move(build)) {}

ConnectionEventLog::~ConnectionEventLog() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    // The worker empties the queue before it stops.
    if (worker_.joinable()) worker_.join();
}

void ConnectionEventLog::record(ConnectionLogEvent event, bool listening, const QDateTime& time) {
    const ConnectionEventLogWriter* writer = &writer_;
    post([writer, entry = ConnectionLogEntry{time, event, listening, build_}] { writer->append(entry); });
}

void ConnectionEventLog::post(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
        if (!worker_.joinable()) {
            // One thread: entries are written one after another, in order.
            worker_ = std::thread([this] { run(); });
            pthread_setname_np(worker_.native_handle(), "Glidra.eventlog");
        }
    }
    changed_.notify_all();
}

void ConnectionEventLog::run() {
    // Off the main thread, before the first line of the run.
    writer_.tidy();
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        working_ = true;
        lock.unlock();
        work();
        // Whatever the work holds goes before a waiter is told it is done.
        work = nullptr;
        lock.lock();
        working_ = false;
        changed_.notify_all();
    }
}

void ConnectionEventLog::waitForWrites() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !working_; });
}

QString ConnectionEventLog::defaultLocation() {
    QString stateHome = QFile::decodeName(qgetenv("XDG_STATE_HOME"));
    if (stateHome.isEmpty() || !QDir::isAbsolutePath(stateHome)) {
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(stateHome + QStringLiteral("/Glidra/connection-events.jsonl"));
}

}  // namespace glidra
