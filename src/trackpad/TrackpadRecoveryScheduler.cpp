#include "trackpad/TrackpadRecoveryScheduler.h"

namespace glidra {

TrackpadRecoveryScheduler::TrackpadRecoveryScheduler(Scheduler& scheduler, std::function<bool()> canReconnect,
                                                     std::function<void()> reconnect)
    : scheduler_(scheduler), canReconnect_(std::move(canReconnect)), reconnect_(std::move(reconnect)) {}

void TrackpadRecoveryScheduler::schedule(double delay, std::function<bool()> condition) {
    cancel();
    task_ = scheduler_.after(delay, &lifetime_, [this, condition = std::move(condition)] {
        task_ = TimerHandle();
        if (canReconnect_() && condition()) reconnect_();
    });
}

void TrackpadRecoveryScheduler::cancel() {
    task_.cancel();
    task_ = TimerHandle();
}

}  // namespace glidra
