#pragma once

#include "platform/Screens.h"

namespace glidra::linux_platform {

// The displays as Qt reports them, in the X server's own pixels, the
// coordinates of the window adapter.
class QtScreens final : public Screens {
public:
    std::vector<ScreenInfo> screens() const override;

    // Qt scales each screen's content around the screen's top left, which
    // stays in place: a rectangle on a screen, back in device pixels.
    static QRectF devicePixels(const QRectF& logical, const QPointF& screenTopLeft, double devicePixelRatio);
};

}  // namespace glidra::linux_platform
