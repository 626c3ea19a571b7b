#pragma once

#include "platform/Scheduler.h"
#include "platform/sim/ManualClock.h"

#include <cstdint>
#include <vector>

namespace glidra::sim {

// Runs scheduled callbacks on a manual clock. advanceTo(t) fires every due
// callback in deadline order (ties in scheduling order) with the clock set
// to that callback's deadline, then leaves the clock at t.
class SimScheduler final : public Scheduler {
public:
    explicit SimScheduler(ManualClock& clock) : clock_(clock) {}

    TimerHandle after(double seconds, QObject* context, std::function<void()> callback) override;

    void advanceTo(double uptime);
    void advanceBy(double seconds) { advanceTo(clock_.uptime() + seconds); }

    // Deadline of the next callback that would fire, if any.
    std::optional<double> nextDeadline() const;
    std::size_t pendingCount() const;

private:
    struct Entry {
        double deadline;
        std::uint64_t order;
        bool hasContext;
        QPointer<QObject> context;
        std::function<void()> callback;
        std::shared_ptr<platform_detail::TimerState> state;
    };

    ManualClock& clock_;
    std::uint64_t nextOrder_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace glidra::sim
