#include "platform/linux/RealtimeOverrunGuard.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace glidra::linux_platform::realtime_overrun {

namespace {

// Few threads are ever raised (the reader and the main thread); a fixed
// table is what a signal handler can read.
std::array<std::atomic<pid_t>, 8> tracked{};

bool isRealtime(pid_t thread) {
    const int policy = sched_getscheduler(thread);
    if (policy < 0) return false;
    const int base = policy & ~SCHED_RESET_ON_FORK;
    return base == SCHED_RR || base == SCHED_FIFO;
}

void dropToNormal(pid_t thread) {
    const sched_param normal{};
    sched_setscheduler(thread, SCHED_OTHER | SCHED_RESET_ON_FORK, &normal);
}

// Only system calls and arithmetic here: each is async-signal-safe.
void onCpuLimit(int) {
    const int savedErrno = errno;
    // The kernel signals the process through the thread that ran over, which
    // takes it unless it blocks SIGXCPU (ours do not): that thread is the
    // one to drop.
    const pid_t self = pid_t(syscall(SYS_gettid));
    bool dropped = false;
    if (isRealtime(self)) {
        dropToNormal(self);
        dropped = true;
    } else {
        // Another thread took it after all: drop every realtime one of ours
        // rather than let the one that ran over reach the hard limit.
        for (const auto& entry : tracked) {
            const pid_t thread = entry.load(std::memory_order_relaxed);
            if (thread > 0 && isRealtime(thread)) {
                dropToNormal(thread);
                dropped = true;
            }
        }
    }
    if (!dropped) {
        // The CPU time limit, not ours: its default action.
        signal(SIGXCPU, SIG_DFL);
        raise(SIGXCPU);
    } else {
        // The kernel moved the soft limit a second on, past the hard one: put
        // it back, so that another thread that runs over is dropped too
        // rather than killed.
        rlimit limit{};
        if (getrlimit(RLIMIT_RTTIME, &limit) == 0 && limit.rlim_max != RLIM_INFINITY &&
            limit.rlim_cur >= limit.rlim_max) {
            limit.rlim_cur = rlim_t(softLimitFor((long long)limit.rlim_max));
            setrlimit(RLIMIT_RTTIME, &limit);
        }
    }
    errno = savedErrno;
}

}  // namespace

void install() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = onCpuLimit;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGXCPU, &action, nullptr);
    });
}

bool track(pid_t thread) {
    for (auto& entry : tracked) {
        pid_t current = entry.load();
        if (current == thread) return true;
    }
    for (auto& entry : tracked) {
        pid_t empty = 0;
        if (entry.compare_exchange_strong(empty, thread)) return true;
    }
    return false;
}

long long softLimitFor(long long hard) { return hard / 2; }

}  // namespace glidra::linux_platform::realtime_overrun
