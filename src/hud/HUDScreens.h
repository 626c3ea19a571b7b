#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

namespace glidra {

// One screen as the HUD places on it, in Qt's global coordinates (origin at
// the top left of the virtual desktop, y growing downwards).
struct HUDScreen {
    QRect geometry;
    QRect availableGeometry;  // without panels and docks

    friend bool operator==(const HUDScreen&, const HUDScreen&) = default;
};

// The screens and the pointer the HUD is placed by: the desktop's in the
// application, fixed ones in tests.
class HUDScreens {
public:
    virtual ~HUDScreens() = default;

    // In the desktop's screen order.
    virtual std::vector<HUDScreen> screens() const = 0;
    virtual std::optional<HUDScreen> primaryScreen() const = 0;
    virtual QPoint pointer() const = 0;
};

}  // namespace glidra
