#pragma once

namespace glidra {

// Whether the desktop composites windows: only then does a translucent
// window show what lies under it; without a compositor its clear parts
// show black.
class DesktopCompositing {
public:
    virtual ~DesktopCompositing() = default;

    // Asked as a window is about to show; the answer may change while the
    // program runs (a compositor switched on or off).
    virtual bool isCompositing() const = 0;
};

}  // namespace glidra
