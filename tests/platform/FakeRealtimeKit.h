#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <optional>
#include <utility>

namespace glidra::test {

// RealtimeKit's part the adapter uses, refusing where the real service
// refuses: a thread that is not the caller's, a priority above its maximum,
// a nice level below its minimum, and a caller whose RLIMIT_RTTIME is
// unlimited or above RTTimeUSecMax. It changes no thread's scheduling; it
// records what it would have granted.
class FakeRealtimeKit final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.RealtimeKit1")
    Q_PROPERTY(int MaxRealtimePriority READ maxRealtimePriority SCRIPTABLE true)
    Q_PROPERTY(int MinNiceLevel READ minNiceLevel SCRIPTABLE true)
    Q_PROPERTY(qlonglong RTTimeUSecMax READ rtTimeUSecMax SCRIPTABLE true)

public:
    struct Policy {
        int maxRealtimePriority = 20;
        int minNiceLevel = -15;
        qlonglong rtTimeUSecMax = 200000;
        // As when the user's session is not active, or it hands out too much.
        bool refusesRealtime = false;
    };

    explicit FakeRealtimeKit(Policy policy) : policy_(policy) {}

    int maxRealtimePriority() const { return policy_.maxRealtimePriority; }
    int minNiceLevel() const { return policy_.minNiceLevel; }
    qlonglong rtTimeUSecMax() const { return policy_.rtTimeUSecMax; }

    // "realtime <thread> <priority>" and "nice <thread> <level>", as granted.
    QStringList granted() const {
        QMutexLocker lock(&mutex_);
        return granted_;
    }

public Q_SLOTS:
    Q_SCRIPTABLE void MakeThreadRealtime(qulonglong thread, uint priority) {
        if (priority < 1 || int(priority) > policy_.maxRealtimePriority) return refuse("priority out of range");
        if (!ofCaller(thread)) return refuse("not a thread of the caller");
        if (!limitedRunTime()) return refuse("RLIMIT_RTTIME not set low enough");
        if (policy_.refusesRealtime) return refuse("not authorized");
        grant(QStringLiteral("realtime %1 %2").arg(thread).arg(priority));
    }
    Q_SCRIPTABLE void MakeThreadHighPriority(qulonglong thread, int priority) {
        if (priority < policy_.minNiceLevel || priority >= 20) return refuse("nice level out of range");
        if (!ofCaller(thread)) return refuse("not a thread of the caller");
        grant(QStringLiteral("nice %1 %2").arg(thread).arg(priority));
    }

private:
    void refuse(const char* why) { sendErrorReply(QDBusError::AccessDenied, QString::fromLatin1(why)); }
    void grant(const QString& what) {
        QMutexLocker lock(&mutex_);
        granted_.append(what);
    }
    uint callerPid() const { return connection().interface()->servicePid(message().service()).value(); }
    bool ofCaller(qulonglong thread) const {
        return QDir(QStringLiteral("/proc/%1/task/%2").arg(callerPid()).arg(thread)).exists();
    }
    // Both of the caller's limits, as /proc tells them.
    bool limitedRunTime() const {
        QFile limits(QStringLiteral("/proc/%1/limits").arg(callerPid()));
        if (!limits.open(QIODevice::ReadOnly)) return false;
        for (const QByteArray& line : limits.readAll().split('\n')) {
            if (!line.startsWith("Max realtime timeout")) continue;
            const QList<QByteArray> fields = line.mid(int(qstrlen("Max realtime timeout"))).simplified().split(' ');
            if (fields.size() < 2) return false;
            for (int i = 0; i < 2; ++i) {
                bool ok = false;
                const qlonglong value = fields[i].toLongLong(&ok);
                if (!ok || value > policy_.rtTimeUSecMax) return false;
            }
            return true;
        }
        return false;
    }

    const Policy policy_;
    mutable QMutex mutex_;
    QStringList granted_;
};

}  // namespace glidra::test
