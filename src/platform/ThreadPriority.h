#pragma once

#include <QCoro/QCoroTask>
#include <QString>

#include <cstdint>

namespace glidra {

// Raises a thread of this process above the ordinary ones, so that a loaded
// machine does not keep it waiting for a processor: the touchpad's reader
// and the main thread, which a frame passes on its way to an action.
class ThreadPriority {
public:
    // What a thread asks for: a realtime priority (1 and up) and, where that
    // is refused, a nice level (negative is higher) to fall back to.
    struct Request {
        int realtimePriority = 0;
        int niceLevel = 0;
        bool operator==(const Request&) const = default;
    };

    struct Grant {
        enum class Kind {
            realtime,      // `priority` is the realtime priority it runs at
            highPriority,  // `priority` is its nice level
            refused,       // it runs as before
            unavailable,   // nothing on this machine raises threads: asking again is pointless
        };
        Kind kind = Kind::refused;
        int priority = 0;
        // Why realtime (and the fallback) was refused, for the log.
        QString reason;
        bool operator==(const Grant&) const = default;
    };

    virtual ~ThreadPriority() = default;

    // Raises `thread`, a kernel thread id of this process. Never waits long
    // (a service that does not answer counts as unavailable), and never on
    // the raised thread itself.
    virtual QCoro::Task<Grant> raise(std::int64_t thread, Request request) = 0;
};

}  // namespace glidra
