#include "platform/sim/SimEventMonitorRegistry.h"

#include <algorithm>

namespace glidra::sim {

std::uint64_t SimEventMonitorRegistry::add(Scope scope, Handler handler) {
    const std::uint64_t token = nextToken_++;
    entries_.push_back(Entry{token, scope, std::move(handler)});
    ++(scope == Scope::local ? localInstalls_ : globalInstalls_);
    return token;
}

void SimEventMonitorRegistry::remove(std::uint64_t token) {
    const auto removed = std::erase_if(entries_, [token](const Entry& e) { return e.token == token; });
    removals_ += int(removed);
}

void SimEventMonitorRegistry::deliver(Scope scope, const InputEvent& event) {
    std::vector<std::uint64_t> tokens;
    for (const Entry& e : entries_) {
        if (e.scope == scope) tokens.push_back(e.token);
    }
    for (std::uint64_t token : tokens) {
        const auto it =
            std::find_if(entries_.begin(), entries_.end(), [token](const Entry& e) { return e.token == token; });
        if (it == entries_.end()) continue;
        // A copy: the handler may remove its own entry while it runs.
        Handler handler = it->handler;
        handler(event);
    }
}

int SimEventMonitorRegistry::installed(Scope scope) const {
    return int(std::count_if(entries_.begin(), entries_.end(), [scope](const Entry& e) { return e.scope == scope; }));
}

}  // namespace glidra::sim
