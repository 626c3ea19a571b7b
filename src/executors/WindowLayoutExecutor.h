#pragma once

#include "actions/GestureAction.h"
#include "executors/WindowFrameHistory.h"
#include "notices/HUDNotice.h"
#include "platform/Screens.h"
#include "platform/WindowControl.h"

#include <QCoro/QCoroTask>

#include <memory>

namespace glidra {

// Lays out the focused window of the front application for the six layout
// actions, and puts it back where it was before the program first moved it.
// Main thread only; the dispatcher calls it only when the program is trusted
// to control other applications. A layout that is still under way when the
// executor goes ends without touching the window again.
class WindowLayoutExecutor {
public:
    // `history` is the one shared frame history.
    WindowLayoutExecutor(WindowControl& windows, const Screens& screens, WindowFrameHistory& history)
        : windows_(windows), screens_(screens), history_(history) {}

    // windowLeftHalf, windowRightHalf, centerWindow, maximizeWindow,
    // restoreWindow or moveWindowToNextDisplay.
    QCoro::Task<HUDNotice> perform(GestureAction action);

    // A frame read back within this distance of the target counts as reached.
    static constexpr double kTolerance = 4.0;
    // A window this close to its centred place is centred already.
    static constexpr double kCentredTolerance = 1.0;

private:
    QCoro::Task<HUDNotice> centre(WindowControl::WindowId window, QRectF frame, QRectF target, GestureAction action);

    WindowControl& windows_;
    const Screens& screens_;
    WindowFrameHistory& history_;
    // Expires with the executor: a layout resumed after that stops.
    std::shared_ptr<int> alive_ = std::make_shared<int>();
};

}  // namespace glidra
