#pragma once

#include "actions/GestureAction.h"
#include "executors/WindowFrameHistory.h"
#include "notices/HUDNotice.h"
#include "platform/Screens.h"
#include "platform/WindowControl.h"

namespace glidra {

// Lays out the focused window of the front application for the six layout
// actions, and puts it back where it was before the program first moved it.
// Main thread only; the dispatcher calls it only when the program is trusted
// to control other applications.
class WindowLayoutExecutor {
public:
    // `history` is the one shared frame history.
    WindowLayoutExecutor(WindowControl& windows, const Screens& screens, WindowFrameHistory& history)
        : windows_(windows), screens_(screens), history_(history) {}

    // windowLeftHalf, windowRightHalf, centerWindow, maximizeWindow,
    // restoreWindow or moveWindowToNextDisplay.
    HUDNotice perform(GestureAction action);

    // A frame read back within this distance of the target counts as reached.
    static constexpr double kTolerance = 4.0;
    // A window this close to its centred place is centred already.
    static constexpr double kCentredTolerance = 1.0;

private:
    HUDNotice centre(WindowControl::WindowId window, const QRectF& frame, const QRectF& target, GestureAction action);

    WindowControl& windows_;
    const Screens& screens_;
    WindowFrameHistory& history_;
};

}  // namespace glidra
