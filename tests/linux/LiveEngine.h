#pragma once

// The trackpad controller on the real Linux input adapters (umockdev devices
// in the tests): the touchpads' frames come from the hub's reader thread
// through the evdev framework and the bridge, button presses through the
// evdev monitor, time from the system clock and Qt's event loop. The actions
// act on a simulated system, as in the replay tool.

#include "bridge/MultitouchBridge.h"
#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/EvdevKeyEventMonitor.h"
#include "platform/linux/EvdevKeyboardState.h"
#include "platform/linux/EvdevMouseButtonMonitor.h"
#include "platform/linux/EvdevMultitouchFramework.h"
#include "platform/linux/EvdevPointerControl.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/UdevMultitouchDeviceRegistry.h"
#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimFrontmostApplication.h"
#include "platform/sim/SimPointerControl.h"
#include "platform/sim/SimPointerPosition.h"
#include "platform/sim/SimSystemEvents.h"
#include "platform/sim/SimUserDefaults.h"
#include "replay/SimEngine.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "trackpad/TrackpadListenerRecovery.h"

#include <vector>

namespace glidra::test {

struct LiveEngine {
    // What the edge pointer lock holds: a simulated pointer, or the
    // touchpads themselves, by exclusive grabs of their nodes.
    enum class Pointer { sim, touchpads };

    // Whether listening recovers by itself (from touchpads arriving and
    // leaving, as the hub's udev monitor tells) or only when the test says.
    enum class Recovery { none, devices };

    explicit LiveEngine(Pointer held = Pointer::sim, Recovery recovery = Recovery::none)
        : executors(replay::simExecutorPorts(ports(), system)),
          actions(ActionDispatcher::Ports{system.poster, keyboard, frontmost, trust, system.workspace},
                  ActionDispatcher::Executors{executors, executors, executors, executors}),
          controller(environment(held, recovery)) {
        executors.attachController(controller);
        previousBridge = MultitouchBridge::shared();
        MultitouchBridge::setShared(&bridge);
        previousController = TrackpadController::shared();
        TrackpadController::setShared(&controller);
        QObject::connect(&controller, &TrackpadController::gestureRecognized, &controller,
                         [this](const GestureDescriptor& gesture) { gestures.push_back(gesture); });
    }
    replay::EnginePorts ports() {
        return {settings, clock, scheduler, keyboard, frontmost, keyEvents, mouseButtons, trust};
    }

    TrackpadController::Environment environment(Pointer held, Recovery recovery) {
        auto made = replay::simControllerEnvironment(
            ports(), executors, actions,
            held == Pointer::sim ? static_cast<PointerControl&>(pointer) : touchpadPointer);
        if (recovery == Recovery::devices) {
            made.makeListenerRecovery = [this](TrackpadController& built) -> std::unique_ptr<ListenerRecoveryService> {
                return TrackpadListenerRecovery::forController(
                    built, {clock, scheduler, systemEvents, mouseButtons, pointerPosition, touchpads});
            };
        }
        return made;
    }

    ~LiveEngine() {
        if (controller.isEnabled()) controller.toggleEnabled();
        TrackpadController::setShared(previousController);
        MultitouchBridge::setShared(previousBridge);
    }

    linux_platform::SystemClock clock;
    linux_platform::QtScheduler scheduler;
    linux_platform::EvdevInputHub hub;
    linux_platform::EvdevMultitouchFramework framework{hub};
    linux_platform::EvdevKeyboardState keyboard{hub};
    linux_platform::EvdevKeyEventMonitor keyEvents{hub};
    linux_platform::EvdevMouseButtonMonitor mouseButtons{hub};
    linux_platform::EvdevPointerControl touchpadPointer{hub};
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge{framework, displays, clock};
    sim::SimUserDefaults defaults;
    ControlSettings settings{defaults};
    sim::SimFrontmostApplication frontmost;
    sim::SimAccessibilityTrust trust;
    sim::SimActionSystem system;
    sim::SimPointerControl pointer;
    linux_platform::UdevMultitouchDeviceRegistry touchpads{hub};
    sim::SimSystemEvents systemEvents;
    sim::SimPointerPosition pointerPosition;
    ActionExecutors executors;
    ActionDispatcher actions;
    TrackpadController controller;

    std::vector<GestureDescriptor> gestures;
    MultitouchBridge* previousBridge = nullptr;
    TrackpadController* previousController = nullptr;
};

}  // namespace glidra::test
