#pragma once

#include "platform/InputEvent.h"
#include "platform/linux/EvdevInputHub.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace glidra::linux_platform {

// Monitors of the user's events as the hub reads them, after the event taps
// had their say. The kernel does not tell which window an event is for, so an
// event goes to the local monitors while one of this program's windows has
// the keyboard focus, and to the global ones otherwise: each event reaches
// one kind, as it does where the system tells them apart. The devices of
// `classes` stay open while any monitor is installed.
class EvdevEventMonitors {
public:
    using Handler = std::function<void(const InputEvent&)>;
    enum class Scope { local, global };

    EvdevEventMonitors(EvdevInputHub& hub, InputDeviceClasses classes, std::function<bool(const InputEvent&)> accepts);
    ~EvdevEventMonitors();

    std::uint64_t add(Scope scope, Handler handler);
    // Unknown tokens are ignored.
    void remove(std::uint64_t token);

    int installed(Scope scope) const;

    // Whether one of our windows has the keyboard focus.
    static bool ownWindowFocused();

private:
    void deliver(const InputEvent& event);

    struct Entry {
        Scope scope;
        Handler handler;
    };

    EvdevInputHub& hub_;
    InputDeviceClasses classes_;
    std::function<bool(const InputEvent&)> accepts_;
    std::map<std::uint64_t, Entry> entries_;
    std::uint64_t nextToken_ = 1;
    std::unique_ptr<EvdevInputHub::Lease> lease_;
    EvdevInputHub::ObserverId observer_ = 0;
};

}  // namespace glidra::linux_platform
