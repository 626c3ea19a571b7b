#pragma once

// Pieces of the engine that have no role in a replay, or are not built yet:
// there is no screen for the HUD, a recording never disconnects, and the edge
// paths are still to come. Each does nothing.

#include "dispatch/AdjustmentHUD.h"
#include "trackpad/ControllerServices.h"

namespace glidra::replay {

class InertRouting final : public GestureRoutingService {
public:
    void performAdjustment(float, const GestureBinding&, std::optional<DeviceId>) override {}
    bool edgeRuleRegionHit(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&) override {
        return false;
    }
    void routeEdgeGestures(DeviceId, std::optional<SingleContact>) override {}
    void updateVideoScrub(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&) override {}
    void updateTabSwipe(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&, double) override {}
    void updateContinuousTrackers(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&) override {}
};

class InertHUD final : public AdjustmentHUD {
public:
    void show(const HUDNotice&) override {}
    void showAdjustment(EdgeGesture::Side, float) override {}
    void showVideoProgress(const BrowserVideoState&) override {}
    void hide() override {}
};

class InertPointerLock final : public EdgePointerLockService {
public:
    void release(std::optional<DeviceId>, bool) override {}
};

class InertVideoScrubber final : public VideoScrubberService {
public:
    void reset() override { device_.reset(); }
    std::optional<DeviceId> device() const override { return device_; }
    void setDevice(std::optional<DeviceId> device) override { device_ = device; }
    void markFinished() override {}

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

}  // namespace glidra::replay
