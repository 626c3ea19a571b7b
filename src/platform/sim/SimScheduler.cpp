#include "platform/sim/SimScheduler.h"

#include <algorithm>

namespace glidra::sim {

TimerHandle SimScheduler::after(double seconds, QObject* context, std::function<void()> callback) {
    auto state = std::make_shared<platform_detail::TimerState>();
    entries_.push_back(Entry{clock_.uptime() + std::max(0.0, seconds), nextOrder_++, context != nullptr,
                             QPointer<QObject>(context), std::move(callback), state});
    return TimerHandle(state);
}

void SimScheduler::advanceTo(double uptime) {
    for (;;) {
        std::erase_if(entries_, [](const Entry& e) { return !e.state->active || (e.hasContext && !e.context); });
        auto next = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.deadline < b.deadline || (a.deadline == b.deadline && a.order < b.order);
        });
        if (next == entries_.end() || next->deadline > uptime) break;
        Entry entry = std::move(*next);
        entries_.erase(next);
        if (entry.deadline > clock_.uptime()) clock_.set(entry.deadline);
        entry.state->active = false;
        entry.callback();
    }
    if (uptime > clock_.uptime()) clock_.set(uptime);
}

std::optional<double> SimScheduler::nextDeadline() const {
    std::optional<double> next;
    for (const auto& e : entries_) {
        if (!e.state->active || (e.hasContext && !e.context)) continue;
        if (!next || e.deadline < *next) next = e.deadline;
    }
    return next;
}

std::size_t SimScheduler::pendingCount() const {
    return std::size_t(std::count_if(entries_.begin(), entries_.end(),
                                     [](const Entry& e) { return e.state->active && !(e.hasContext && !e.context); }));
}

}  // namespace glidra::sim
