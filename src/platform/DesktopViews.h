#pragma once

#include <QCoro/QCoroTask>

namespace glidra {

// The desktop's own views that set the windows aside: the bare desktop, and
// the overview of every window. On Linux, showing the desktop is the EWMH
// `_NET_SHOWING_DESKTOP` request to the window manager, and the overview is
// GNOME's Activities overview, opened through GNOME Shell on the session bus.
class DesktopViews {
public:
    enum class Outcome {
        unavailable,  // the desktop has no such view
        failed,       // it has one, but the request did not go through
        shown,
    };

    virtual ~DesktopViews() = default;

    virtual Outcome showDesktop() = 0;
    // Answers without blocking: the overview is asked of another process.
    virtual QCoro::Task<Outcome> openOverview() = 0;
};

}  // namespace glidra
