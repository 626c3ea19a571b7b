#pragma once

// A trackpad controller on the sim platform with recording fakes for the
// pieces it drives but does not implement.

#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimFrontmostApplication.h"
#include "platform/sim/SimKeyEventMonitor.h"
#include "platform/sim/SimKeyboardState.h"
#include "platform/sim/SimMouseButtonMonitor.h"
#include "platform/sim/SimUserDefaults.h"
#include "settings/ControlSettings.h"
#include "support/SimTime.h"
#include "trackpad/TrackpadController.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace glidra::test {

// Every call of the fakes below lands in one ordered log, so tests can check
// the order in which the controller drives its collaborators.
struct CallLog {
    QStringList calls;
    void add(const QString& call) { calls.append(call); }
    int count(const QString& call) const { return int(calls.count(call)); }
};

class FakeExecutors final : public ExecutorServices {
public:
    explicit FakeExecutors(CallLog& log) : log_(log) {}
    bool keyboardLocked = false;
    bool keyboardCleaning = false;
    bool applicationSwitcherOpen = false;
    bool mouseDragHeld = false;

    bool isKeyboardLocked() const override { return keyboardLocked; }
    bool isKeyboardCleaning() const override { return keyboardCleaning; }
    void stopKeyboardLock() override {
        keyboardLocked = false;
        log_.add(QStringLiteral("stopKeyboardLock"));
    }
    bool isMouseDragHeld() const override { return mouseDragHeld; }
    void releaseMouseDrag() override {
        mouseDragHeld = false;
        log_.add(QStringLiteral("releaseMouseDrag"));
    }
    void resetMouseClickSequence() override { log_.add(QStringLiteral("resetMouseClickSequence")); }
    void resetKeyboardBacklightStepper() override { log_.add(QStringLiteral("resetKeyboardBacklightStepper")); }
    void cancelWindowScreenshot() override { log_.add(QStringLiteral("cancelWindowScreenshot")); }
    bool isApplicationSwitcherOpen() const override { return applicationSwitcherOpen; }
    void endApplicationSwitcher(bool cancel) override {
        log_.add(QStringLiteral("endApplicationSwitcher(%1)").arg(cancel));
    }

private:
    CallLog& log_;
};

class FakePointerLock final : public EdgePointerLockService {
public:
    explicit FakePointerLock(CallLog& log) : log_(log) {}
    void release(std::optional<DeviceId> device, bool force) override {
        log_.add(QStringLiteral("pointerLock.release(%1,%2)")
                     .arg(device ? QString::number(*device) : QStringLiteral("any"))
                     .arg(force));
    }

private:
    CallLog& log_;
};

class FakeVideoScrubber final : public VideoScrubberService {
public:
    explicit FakeVideoScrubber(CallLog& log) : log_(log) {}
    std::optional<DeviceId> currentDevice;
    bool finished = false;

    void reset() override {
        currentDevice.reset();
        finished = false;
        log_.add(QStringLiteral("videoScrubber.reset"));
    }
    std::optional<DeviceId> device() const override { return currentDevice; }
    void setDevice(std::optional<DeviceId> device) override { currentDevice = device; }
    void markFinished() override { finished = true; }

private:
    CallLog& log_;
};

class FakeConnector final : public PairedTrackpadConnectorService {
public:
    explicit FakeConnector(CallLog& log) : log_(log) {}
    void connect() override { log_.add(QStringLiteral("connector.connect")); }

private:
    CallLog& log_;
};

class FakeRecovery final : public ListenerRecoveryService {
public:
    explicit FakeRecovery(CallLog& log) : log_(log) {}
    void start() override { log_.add(QStringLiteral("recovery.start")); }
    void stop() override { log_.add(QStringLiteral("recovery.stop")); }
    void manualReconnect() override { log_.add(QStringLiteral("recovery.manualReconnect")); }
    void reportListening(bool listening) override {
        log_.add(QStringLiteral("recovery.reportListening(%1)").arg(listening));
    }

private:
    CallLog& log_;
};

class FakeHUD final : public AdjustmentHUD {
public:
    explicit FakeHUD(CallLog& log) : log_(log) {}
    std::vector<HUDNotice> notices;

    void show(const HUDNotice& notice) override {
        notices.push_back(notice);
        log_.add(QStringLiteral("hud.show(%1)").arg(notice.text));
    }
    void showAdjustment(EdgeGesture::Side side, float value) override {
        log_.add(QStringLiteral("hud.showAdjustment(%1,%2)").arg(int(side)).arg(double(value)));
    }
    void showVideoProgress(const BrowserVideoState& state) override {
        log_.add(QStringLiteral("hud.showVideoProgress(%1/%2)").arg(state.time).arg(state.duration));
    }
    void hide() override { log_.add(QStringLiteral("hud.hide")); }

private:
    CallLog& log_;
};

// Records every action it is given and answers with `answer`; an action
// takes `duration` seconds of the manual clock, so tests can act while it
// runs.
class FakeDispatcher final : public ActionDispatchService {
public:
    FakeDispatcher(CallLog& log, Scheduler& scheduler) : log_(log), scheduler_(scheduler) {}
    std::vector<GestureBinding> performed;
    HUDNotice answer{QStringLiteral("已完成"), QStringLiteral("checkmark"), HUDNotice::Kind::success};
    double duration = 0;

    QCoro::Task<HUDNotice> performGestureAction(GestureBinding binding, CancellationToken) override {
        performed.push_back(binding);
        log_.add(QStringLiteral("perform(%1)").arg(enumRaw(binding.action)));
        if (duration > 0) co_await scheduler_.sleep(duration);
        co_return answer;
    }

private:
    CallLog& log_;
    Scheduler& scheduler_;
};

class FakeRouting final : public GestureRoutingService {
public:
    explicit FakeRouting(CallLog& log) : log_(log) {}
    std::vector<std::pair<float, GestureBinding>> adjustments;
    bool regionHit = false;

    void performAdjustment(float step, const GestureBinding& binding, std::optional<DeviceId>) override {
        adjustments.emplace_back(step, binding);
        log_.add(QStringLiteral("performAdjustment(%1,%2)").arg(enumRaw(binding.action)).arg(double(step)));
    }
    bool edgeRuleRegionHit(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&) override {
        return regionHit;
    }
    void routeEdgeGestures(DeviceId, std::optional<SingleContact> contact) override {
        log_.add(contact ? QStringLiteral("routeEdgeGestures(one)") : QStringLiteral("routeEdgeGestures(none)"));
    }
    void updateVideoScrub(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&) override {
        log_.add(QStringLiteral("updateVideoScrub"));
    }
    void updateTabSwipe(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&, double) override {
        log_.add(QStringLiteral("updateTabSwipe"));
    }
    void updateContinuousTrackers(DeviceId, const std::vector<TouchPoint>&, const GestureSessionContext&) override {
        log_.add(QStringLiteral("updateContinuousTrackers"));
    }

private:
    CallLog& log_;
};

// The sim platform, a fresh settings store and a controller wired to fakes.
struct ControllerHarness {
    CallLog log;
    SimTime time;
    sim::SimUserDefaults defaults;
    ControlSettings settings{defaults};
    sim::SimKeyboardState keyboard;
    sim::SimFrontmostApplication frontmost;
    sim::SimKeyEventMonitor keyEvents;
    sim::SimMouseButtonMonitor mouseButtons;
    sim::SimAccessibilityTrust accessibilityTrust;
    FakeExecutors executors{log};
    FakeDispatcher dispatcher{log, time.scheduler};
    // A dispatcher a test builds in place of the fake.
    std::unique_ptr<ActionDispatchService> builtDispatcher;
    // Executors a test builds on the harness's ports in place of the fakes.
    std::unique_ptr<ExecutorServices> builtExecutors;
    FakeRouting routing{log};
    FakeHUD* hud = nullptr;
    FakePointerLock* pointerLock = nullptr;
    FakeVideoScrubber* videoScrubber = nullptr;
    FakeRecovery* recovery = nullptr;
    // Builds the listener recovery instead of the recording fake, when set
    // before the controller first asks for one.
    std::function<std::unique_ptr<ListenerRecoveryService>(TrackpadController&)> makeRecovery;
    std::unique_ptr<TrackpadController> controller;

    // The keyboard the controller (and executors built here) read: the sim
    // one, unless a test hands in another.
    KeyboardState& keyboardPort;

    using ExecutorsFactory = std::function<std::unique_ptr<ExecutorServices>(ControllerHarness&)>;

    using HUDFactory = std::function<std::unique_ptr<AdjustmentHUD>(ControllerHarness&, AdjustmentHUDSettings)>;

    // `makeHUD` builds the controller's HUD in place of the recording fake
    // (`hud` then stays null).
    explicit ControllerHarness(const ExecutorsFactory& makeExecutors = {}, HUDFactory makeHUD = {},
                               KeyboardState* keyboardOverride = nullptr)
        : keyboardPort(keyboardOverride ? *keyboardOverride : keyboard) {
        if (makeExecutors) builtExecutors = makeExecutors(*this);
        auto lock = std::make_unique<FakePointerLock>(log);
        auto scrubber = std::make_unique<FakeVideoScrubber>(log);
        pointerLock = lock.get();
        videoScrubber = scrubber.get();
        controller = std::make_unique<TrackpadController>(TrackpadController::Environment{
            settings,
            time.clock,
            time.scheduler,
            keyboardPort,
            frontmost,
            builtExecutors ? *builtExecutors : executors,
            builtDispatcher ? *builtDispatcher : dispatcher,
            routing,
            [this, makeHUD](AdjustmentHUDSettings settings) -> std::unique_ptr<AdjustmentHUD> {
                if (makeHUD) return makeHUD(*this, std::move(settings));
                auto made = std::make_unique<FakeHUD>(log);
                hud = made.get();
                return made;
            },
            std::move(lock),
            std::move(scrubber),
            std::make_unique<FakeConnector>(log),
            [this](TrackpadController& built) -> std::unique_ptr<ListenerRecoveryService> {
                if (makeRecovery) return makeRecovery(built);
                auto made = std::make_unique<FakeRecovery>(log);
                recovery = made.get();
                return made;
            },
            keyEvents,
            mouseButtons,
            accessibilityTrust,
        });
    }
};

}  // namespace glidra::test
