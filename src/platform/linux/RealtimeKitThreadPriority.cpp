#include "platform/linux/RealtimeKitThreadPriority.h"

#include "platform/linux/RealtimeOverrunGuard.h"

#include <QCoro/QCoroDBus>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPointer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace glidra::linux_platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
const QString kInterface = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// Errors that say nobody is there to ask, rather than that it said no.
bool meansUnavailable(const QString& error) {
    static const QStringList absent{
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
        QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
        QStringLiteral("org.freedesktop.DBus.Error.NoReply"),
        QStringLiteral("org.freedesktop.DBus.Error.Timeout"),
        QStringLiteral("org.freedesktop.DBus.Error.TimedOut"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
    };
    return absent.contains(error) || error.startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn."));
}

std::optional<long long> integerOf(const QList<QVariant>& arguments) {
    if (arguments.isEmpty()) return std::nullopt;
    QVariant value = arguments.constFirst();
    if (value.canConvert<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    bool ok = false;
    const long long number = value.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return number;
}

ThreadPriority::Grant unavailable(const QString& reason) {
    return {ThreadPriority::Grant::Kind::unavailable, 0, reason};
}

// RealtimeKit refuses a process that may run realtime without limit; the
// soft limit comes first so that SIGXCPU, not SIGKILL, meets a thread that
// runs over.
QString limitRealtimeRunTime(long long maximumUs) {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    const rlim_t hard = std::min<rlim_t>(limit.rlim_max, rlim_t(maximumUs));
    const rlim_t soft = std::min<rlim_t>(limit.rlim_cur, rlim_t(realtime_overrun::softLimitFor((long long)hard)));
    const rlimit wanted{soft, hard};
    if (soft == 0 || setrlimit(RLIMIT_RTTIME, &wanted) != 0) {
        return QStringLiteral("cannot limit the realtime run time to %1 µs: %2")
            .arg(maximumUs)
            .arg(QString::fromLocal8Bit(std::strerror(soft == 0 ? EINVAL : errno)));
    }
    return {};
}

}  // namespace

RealtimeKitThreadPriority::RealtimeKitThreadPriority(QDBusConnection systemBus, int timeoutMs, QObject* parent)
    : QObject(parent), bus_(std::move(systemBus)), timeoutMs_(timeoutMs) {}

std::int64_t RealtimeKitThreadPriority::currentThread() { return std::int64_t(syscall(SYS_gettid)); }

QCoro::Task<RealtimeKitThreadPriority::Answer> RealtimeKitThreadPriority::call(QString interface, QString method,
                                                                               QList<QVariant> arguments) {
    if (!bus_.isConnected()) {
        Answer failed;
        failed.failure = QStringLiteral("no system bus (%1)").arg(bus_.lastError().message());
        failed.unavailable = true;
        co_return failed;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = co_await bus_.asyncCall(message, timeoutMs_);
    Answer answer;
    if (reply.type() == QDBusMessage::ReplyMessage) {
        answer.arguments = reply.arguments();
    } else {
        answer.failure = reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
        answer.unavailable = meansUnavailable(reply.errorName());
    }
    co_return answer;
}

QCoro::Task<ThreadPriority::Grant> RealtimeKitThreadPriority::raise(std::int64_t thread, Request request) {
    QPointer<RealtimeKitThreadPriority> self(this);
    const QString stopped = QStringLiteral("stopped before RealtimeKit answered");
    if (!limits_) {
        const QStringList names{QStringLiteral("MaxRealtimePriority"), QStringLiteral("MinNiceLevel"),
                                QStringLiteral("RTTimeUSecMax")};
        QList<long long> values;
        for (const QString& name : names) {
            QList<QVariant> arguments;
            arguments << kInterface << name;
            const Answer answer = co_await call(kProperties, QStringLiteral("Get"), arguments);
            if (!self) co_return unavailable(stopped);
            if (answer.unavailable) co_return unavailable(answer.failure);
            const std::optional<long long> value = integerOf(answer.arguments);
            if (!answer.failure.isEmpty() || !value) {
                co_return Grant{Grant::Kind::refused, 0,
                                answer.failure.isEmpty() ? name + QStringLiteral(" is not a number") : answer.failure};
            }
            values.append(*value);
        }
        limits_ = Limits{int(values[0]), int(values[1]), values[2]};
    }
    const Limits limits = *limits_;

    QString realtimeRefusal;
    const int priority = std::min(request.realtimePriority, limits.maxRealtimePriority);
    if (priority < 1) {
        realtimeRefusal = QStringLiteral("no realtime priority allowed (at most %1)").arg(limits.maxRealtimePriority);
    } else if (limits.rtTimeUSecMax < 2) {
        realtimeRefusal = QStringLiteral("no realtime run time allowed (%1 µs)").arg(limits.rtTimeUSecMax);
    } else {
        realtimeRefusal = limitRealtimeRunTime(limits.rtTimeUSecMax);
        if (realtimeRefusal.isEmpty()) {
            realtime_overrun::install();
            if (!realtime_overrun::track(pid_t(thread))) {
                realtimeRefusal = QStringLiteral("too many realtime threads");
            } else {
                QList<QVariant> arguments;
                arguments << QVariant::fromValue(qulonglong(thread)) << QVariant::fromValue(uint(priority));
                const Answer answer = co_await call(kInterface, QStringLiteral("MakeThreadRealtime"), arguments);
                if (!self) co_return unavailable(stopped);
                if (answer.failure.isEmpty()) co_return Grant{Grant::Kind::realtime, priority, {}};
                if (answer.unavailable) co_return unavailable(answer.failure);
                realtimeRefusal = answer.failure;
            }
        }
    }

    const int nice = std::max(request.niceLevel, limits.minNiceLevel);
    if (nice >= 0) co_return Grant{Grant::Kind::refused, 0, realtimeRefusal};
    QList<QVariant> arguments;
    arguments << QVariant::fromValue(qulonglong(thread)) << QVariant::fromValue(nice);
    const Answer answer = co_await call(kInterface, QStringLiteral("MakeThreadHighPriority"), arguments);
    if (!self) co_return unavailable(stopped);
    if (answer.failure.isEmpty()) co_return Grant{Grant::Kind::highPriority, nice, realtimeRefusal};
    co_return Grant{Grant::Kind::refused, 0,
                    QStringLiteral("realtime: %1; nice %2: %3").arg(realtimeRefusal).arg(nice).arg(answer.failure)};
}

}  // namespace glidra::linux_platform
