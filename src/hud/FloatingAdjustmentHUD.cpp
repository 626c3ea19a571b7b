#include "hud/FloatingAdjustmentHUD.h"

#include "hud/AdjustmentHUDView.h"
#include "hud/HUDPanel.h"
#include "hud/HUDPlacement.h"
#include "hud/MessageHUDView.h"
#include "hud/VideoProgressHUDView.h"
#include "platform/Clock.h"
#include "platform/DesktopCompositing.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <limits>

namespace glidra {

namespace {

int graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0) ++count;
    return count;
}

}  // namespace

FloatingAdjustmentHUD::FloatingAdjustmentHUD(AdjustmentHUDSettings settings, Environment environment)
    : settings_(std::move(settings)),
      environment_(std::move(environment)),
      panel_(std::make_unique<HUDPanel>()),
      lastAdjusted_(-std::numeric_limits<double>::infinity()) {}

// The panel goes with the HUD, and with it the pending dismissal, which is
// bound to the panel.
FloatingAdjustmentHUD::~FloatingAdjustmentHUD() = default;

AdjustmentHUDFactory FloatingAdjustmentHUD::factory(Environment environment) {
    return [environment](AdjustmentHUDSettings settings) -> std::unique_ptr<AdjustmentHUD> {
        return std::make_unique<FloatingAdjustmentHUD>(std::move(settings), environment);
    };
}

QSize FloatingAdjustmentHUD::messagePanelSize(const QString& text) {
    return {graphemeCount(text) < shortMessageLength ? shortMessageWidth : longMessageWidth, messageHeight};
}

void FloatingAdjustmentHUD::hide() {
    dismissal_.cancel();
    notices_.reset();
    lastAdjustment_.reset();
    panel_->hide();
}

void FloatingAdjustmentHUD::show(const HUDNotice& notice) {
    if (!settings_.shouldShow()) return hide();
    if (!notices_.admit(notice, environment_.clock.uptime())) return;
    lastAdjustment_.reset();
    const QSize size = messagePanelSize(notice.text);
    panel_->setContent(std::make_unique<MessageHUDView>(notice, size.width()), size);
    present(notice.kind == HUDNotice::Kind::error ? errorDuration : duration);
}

void FloatingAdjustmentHUD::showAdjustment(EdgeGesture::Side side, float value) {
    if (!settings_.shouldShow()) return hide();
    // Callers pass a finite level from 0 to 1; anything else is shown as its
    // nearest such level rather than overflowing the percentage.
    if (!std::isfinite(value)) value = 0;
    value = std::clamp(value, 0.0f, 1.0f);
    const int percent = AdjustmentHUDView::percent(value);
    const double now = environment_.clock.uptime();
    const auto level = std::make_pair(side, percent);
    if (lastAdjustment_ == level) {
        // A finger resting on the same level: no redraw, only a longer stay.
        if (panel_->isVisible() && now - lastAdjusted_ < repeatedLevelInterval) return;
    } else {
        panel_->setContent(std::make_unique<AdjustmentHUDView>(side, value), adjustmentPanelSize);
    }
    lastAdjustment_ = level;
    lastAdjusted_ = now;
    notices_.reset();
    present(duration);
}

void FloatingAdjustmentHUD::showVideoProgress(const BrowserVideoState& state) {
    if (!settings_.shouldShow()) return hide();
    lastAdjustment_.reset();
    notices_.reset();
    panel_->setContent(std::make_unique<VideoProgressHUDView>(state), videoPanelSize);
    present(duration);
}

void FloatingAdjustmentHUD::present(double seconds) {
    dismissal_.cancel();
    // Whether the desktop composites now; asked as the panel comes up.
    if (!panel_->isVisible()) {
        const bool composited = !environment_.compositing || environment_.compositing->isCompositing();
        panel_->setBackdrop(composited ? HUDPanel::Backdrop::translucent : HUDPanel::Backdrop::opaque);
    }
    const std::optional<HUDScreen> screen = screenUnderPointer(environment_.screens);
    const HUDPosition position = settings_.position();
    std::optional<std::pair<QRect, HUDScreen>> anchor;
    if (position == HUDPosition::menuBarIcon) anchor = menuBarIconAnchor();
    if (anchor) {
        panel_->move(hudTopLeft(position, anchor->second, panel_->size(), anchor->first));
    } else if (screen) {
        panel_->move(hudTopLeft(position, *screen, panel_->size()));
    }
    panel_->present();
    HUDPanel* panel = panel_.get();
    dismissal_ = environment_.scheduler.after(seconds, panel, [panel] { panel->hide(); });
}

// With one tray icon there is one candidate; it counts when it shows on a
// screen, whichever screen the pointer is on.
std::optional<std::pair<QRect, HUDScreen>> FloatingAdjustmentHUD::menuBarIconAnchor() const {
    if (!environment_.menuBarIconAnchor) return std::nullopt;
    const std::optional<QRect> icon = environment_.menuBarIconAnchor();
    if (!icon) return std::nullopt;
    const std::optional<HUDScreen> screen = screenShowing(*icon, environment_.screens);
    if (!screen) return std::nullopt;
    return std::make_pair(*icon, *screen);
}

}  // namespace glidra
