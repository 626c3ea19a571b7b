#pragma once

#include "dispatch/AdjustmentHUD.h"
#include "hud/HUDScreens.h"
#include "notices/HUDNoticeGate.h"
#include "platform/Scheduler.h"

#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace glidra {

class Clock;
class DesktopCompositing;
class HUDPanel;

// The HUD on the desktop: one floating panel per owner that shows a notice,
// a level or the video position for a moment, at the chosen place on the
// screen under the pointer.
class FloatingAdjustmentHUD final : public AdjustmentHUD {
public:
    // The menu-bar (tray) icon's rectangle in Qt's global coordinates, when
    // the desktop shows one; the menuBarIcon position places the panel below it.
    using IconAnchor = std::function<std::optional<QRect>()>;

    struct Environment {
        const Clock& clock;
        Scheduler& scheduler;
        const HUDScreens& screens;
        IconAnchor menuBarIconAnchor;
        // Without one the desktop is taken to composite.
        const DesktopCompositing* compositing = nullptr;
    };

    static constexpr QSize adjustmentPanelSize{240, 64};
    static constexpr QSize videoPanelSize{272, 76};
    static constexpr int shortMessageWidth = 180;
    static constexpr int longMessageWidth = 280;
    static constexpr int messageHeight = 72;
    static constexpr int shortMessageLength = 8;  // characters; shorter texts get the narrow panel
    static constexpr double errorDuration = 2.0;  // seconds
    static constexpr double duration = 0.85;
    static constexpr double repeatedLevelInterval = 0.12;

    FloatingAdjustmentHUD(AdjustmentHUDSettings settings, Environment environment);
    ~FloatingAdjustmentHUD() override;

    // Builds one HUD per owner; the environment must outlive them.
    static AdjustmentHUDFactory factory(Environment environment);

    void show(const HUDNotice& notice) override;
    void showAdjustment(EdgeGesture::Side side, float value) override;
    void showVideoProgress(const BrowserVideoState& state) override;
    void hide() override;

    HUDPanel& panel() const { return *panel_; }

    // The panel size for a notice: narrow below eight characters (grapheme
    // clusters: a Chinese character counts one).
    static QSize messagePanelSize(const QString& text);

private:
    void present(double seconds);
    std::optional<std::pair<QRect, HUDScreen>> menuBarIconAnchor() const;

    AdjustmentHUDSettings settings_;
    Environment environment_;
    std::unique_ptr<HUDPanel> panel_;
    HUDNoticeGate notices_;
    std::optional<std::pair<EdgeGesture::Side, int>> lastAdjustment_;
    double lastAdjusted_;
    TimerHandle dismissal_;
};

}  // namespace glidra
