#pragma once

#include "platform/InputEvent.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace glidra::sim {

// The monitors installed on a sim monitoring port, local (our windows) and
// global (other applications) apart, with how often each kind was installed
// and removed so tests can tell a reinstall from a kept monitor.
class SimEventMonitorRegistry {
public:
    using Handler = std::function<void(const InputEvent&)>;
    enum class Scope { local, global };

    std::uint64_t add(Scope scope, Handler handler);
    // Unknown or already removed tokens are ignored, as the system does.
    void remove(std::uint64_t token);
    // Calls every monitor of `scope` that is installed when its turn comes, so
    // a handler may remove monitors (its own included) while it runs.
    void deliver(Scope scope, const InputEvent& event);

    int installed(Scope scope) const;
    int installCount(Scope scope) const { return scope == Scope::local ? localInstalls_ : globalInstalls_; }
    int removeCount() const { return removals_; }

private:
    struct Entry {
        std::uint64_t token;
        Scope scope;
        Handler handler;
    };

    std::vector<Entry> entries_;
    std::uint64_t nextToken_ = 1;
    int localInstalls_ = 0;
    int globalInstalls_ = 0;
    int removals_ = 0;
};

}  // namespace glidra::sim
