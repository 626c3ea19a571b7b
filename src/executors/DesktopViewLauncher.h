#pragma once

#include "notices/HUDNotice.h"

#include <QCoro/QCoroTask>

namespace glidra {

class DesktopViews;

// Shows the desktop or the overview of all windows (the actions showDesktop
// and missionControl) through the desktop's own views, and says how it went.
class DesktopViewLauncher {
public:
    explicit DesktopViewLauncher(DesktopViews& views) : views_(views) {}

    HUDNotice showDesktop();
    QCoro::Task<HUDNotice> openMissionControl();

private:
    DesktopViews& views_;
};

}  // namespace glidra
