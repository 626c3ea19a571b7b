#pragma once

// A trackpad controller on the sim platform with recording fakes for the
// pieces it drives but does not implement.

#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimFrontmostApplication.h"
#include "platform/sim/SimKeyEventMonitor.h"
#include "platform/sim/SimKeyboardState.h"
#include "platform/sim/SimMouseButtonMonitor.h"
#include "platform/sim/SimPointerControl.h"
#include "platform/sim/SimUserDefaults.h"
#include "settings/ControlSettings.h"
#include "support/SimTime.h"
#include "trackpad/TrackpadController.h"

#include <QStringList>

#include <algorithm>
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
    // The output's level, moved by each step; nothing when there is no output.
    std::optional<float> outputVolume = 0.5f;
    std::optional<float> adjustOutputVolume(float step) override {
        log_.add(QStringLiteral("adjustOutputVolume(%1)").arg(double(step)));
        if (outputVolume) outputVolume = std::clamp(*outputVolume + step, 0.0f, 1.0f);
        return outputVolume;
    }
    std::optional<HUDNotice> adjustKeyboardBacklight(float change) override {
        log_.add(QStringLiteral("adjustKeyboardBacklight(%1)").arg(double(change)));
        return HUDNotice{QStringLiteral("键盘背光"), QStringLiteral("light.max"), HUDNotice::Kind::success};
    }
    void cancelWindowScreenshot() override { log_.add(QStringLiteral("cancelWindowScreenshot")); }
    bool isApplicationSwitcherOpen() const override { return applicationSwitcherOpen; }
    // What ending the switcher does besides, as the real one clears the
    // controller's switcher flag.
    std::function<void()> onEndApplicationSwitcher;
    void endApplicationSwitcher(bool cancel) override {
        log_.add(QStringLiteral("endApplicationSwitcher(%1)").arg(cancel));
        applicationSwitcherOpen = false;
        if (onEndApplicationSwitcher) onEndApplicationSwitcher();
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

    struct Step {
        DeviceId device = 0;
        std::optional<QString> application;
        double distance = 0;
    };
    std::vector<Step> steps;
    // The handler of the last step, for tests to report through.
    Report report;
    void step(DeviceId device, const std::optional<QString>& application, double distance, Report handler) override {
        steps.push_back(Step{device, application, distance});
        report = std::move(handler);
    }

private:
    CallLog& log_;
};

class FakeConnector final : public PairedTrackpadConnectorService {
public:
    explicit FakeConnector(CallLog& log) : log_(log) {}
    void connect() override { log_.add(QStringLiteral("connector.connect")); }
    void findDisconnectedTrackpad(QObject*, TrackpadNameHandler handler) override { handler(disconnectedTrackpad); }

    // What findDisconnectedTrackpad answers.
    std::optional<QString> disconnectedTrackpad;

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
    sim::SimPointerControl pointer;
    FakeHUD* hud = nullptr;
    // Null when a test built the scrubber.
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
    using VideoScrubberFactory = std::function<std::unique_ptr<VideoScrubberService>(ControllerHarness&)>;

    // `makeHUD` builds the controller's HUD in place of the recording fake
    // (`hud` then stays null); `makeVideoScrubber` the scrubber; a test may
    // hand in the keyboard the controller reads.
    explicit ControllerHarness(const ExecutorsFactory& makeExecutors = {}, HUDFactory makeHUD = {},
                               const VideoScrubberFactory& makeVideoScrubber = {},
                               KeyboardState* keyboardOverride = nullptr)
        : keyboardPort(keyboardOverride ? *keyboardOverride : keyboard) {
        if (makeExecutors) builtExecutors = makeExecutors(*this);
        std::unique_ptr<VideoScrubberService> scrubber;
        if (makeVideoScrubber) {
            scrubber = makeVideoScrubber(*this);
        } else {
            auto fake = std::make_unique<FakeVideoScrubber>(log);
            videoScrubber = fake.get();
            scrubber = std::move(fake);
        }
        controller = std::make_unique<TrackpadController>(TrackpadController::Environment{
            settings,
            time.clock,
            time.scheduler,
            keyboardPort,
            frontmost,
            builtExecutors ? *builtExecutors : executors,
            builtDispatcher ? *builtDispatcher : dispatcher,
            [this, makeHUD](AdjustmentHUDSettings settings) -> std::unique_ptr<AdjustmentHUD> {
                if (makeHUD) return makeHUD(*this, std::move(settings));
                auto made = std::make_unique<FakeHUD>(log);
                hud = made.get();
                return made;
            },
            pointer,
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
