#pragma once

// Pieces of the engine that have no role in a replay, or are not built yet:
// there is no screen for the HUD, no browser whose video a slide could
// scrub, and a recording never disconnects. Each does nothing.

#include "dispatch/AdjustmentHUD.h"
#include "trackpad/ControllerServices.h"

namespace glidra::replay {

class InertHUD final : public AdjustmentHUD {
public:
    void show(const HUDNotice&) override { ++shown_; }
    void showAdjustment(EdgeGesture::Side, float) override { ++shown_; }
    void showVideoProgress(const BrowserVideoState&) override { ++shown_; }
    void hide() override {}
    // What it was asked to show so far, for the frame-path benchmark.
    std::uint64_t shown() const { return shown_; }

private:
    std::uint64_t shown_ = 0;
};

class InertVideoScrubber final : public VideoScrubberService {
public:
    void reset() override { device_.reset(); }
    std::optional<DeviceId> device() const override { return device_; }
    void setDevice(std::optional<DeviceId> device) override { device_ = device; }
    void markFinished() override {}
    void step(DeviceId, const std::optional<QString>&, double, Report) override { ++steps_; }
    // The steps asked for so far, for the frame-path benchmark.
    std::uint64_t steps() const { return steps_; }

private:
    std::optional<DeviceId> device_;
    std::uint64_t steps_ = 0;
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
