#pragma once

// The context every view takes, on the sim platform: a controller as at
// launch (control paused) with the real executors, the multitouch bridge over
// the sim driver, and sim ports for the shell's services.

#include "app/UiContext.h"
#include "app/UpdateController.h"
#include "app/UpdateSettingsView.h"
#include "bridge/MultitouchBridge.h"
#include "executors/ExecutorFixture.h"
#include "executors/ShortcutActionService.h"
#include "platform/BundleInfo.h"
#include "platform/sim/SimDesktopIntegration.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimFileDialogs.h"
#include "platform/sim/SimKeyboardLayout.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimMultitouchFramework.h"
#include "platform/sim/SimProcessRunner.h"
#include "platform/sim/SimScenePhase.h"
#include "platform/sim/SimUpdater.h"
#include "platform/sim/SimWorkspace.h"

#include <QCoreApplication>
#include <QEvent>

namespace glidra::test {

inline BundleInfo sampleBundle() {
    return BundleInfo{QStringLiteral("1.2"), QStringLiteral("34"), std::nullopt, std::nullopt,
                      QStringLiteral("support@glidra.example")};
}

// The dispatcher as the views see it: records each binding it is given and
// answers with `notice`, after `seconds` on the manual clock when set.
struct FakePreviewDispatcher {
    std::vector<GestureBinding> performed;
    HUDNotice notice{QStringLiteral("已完成"), QStringLiteral("checkmark"), HUDNotice::Kind::success};
    double seconds = 0;
    int finished = 0;
};

inline QCoro::Task<HUDNotice> performOnFake(FakePreviewDispatcher* dispatcher, Scheduler* scheduler,
                                            GestureBinding binding) {
    dispatcher->performed.push_back(std::move(binding));
    const HUDNotice notice = dispatcher->notice;
    if (dispatcher->seconds > 0) co_await scheduler->sleep(dispatcher->seconds);
    ++dispatcher->finished;
    co_return notice;
}

struct UiHarness {
    ExecutorRig rig;
    ControllerHarness& h = rig.h;
    TrackpadController& controller = *rig.h.controller;
    sim::SimMultitouchFramework framework;
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge{framework, displays, rig.h.time.clock};
    sim::SimWorkspace workspace;
    sim::SimLoginItems loginItems;
    sim::SimUpdaters updaters;
    BundleInfo bundle = sampleBundle();
    UpdateController updates{bundle, updaters.factory()};
    sim::SimFileDialogs fileDialogs;
    sim::SimScenePhase scenePhase;
    // The Shortcuts tool runs as a scripted child.
    sim::SimProcessRunner processes;
    ShortcutActionService shortcuts{processes, rig.h.time.scheduler,
                                    [this](AdjustmentHUDSettings) { return std::make_unique<FakeHUD>(rig.h.log); },
                                    AdjustmentHUDSettings{}};
    FakePreviewDispatcher dispatcher;
    sim::SimDesktopIntegration desktop;
    sim::SimKeyboardLayout keyboardLayout;
    ViewContext views{
        rig.h.settings,
        *rig.h.controller,
        workspace,
        rig.h.accessibilityTrust,
        loginItems,
        rig.h.time.clock,
        rig.h.time.scheduler,
        fileDialogs,
        bundle,
        scenePhase,
        rig.executors->keyboardLock(),
        rig.executors->keepAwake(),
        rig.executors->microphone(),
        rig.executors->desktopIcons(),
        rig.h.keyEvents,
        rig.h.keyboard,
        keyboardLayout,
        shortcuts,
        [this](GestureBinding binding) {
            return performOnFake(&dispatcher, &rig.h.time.scheduler, std::move(binding));
        },
        desktop,
        [this] { return new UpdateSettingsView(updates, bundle); },
    };
    UiContext context{views, updates};

    // The harness's context with another settings store and file panels in
    // place of its own, for a test that needs either to be real.
    ViewContext viewsWith(ControlSettings& settings, FileDialogs& panels) const {
        const ViewContext& v = context;
        return ViewContext{settings,
                           v.controller,
                           v.workspace,
                           v.accessibilityTrust,
                           v.loginItems,
                           v.clock,
                           v.scheduler,
                           panels,
                           v.bundle,
                           v.scenePhase,
                           v.keyboardLock,
                           v.keepAwake,
                           v.microphone,
                           v.desktopIcons,
                           v.keyEvents,
                           v.keyboard,
                           v.keyboardLayout,
                           v.shortcuts,
                           v.performGestureAction,
                           v.desktop,
                           v.makeUpdateSettings};
    }

    UiHarness() {
        // As at launch: control paused, nothing heard, nothing trusted.
        controller.setEnabled(false);
        controller.setListening(false);
        rig.h.accessibilityTrust.setTrusted(false);
        MultitouchBridge::setShared(&bridge);
        TrackpadController::setShared(&controller);
    }
    ~UiHarness() {
        MultitouchBridge::setShared(nullptr);
        TrackpadController::setShared(nullptr);
        flushDeletes();
    }

    // Switches control on with one trackpad present, so it is listening.
    MultitouchDevice switchOnWithTrackpad() {
        const MultitouchDevice device = framework.addDevice();
        controller.toggleEnabled();
        return device;
    }

    void advanceBy(double seconds) { rig.h.time.advanceBy(seconds); }

    // Widgets taken out of a view are deleted later; tests look after that.
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::sendPostedEvents();
    }
};

}  // namespace glidra::test
