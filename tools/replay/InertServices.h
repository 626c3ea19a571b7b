#pragma once

// Pieces of the engine that have no role in a replay, or are not built yet:
// there is no screen for the HUD, no browser whose video a slide could
// scrub, a recording never disconnects, and some executors are still to
// come. Each does nothing.

#include "common/Localized.h"
#include "dispatch/AdjustmentHUD.h"
#include "dispatch/DispatcherServices.h"
#include "trackpad/ControllerServices.h"

namespace glidra::replay {

class InertHUD final : public AdjustmentHUD {
public:
    void show(const HUDNotice&) override {}
    void showAdjustment(EdgeGesture::Side, float) override {}
    void showVideoProgress(const BrowserVideoState&) override {}
    void hide() override {}
};

class InertVideoScrubber final : public VideoScrubberService {
public:
    void reset() override { device_.reset(); }
    std::optional<DeviceId> device() const override { return device_; }
    void setDevice(std::optional<DeviceId> device) override { device_ = device; }
    void markFinished() override {}
    void step(DeviceId, const std::optional<QString>&, double, Report) override {}

private:
    std::optional<DeviceId> device_;
};

class InertConnector final : public PairedTrackpadConnectorService {
public:
    void connect() override {}
};

class InertRecovery final : public ListenerRecoveryService {
public:
    void start() override {}
    void stop() override {}
    void manualReconnect() override {}
    void reportListening(bool) override {}
};

// The application and window executors and the system action executor,
// which this engine does not have yet: they take no action on, and answer
// what they would be asked to do with that they cannot.
class UnbuiltExecutors final : public SystemActionService, public ApplicationActionExecutors {
public:
    QCoro::Task<std::optional<HUDNotice>> perform(GestureAction) override { co_return std::nullopt; }
    QCoro::Task<std::optional<HUDNotice>> openActionTarget(GestureBinding) override { co_return std::nullopt; }
    QCoro::Task<bool> openApplication(QString) override { co_return false; }
    QCoro::Task<bool> toggleAccessibilityKeyboard(CancellationToken) override { co_return false; }
    QCoro::Task<HUDNotice> openSystemPanel(GestureAction) override { co_return unavailable(); }
    QCoro::Task<HUDNotice> openForceQuitWindow(CancellationToken) override { co_return unavailable(); }
    HUDNotice closeFrontWindow() override { return unavailable(); }
    HUDNotice performWindowLayout(GestureAction) override { return unavailable(); }
    HUDNotice switchToPreviousApplication() override { return unavailable(); }

private:
    static HUDNotice unavailable() {
        return HUDNotice{localized(GLIDRA_TEXT("尚未设置动作")), QStringLiteral("info.circle"),
                         HUDNotice::Kind::information};
    }
};

}  // namespace glidra::replay
