#pragma once

// Pieces of the engine that have no role in a replay: practice mode never
// runs an action, there is no screen for the HUD, and a recording never
// disconnects. Each does nothing.

#include "dispatch/AdjustmentHUD.h"
#include "trackpad/ControllerServices.h"
#include "trackpad/TrackpadController.h"

namespace glidra::replay {

class InertExecutors final : public ExecutorServices {
public:
    bool isKeyboardLocked() const override { return false; }
    void stopKeyboardLock() override {}
    bool isMouseDragHeld() const override { return false; }
    void releaseMouseDrag() override {}
    void resetMouseClickSequence() override {}
    void resetKeyboardBacklightStepper() override {}
    void cancelWindowScreenshot() override {}
    void endApplicationSwitcher(bool) override {}
};

class InertRouting final : public GestureRoutingService {
public:
    void runBoundAction(const GestureBinding&, const std::optional<QString>&) override {}
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

// The ports the engine reads, for a controller whose other pieces are inert.
struct EnginePorts {
    ControlSettings& settings;
    const Clock& clock;
    Scheduler& scheduler;
    KeyboardState& keyboard;
    FrontmostApplication& frontmostApplication;
    KeyEventMonitor& keyEvents;
    MouseButtonMonitor& mouseButtons;
    const AccessibilityTrust& accessibilityTrust;
};

// The controller's environment: the ports given, the inert pieces above, and
// `executors` and `routing`, which must outlive the controller.
inline TrackpadController::Environment inertEnvironment(const EnginePorts& ports, ExecutorServices& executors,
                                                        GestureRoutingService& routing) {
    return TrackpadController::Environment{
        ports.settings,
        ports.clock,
        ports.scheduler,
        ports.keyboard,
        ports.frontmostApplication,
        executors,
        routing,
        [](AdjustmentHUDSettings) { return std::make_unique<InertHUD>(); },
        std::make_unique<InertPointerLock>(),
        std::make_unique<InertVideoScrubber>(),
        std::make_unique<InertConnector>(),
        [](TrackpadController&) { return std::make_unique<InertRecovery>(); },
        ports.keyEvents,
        ports.mouseButtons,
        ports.accessibilityTrust,
    };
}

}  // namespace glidra::replay
