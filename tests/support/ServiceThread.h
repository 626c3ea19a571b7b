#pragma once

#include <QThread>

#include <mutex>

namespace glidra::test {

// A thread for the fake services of a test, whose end a race checker sees:
// once stop() returns, all the thread did happened before what the caller
// does next (deleting the objects it served, say). QThread::wait waits under
// Qt's own locks, which a race checker cannot see into in a Qt built without
// it; the last thing the thread does here is take a std::mutex.
class ServiceThread final : public QThread {
public:
    ServiceThread() {
        connect(
            this, &QThread::finished, this, [this] { const std::lock_guard lock(end_); }, Qt::DirectConnection);
    }
    ~ServiceThread() override { stop(); }

    void stop() {
        quit();
        wait();
        const std::lock_guard lock(end_);
    }

private:
    std::mutex end_;
};

}  // namespace glidra::test
