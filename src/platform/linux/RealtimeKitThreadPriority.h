#pragma once

#include "platform/ThreadPriority.h"
#include "platform/linux/DBusCall.h"

#include <QDBusConnection>
#include <QObject>

#include <optional>

namespace glidra::linux_platform {

// Threads raised by RealtimeKit (org.freedesktop.RealtimeKit1 on the system
// bus), as the sound server raises its own: realtime (SCHED_RR, reset on
// fork) up to the priority it allows, or else a higher nice level. It hands
// realtime only to a process whose RLIMIT_RTTIME is at most its
// RTTimeUSecMax; that limit is set here before asking, with a soft limit
// below it whose SIGXCPU drops a thread that ran over back to normal
// scheduling (RealtimeOverrunGuard.h) before the hard one kills the process.
//
// The calls go out from the caller's thread without blocking it, each
// bounded by the usual D-Bus limit; the thread raised is named by its id, so
// it never waits on the bus itself.
class RealtimeKitThreadPriority final : public QObject, public ThreadPriority {
    Q_OBJECT

public:
    explicit RealtimeKitThreadPriority(QDBusConnection systemBus, int timeoutMs = kDBusTimeoutMs,
                                       QObject* parent = nullptr);

    QCoro::Task<Grant> raise(std::int64_t thread, Request request) override;

    // The calling thread's kernel id.
    static std::int64_t currentThread();

    // What RealtimeKit allows, read once.
    struct Limits {
        int maxRealtimePriority = 0;
        int minNiceLevel = 0;
        long long rtTimeUSecMax = 0;
    };

private:
    struct Answer {
        QList<QVariant> arguments;
        QString failure;           // empty when it answered
        bool unavailable = false;  // no bus, no service, or no answer in time
    };
    QCoro::Task<Answer> call(QString interface, QString method, QList<QVariant> arguments);

    QDBusConnection bus_;
    int timeoutMs_;
    std::optional<Limits> limits_;
};

}  // namespace glidra::linux_platform
