#include "platform/linux/InputThreadPriority.h"

#include "platform/LogCategories.h"

namespace glidra::linux_platform {

namespace {

QString describe(const ThreadPriority::Grant& grant) {
    using Kind = ThreadPriority::Grant::Kind;
    switch (grant.kind) {
        case Kind::realtime:
            return QStringLiteral("at realtime priority %1").arg(grant.priority);
        case Kind::highPriority:
            return QStringLiteral("at nice %1 (realtime refused: %2)").arg(grant.priority).arg(grant.reason);
        case Kind::refused:
        case Kind::unavailable:
            break;
    }
    return QStringLiteral("at normal priority (%1)").arg(grant.reason);
}

}  // namespace

QCoro::Task<void> raiseInputThreads(ThreadPriority& priority, std::int64_t readerThread, std::int64_t mainThread) {
    using Kind = ThreadPriority::Grant::Kind;
    const ThreadPriority::Grant reader = co_await priority.raise(readerThread, kReaderThreadRequest);
    if (reader.kind == Kind::unavailable) {
        qCInfo(lcInput).noquote() << "nothing raises the input threads (" + reader.reason +
                                         "): they run at normal priority";
        co_return;
    }
    const ThreadPriority::Grant main = co_await priority.raise(mainThread, kMainThreadRequest);
    if (main == reader) {
        qCInfo(lcInput).noquote() << "the touchpad reader thread and the main thread run" << describe(reader);
    } else {
        qCInfo(lcInput).noquote() << "the touchpad reader thread runs" << describe(reader) + QStringLiteral(",")
                                  << "the main thread" << describe(main);
    }
}

}  // namespace glidra::linux_platform
