#pragma once

// The context every view takes, on the sim platform: a controller as at
// launch (control paused) with the real executors, the multitouch bridge over
// the sim driver, and sim ports for the shell's services.

#include "app/UiContext.h"
#include "app/UpdateController.h"
#include "bridge/MultitouchBridge.h"
#include "executors/ExecutorFixture.h"
#include "platform/BundleInfo.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimFileDialogs.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimMultitouchFramework.h"
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
    UiContext context{
        rig.h.settings,
        *rig.h.controller,
        workspace,
        rig.h.accessibilityTrust,
        loginItems,
        rig.h.time.clock,
        rig.h.time.scheduler,
        updates,
        fileDialogs,
        bundle,
        scenePhase,
        rig.executors->keyboardLock(),
        rig.executors->keepAwake(),
        rig.executors->microphone(),
        rig.executors->desktopIcons(),
    };

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
