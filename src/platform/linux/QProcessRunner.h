#pragma once

#include "platform/ProcessRunner.h"

namespace glidra::linux_platform {

// Child processes through QProcess.
class QProcessRunner final : public ProcessRunner {
public:
    Started start(Command command, Finished finished) override;

    // How long start() waits for the system to say whether the program runs.
    static constexpr int startTimeoutMs = 5000;
};

}  // namespace glidra::linux_platform
