#pragma once

#include "platform/SystemEvents.h"

namespace glidra::sim {

// Session and power events that tests send when they choose.
class SimSystemEvents final : public SystemEvents {
    Q_OBJECT

public:
    using SystemEvents::SystemEvents;

    void sleep() { Q_EMIT willSleep(); }
    void wake() { Q_EMIT didWake(); }
    void wakeScreens() { Q_EMIT screensDidWake(); }
    void activateSession() { Q_EMIT sessionDidBecomeActive(); }
    void resignSession() { Q_EMIT sessionDidResignActive(); }
    void terminate() { Q_EMIT willTerminate(); }
};

}  // namespace glidra::sim
