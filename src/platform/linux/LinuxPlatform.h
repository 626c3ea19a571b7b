#pragma once

#include "platform/linux/BluezBluetoothDevices.h"
#include "platform/linux/CurrentDesktop.h"
#include "platform/linux/DesktopWindowBridge.h"
#include "platform/linux/EvdevEventTap.h"
#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/EvdevKeyEventMonitor.h"
#include "platform/linux/EvdevKeyboardState.h"
#include "platform/linux/EvdevMouseButtonMonitor.h"
#include "platform/linux/EvdevMultitouchFramework.h"
#include "platform/linux/EvdevPointerControl.h"
#include "platform/linux/GSettingsDesktopPreferences.h"
#include "platform/linux/InputAccessTrust.h"
#include "platform/linux/InputServiceClient.h"
#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/linux/LinuxDesktopIntegration.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/LogindDisplayBrightness.h"
#include "platform/linux/LogindSystemEvents.h"
#include "platform/linux/PulseAudioDevices.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/RealtimeKitThreadPriority.h"
#include "platform/linux/ScreenSaverPowerAssertions.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/TouchpadActivityPosition.h"
#include "platform/linux/UPowerKeyboardBacklight.h"
#include "platform/linux/UdevMultitouchDeviceRegistry.h"
#include "platform/linux/UinputDevice.h"
#include "platform/linux/UinputEventPoster.h"
#include "platform/linux/X11DesktopCompositing.h"
#include "platform/linux/X11DesktopViews.h"
#include "platform/linux/X11Root.h"
#include "platform/linux/XdgAutostartLoginItems.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <memory>
#include <string>

namespace glidra::linux_platform {

// Every real Linux adapter of the program, built in dependency order (each
// member may use the ones above it) and owned here: what the composition root
// hands to the program where tests hand the sim ports. Nothing starts
// listening or watching until the program asks; the input devices are found
// at construction and watched for arrivals. An adapter is added with one
// member line. The adapters of the windowing system (screens, file dialogs,
// the application's own state) need the GUI application and live beside it.
//
// While the session is inactive or locked the input devices are closed: they
// belong to whoever is at the seat then.
class LinuxPlatform {
public:
    struct Options {
        QDBusConnection systemBus = QDBusConnection::systemBus();
        QDBusConnection sessionBus = QDBusConnection::sessionBus();
        // The sound server; empty for the session's own.
        QString audioServer;
        // The desktop (as XDG_CURRENT_DESKTOP lists it) and its session type.
        QString currentDesktop = linux_platform::currentDesktop();
        bool waylandSession = LinuxWorkspace::isWaylandSession();
        // The X display the window manager publishes on (XWayland on
        // Wayland); none outside a GUI application.
        X11Root display = X11Root::ofApplication();
        QString backlightRoot = QStringLiteral("/sys/class/backlight");
        QString settingsPath = JsonFileUserDefaults::standardPath();
        // The program the autostart entry runs.
        QString executable = QCoreApplication::applicationFilePath();
        EvdevInputHub::Options input;
        // The input service's socket; empty to open the nodes directly.
        std::string inputServiceSocket = InputServiceClient::defaultSocketPath();
        // Asks RealtimeKit to raise the touchpad's reader thread and the
        // main thread at construction (on the main thread).
        bool raiseInputThreads = true;
    };

    LinuxPlatform();
    explicit LinuxPlatform(Options options);
    ~LinuxPlatform();

    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    Options options;

    // Time, storage and the desktop.
    SystemClock clock;
    QtScheduler scheduler;
    JsonFileUserDefaults userDefaults{options.settingsPath};
    // The desktop's add-on for native Wayland windows, where there is one.
    std::unique_ptr<DesktopWindowBridge> windowBridge = LinuxDesktopIntegration::makeBridge(
        LinuxDesktopIntegration::companionOf(options.currentDesktop, options.waylandSession), options.sessionBus);
    LinuxDesktopIntegration desktopIntegration{
        LinuxDesktopIntegration::gestureDesktopOf(options.currentDesktop, options.waylandSession),
        LinuxDesktopIntegration::companionOf(options.currentDesktop, options.waylandSession), windowBridge.get(),
        userDefaults};
    LinuxWorkspace workspace{windowBridge.get()};
    // The workspace follows the active window; the controller and the
    // dispatcher ask it for the front application too.
    FrontmostApplication& frontmostApplication = workspace;
    XdgAutostartLoginItems loginItems{options.executable};
    BluezBluetoothDevices bluetoothDevices{options.systemBus};
    LogindSystemEvents systemEvents{options.systemBus};
    LogindDisplayBrightness displayBrightness{options.backlightRoot, options.systemBus};
    UPowerKeyboardBacklight keyboardBacklight{options.systemBus};
    ScreenSaverPowerAssertions powerAssertions{options.sessionBus};
    PulseAudioDevices audioDevices{options.audioServer};
    GSettingsDesktopPreferences desktopPreferences;
    X11DesktopViews desktopViews{options.display, options.sessionBus};
    X11DesktopCompositing compositing{options.display, LinuxWorkspace::isWaylandSession()};

    // The input devices: one reader, one virtual device, both through the
    // input service where it is installed and takes us.
    std::unique_ptr<InputServiceClient> inputService = InputServiceClient::connect(options.inputServiceSocket);
    EvdevInputHub input{withService(options.input, inputService.get())};
    InputAccessTrust accessibilityTrust{input, "/dev/uinput", udevRulesFolders(), inputService.get(),
                                        QByteArray::fromStdString(options.inputServiceSocket)};
    EvdevMultitouchFramework multitouchFramework{input};
    UdevMultitouchDeviceRegistry multitouchDevices{input};
    TouchpadActivityPosition pointerPosition{input};
    EvdevPointerControl pointerControl{input};
    EvdevKeyboardState keyboardState{input};
    EvdevKeyEventMonitor keyEvents{input};
    EvdevMouseButtonMonitor mouseButtons{input};
    UinputDevice virtualInput{inputService.get()};
    UinputEventPoster eventPoster{virtualInput, keyboardState, pointerControl};
    EvdevEventTap eventTap{input, eventPoster};
    RealtimeKitThreadPriority threadPriority{options.systemBus};

private:
    static EvdevInputHub::Options withService(EvdevInputHub::Options input, InputServiceClient* service) {
        input.service = service;
        return input;
    }
};

}  // namespace glidra::linux_platform
