#pragma once

#include "notices/HUDNotice.h"
#include "platform/WindowControl.h"

namespace glidra {

// Window actions beyond layout.
class WindowAction {
public:
    explicit WindowAction(WindowControl& windows) : windows_(windows) {}

    // Closes the focused window of the front application, as its close button
    // does.
    HUDNotice closeFrontWindow();

private:
    WindowControl& windows_;
};

}  // namespace glidra
