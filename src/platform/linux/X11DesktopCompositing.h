#pragma once

#include "platform/DesktopCompositing.h"
#include "platform/linux/X11Root.h"

#include <optional>

namespace glidra::linux_platform {

// On X a compositing manager owns the selection _NET_WM_CM_S<screen>
// while it runs. A Wayland compositor always composites, XWayland's windows
// too. Without a display to ask, windows are taken as composited, as on the
// platforms that draw offscreen.
class X11DesktopCompositing final : public DesktopCompositing {
public:
    X11DesktopCompositing(X11Root root, bool waylandSession);

    bool isCompositing() const override;

private:
    X11Root root_;
    bool waylandSession_;
    mutable std::optional<X11Root::Atom> selection_;
};

}  // namespace glidra::linux_platform
