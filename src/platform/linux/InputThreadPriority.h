#pragma once

#include "platform/ThreadPriority.h"

#include <cstdint>

namespace glidra::linux_platform {

// What the threads on a frame's road ask for. The reader only reads and
// assembles, blocking in poll after every packet, so it takes the sound
// server's data-thread priority; the main thread, which runs longer jobs
// too, sits below it, so a frame is always read while the main thread works.
inline constexpr ThreadPriority::Request kReaderThreadRequest{20, -11};
inline constexpr ThreadPriority::Request kMainThreadRequest{10, -11};

// Raises the touchpad's reader thread, then the main thread, and says in
// one line of glidra.input what they got. Where nothing raises threads it
// asks once and says so.
QCoro::Task<void> raiseInputThreads(ThreadPriority& priority, std::int64_t readerThread, std::int64_t mainThread);

}  // namespace glidra::linux_platform
