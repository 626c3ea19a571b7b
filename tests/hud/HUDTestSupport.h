#pragma once

#include "hud/FloatingAdjustmentHUD.h"
#include "hud/HUDPanel.h"
#include "hud/HUDScreens.h"
#include "hud/HUDView.h"
#include "platform/sim/SimDesktopCompositing.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

namespace glidra::test {

// Two side-by-side screens: a 1920 x 1080 one with a 32-pixel top panel, and
// to its right a 1280 x 1024 one with a 40-pixel bottom panel.
inline const HUDScreen leftScreen{QRect(0, 0, 1920, 1080), QRect(0, 32, 1920, 1048)};
inline const HUDScreen rightScreen{QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 984)};

class FakeScreens final : public HUDScreens {
public:
    std::vector<HUDScreen> all{leftScreen, rightScreen};
    std::optional<HUDScreen> primary = leftScreen;
    QPoint at{400, 300};

    std::vector<HUDScreen> screens() const override { return all; }
    std::optional<HUDScreen> primaryScreen() const override { return primary; }
    QPoint pointer() const override { return at; }
};

// A HUD on the manual clock, with settings and screens the test changes.
class HUDTest : public ::testing::Test {
protected:
    SimTime time;
    FakeScreens screens;
    bool showsHints = true;
    HUDPosition position = HUDPosition::bottom;
    std::optional<QRect> trayIcon;
    sim::SimDesktopCompositing compositing;
    FloatingAdjustmentHUD hud{{[this] { return showsHints; }, [this] { return position; }},
                              {time.clock, time.scheduler, screens, [this] { return trayIcon; }, &compositing}};

    HUDPanel& panel() { return hud.panel(); }
    bool visible() { return panel().isVisible(); }
    QWidget* content() { return panel().content(); }
    void at(double t) { time.advanceTo(t); }
};

}  // namespace glidra::test
