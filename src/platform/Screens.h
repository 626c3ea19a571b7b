#pragma once

#include <QRectF>
#include <QString>

#include <vector>

namespace glidra {

// One display. Frames are global, in the windows' coordinates: origin at the
// top left of the primary display, y growing downwards.
struct ScreenInfo {
    QString identifier;  // stable while the display stays connected
    QRectF frame;
    QRectF visibleFrame;  // without panels and docks

    friend bool operator==(const ScreenInfo&, const ScreenInfo&) = default;
};

// The connected displays.
class Screens {
public:
    virtual ~Screens() = default;

    // The displays, the primary one first.
    virtual std::vector<ScreenInfo> screens() const = 0;
};

}  // namespace glidra
