#pragma once

#include "platform/EventTap.h"

#include <memory>
#include <vector>

namespace glidra::sim {

// The session's event stream in memory. Tests deliver the user's events
// through the installed taps and read what reached the applications; the
// sim event poster can route posted events through it as the system does.
// Creating and enabling taps fail on demand, and the system's disabling of
// taps is sent when the test chooses.
class SimEventTap final : public EventTap {
public:
    SimEventTap();
    ~SimEventTap() override;

    std::unique_ptr<Installation> install(EventMask mask, EventHandler onEvent, DisabledHandler onDisabled) override;

    // Runs the event through the enabled taps whose mask holds its type, the
    // last installed first (each tap goes to the head of the stream). Gives
    // what passed, recorded in delivered(), or nothing when a tap swallowed it.
    std::optional<InputEvent> deliver(const InputEvent& event);
    // The system disables every enabled tap and tells each.
    void disableAll(DisabledReason reason);

    // While set, install() gives nothing.
    void setInstallFails(bool fails);
    // While set, taps cannot be enabled: new ones come up disabled.
    void setRefusesToEnable(bool refuses);

    int installedCount() const;
    int enabledCount() const;
    int installCount() const;
    // The masks of the installed taps, the head of the stream first.
    std::vector<EventMask> installedMasks() const;

    // Every event that came out of the taps, in order.
    const std::vector<InputEvent>& delivered() const;
    void clearDelivered();

    // The user's key and mouse events, as their hardware produces them.
    static InputEvent userKey(InputEvent::Type type, std::uint16_t keyCode, std::uint64_t flags = 0);
    static InputEvent userMouse(InputEvent::Type type, QPointF location = {});

private:
    struct Registry;
    class SimInstallation;
    std::shared_ptr<Registry> registry_;
};

}  // namespace glidra::sim
