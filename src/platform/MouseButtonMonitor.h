#pragma once

#include "platform/InputEvent.h"

#include <cstdint>
#include <functional>

namespace glidra {

// Watches the mouse-button events a physical trackpad press can produce: left
// and right down and up, and other-button down. It only observes; the system
// handles every event as usual. Handlers are called on the main thread.
//
// A press that a touchpad's own button produced carries
// InputEvent::isTouchSubtype; the event's source process, origin and
// user-data marker tell our own synthesised clicks apart.
class MouseButtonMonitor {
public:
    using Handler = std::function<void(const InputEvent&)>;
    // Identifies one installed monitor; 0 is never handed out.
    using Token = std::uint64_t;

    virtual ~MouseButtonMonitor() = default;

    // Button events aimed at this application's own windows.
    virtual Token addLocalMonitor(Handler handler) = 0;
    // Button events aimed at other applications.
    virtual Token addGlobalMonitor(Handler handler) = 0;
    // Removes a monitor of either kind; unknown tokens are ignored.
    virtual void removeMonitor(Token token) = 0;

    // The event types these monitors deliver.
    static bool isMonitoredType(InputEvent::Type type) {
        switch (type) {
            case InputEvent::Type::leftMouseDown:
            case InputEvent::Type::leftMouseUp:
            case InputEvent::Type::rightMouseDown:
            case InputEvent::Type::rightMouseUp:
            case InputEvent::Type::otherMouseDown:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace glidra
