#pragma once

#include "trackpad/ConnectionEventLogWriter.h"
#include "trackpad/ConnectionLogEntry.h"

#include <QDateTime>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace glidra {

// The program's one log: a line of JSON per connection event, for diagnosing
// lost connections. Recording only builds the entry and hands it to a serial
// worker of its own, so the main thread never waits on the disk; lines land
// in the order they were recorded. Nothing in the program reads it. The
// worker is a thread of its own behind a standard mutex, started with the
// first entry: a race checker sees every hand-over, which it cannot in Qt's
// thread pool.
class ConnectionEventLog {
public:
    // Touches no file.
    ConnectionEventLog(QString path, qint64 maximumBytes, QString build);
    // Lets the lines already recorded reach the disk.
    ~ConnectionEventLog();

    ConnectionEventLog(const ConnectionEventLog&) = delete;
    ConnectionEventLog& operator=(const ConnectionEventLog&) = delete;

    // Main thread; returns at once.
    void record(ConnectionLogEvent event, bool listening, const QDateTime& time);

    // Blocks until every recorded line was written (or dropped): for tests
    // and shutdown, never on the way of a frame or a user action.
    void waitForWrites();

    const QString& path() const { return writer_.path(); }
    const QString& build() const { return build_; }

    // $XDG_STATE_HOME/Glidra/connection-events.jsonl, the state home being
    // ~/.local/state when the variable is unset or not an absolute path.
    static QString defaultLocation();
    static constexpr qint64 kMaximumBytes = 262'144;

private:
    friend struct ConnectionEventLogTestAccess;

    // Main thread: queues `work` for the worker, starting it if need be.
    void post(std::function<void()> work);
    // The worker's loop: runs the queue in order until told to stop.
    void run();

    ConnectionEventLogWriter writer_;
    QString build_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;  // guarded
    bool working_ = false;                     // guarded
    bool stopping_ = false;                    // guarded
    // Joined by the destructor before the members above go.
    std::thread worker_;
};

}  // namespace glidra
