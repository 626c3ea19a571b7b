#pragma once

#include "platform/MouseButtonMonitor.h"
#include "platform/sim/SimEventMonitorRegistry.h"

namespace glidra::sim {

// Mouse-button monitoring in memory. Tests click on our own windows (local
// monitors see it) or elsewhere (global monitors see it); only the monitored
// button events are delivered.
class SimMouseButtonMonitor final : public MouseButtonMonitor {
public:
    enum class Target { ownWindow, otherApplication };

    Token addLocalMonitor(Handler handler) override;
    Token addGlobalMonitor(Handler handler) override;
    void removeMonitor(Token token) override { registry_.remove(token); }

    void click(const InputEvent& event, Target target = Target::otherApplication);

    // A button event of the user's hardware: `fromTouchpad` marks a press of a
    // touchpad's own button. The button number follows the type (0 left,
    // 1 right, 2 other).
    static InputEvent userButton(InputEvent::Type type, bool fromTouchpad = true);

    int localMonitors() const { return registry_.installed(SimEventMonitorRegistry::Scope::local); }
    int globalMonitors() const { return registry_.installed(SimEventMonitorRegistry::Scope::global); }
    int installCount() const {
        return registry_.installCount(SimEventMonitorRegistry::Scope::local) +
               registry_.installCount(SimEventMonitorRegistry::Scope::global);
    }

private:
    SimEventMonitorRegistry registry_;
};

}  // namespace glidra::sim
