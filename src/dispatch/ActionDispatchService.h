#pragma once

#include "gestures/GestureBinding.h"
#include "notices/HUDNotice.h"
#include "platform/Cancellation.h"

#include <QCoro/QCoroTask>

namespace glidra {

// Carries out one bound action and says what happened: what the trackpad
// controller's action task awaits. Main thread only.
class ActionDispatchService {
public:
    virtual ~ActionDispatchService() = default;

    // Always ends in a notice, never throws. `token` is the running action
    // task's: executors that wait stop waiting when it is cancelled.
    virtual QCoro::Task<HUDNotice> performGestureAction(GestureBinding binding, CancellationToken token) = 0;
};

}  // namespace glidra
