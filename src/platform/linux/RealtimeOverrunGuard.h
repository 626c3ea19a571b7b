#pragma once

#include <sys/types.h>

namespace glidra::linux_platform {

// A realtime thread that runs longer than RLIMIT_RTTIME without blocking
// gets the process killed (SIGKILL at the hard limit). The main thread can
// (a long synchronous job: the settings window with many rules), so the soft
// limit is kept below the hard one and its SIGXCPU drops the thread that ran
// over back to normal scheduling instead: the program goes on, only slower
// to answer a loaded machine.
namespace realtime_overrun {

// Installs the SIGXCPU handler (once; later calls do nothing). A SIGXCPU
// that no realtime thread of ours explains (RLIMIT_CPU) still ends the
// process, as it would without the handler.
void install();

// Remembers a thread raised to realtime; the handler drops it when it is
// the one that ran over. Safe from any thread. False when every place is
// taken (the thread is then not raised).
bool track(pid_t thread);

// The soft limit below `hard` (µs) that leaves the handler time to act.
long long softLimitFor(long long hard);

}  // namespace realtime_overrun

}  // namespace glidra::linux_platform
