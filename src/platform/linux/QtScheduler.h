#pragma once

#include "platform/Scheduler.h"

namespace glidra::linux_platform {

// Delays on Qt's event loop of the calling (main) thread.
class QtScheduler final : public Scheduler {
public:
    TimerHandle after(double seconds, QObject* context, std::function<void()> callback) override;
};

}  // namespace glidra::linux_platform
