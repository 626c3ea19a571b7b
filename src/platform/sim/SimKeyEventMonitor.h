#pragma once

#include "platform/KeyEventMonitor.h"
#include "platform/sim/SimEventMonitorRegistry.h"

namespace glidra::sim {

// Key-down monitoring in memory. Tests press keys aimed at our own windows
// (local monitors see them) or at another application (global monitors see
// them); the events carry whatever source process, origin and marker the test
// gives them. Trust is not modelled here: the program checks it before it
// installs a global monitor, and tests check what was installed.
class SimKeyEventMonitor final : public KeyEventMonitor {
public:
    enum class Target { ownWindow, otherApplication };

    Token addLocalKeyDownMonitor(Handler handler) override;
    Token addGlobalKeyDownMonitor(Handler handler) override;
    void removeMonitor(Token token) override { registry_.remove(token); }

    // Delivers a key-down; other event types are not monitored and go nowhere.
    void press(const InputEvent& event, Target target);

    // A key the user pressed on a real keyboard.
    static InputEvent userKeyDown(std::uint16_t keyCode, std::uint64_t flags = 0);

    int localMonitors() const { return registry_.installed(SimEventMonitorRegistry::Scope::local); }
    int globalMonitors() const { return registry_.installed(SimEventMonitorRegistry::Scope::global); }
    int globalInstallCount() const { return registry_.installCount(SimEventMonitorRegistry::Scope::global); }
    int localInstallCount() const { return registry_.installCount(SimEventMonitorRegistry::Scope::local); }

private:
    SimEventMonitorRegistry registry_;
};

}  // namespace glidra::sim
