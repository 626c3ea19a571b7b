#pragma once

#include "platform/Scheduler.h"

#include <QObject>

#include <functional>

namespace glidra {

// Holds the listener recovery's one pending reconnect: a newer schedule
// replaces an older one, so only the latest request can reconnect. Main
// thread only.
class TrackpadRecoveryScheduler {
public:
    // `canReconnect` is the general permission, asked once the delay has
    // passed; `reconnect` performs it.
    TrackpadRecoveryScheduler(Scheduler& scheduler, std::function<bool()> canReconnect,
                              std::function<void()> reconnect);

    TrackpadRecoveryScheduler(const TrackpadRecoveryScheduler&) = delete;
    TrackpadRecoveryScheduler& operator=(const TrackpadRecoveryScheduler&) = delete;

    // After `delay` seconds: reconnects when `canReconnect()` and then
    // `condition()` hold; the condition is not asked without the permission.
    void schedule(double delay, std::function<bool()> condition);
    // The pending reconnect, if any, never happens.
    void cancel();
    bool isPending() const { return task_.isActive(); }

private:
    Scheduler& scheduler_;
    std::function<bool()> canReconnect_;
    std::function<void()> reconnect_;
    TimerHandle task_;
    // Gone with the scheduler, and with it any reconnect still waiting.
    QObject lifetime_;
};

}  // namespace glidra
