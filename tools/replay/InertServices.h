#pragma once

// Pieces of the engine that have no role in a replay, or are not built yet:
// there is no screen for the HUD, no browser whose video a slide could
// scrub, and a recording never disconnects. Each does nothing.

#include "dispatch/AdjustmentHUD.h"
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
    void findDisconnectedTrackpad(QObject*, TrackpadNameHandler handler) override { handler(std::nullopt); }
};

class InertRecovery final : public ListenerRecoveryService {
public:
    void start() override {}
    void stop() override {}
    void manualReconnect() override {}
    void reportListening(bool) override {}
};

}  // namespace glidra::replay
