#pragma once

#include "hud/HUDScreens.h"

namespace glidra {

// The application's screens and the pointer, as Qt sees them.
class DesktopHUDScreens final : public HUDScreens {
public:
    std::vector<HUDScreen> screens() const override;
    std::optional<HUDScreen> primaryScreen() const override;
    QPoint pointer() const override;
};

}  // namespace glidra
