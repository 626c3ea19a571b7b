#pragma once

#include "platform/InputEvent.h"

#include <cstdint>
#include <functional>

namespace glidra {

// Watches key-down events without changing or swallowing them. Handlers are
// called on the main thread.
class KeyEventMonitor {
public:
    using Handler = std::function<void(const InputEvent&)>;
    // Identifies one installed monitor; 0 is never handed out.
    using Token = std::uint64_t;

    virtual ~KeyEventMonitor() = default;

    // Key-downs aimed at this application's own windows.
    virtual Token addLocalKeyDownMonitor(Handler handler) = 0;
    // Key-downs aimed at other applications. The system lets a process see
    // them only while it is trusted for Accessibility, so callers check
    // AccessibilityTrust before installing one.
    virtual Token addGlobalKeyDownMonitor(Handler handler) = 0;
    // Removes a monitor of either kind; unknown tokens are ignored.
    virtual void removeMonitor(Token token) = 0;
};

}  // namespace glidra
