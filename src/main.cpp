// The composition root: picks the adapters, builds the shared objects in
// start-up order and hands them to the shell.

#include "app/ApplicationShell.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/UiContext.h"
#include "app/UpdateController.h"
#include "bridge/MultitouchBridge.h"
#include "dispatch/ActionDispatcher.h"
#include "executors/ActionExecutors.h"
#include "executors/BrowserVideoBridge.h"
#include "executors/BrowserVideoScrubber.h"
#include "hud/DesktopHUDScreens.h"
#include "hud/FloatingAdjustmentHUD.h"
#include "platform/BundleInfo.h"
#include "platform/linux/AtspiBrowserPageSource.h"
#include "platform/linux/BluezBluetoothDevices.h"
#include "platform/linux/GSettingsDesktopPreferences.h"
#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/MprisBrowserVideoChannel.h"
#include "platform/linux/PortalInteractiveScreenshot.h"
#include "platform/linux/PulseAudioDevices.h"
#include "platform/linux/QtClipboardPasteboard.h"
#include "platform/linux/QtFileDialogs.h"
#include "platform/linux/QtPointerPosition.h"
#include "platform/linux/QtScenePhase.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/QtScreenCovers.h"
#include "platform/linux/ScreenSaverPowerAssertions.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/UPowerKeyboardBacklight.h"
#include "platform/linux/UnavailableTranslationPresenter.h"
#include "platform/linux/UnavailableUpdater.h"
#include "platform/linux/UnreadTextSelection.h"
#include "platform/linux/XdgAutostartLoginItems.h"
#include "platform/sim/SimAccessibilityTrust.h"
#include "platform/sim/SimDesktopViews.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimEventPoster.h"
#include "platform/sim/SimEventTap.h"
#include "platform/sim/SimFrontmostApplication.h"
#include "platform/sim/SimKeyEventMonitor.h"
#include "platform/sim/SimKeyboardState.h"
#include "platform/sim/SimMouseButtonMonitor.h"
#include "platform/sim/SimMultitouchDeviceRegistry.h"
#include "platform/sim/SimMultitouchFramework.h"
#include "platform/sim/SimPointerControl.h"
#include "platform/sim/SimSystemEvents.h"
#include "replay/InertServices.h"
#include "settings/ControlSettings.h"
#include "settings/LoginItemController.h"
#include "trackpad/PairedTrackpadConnector.h"
#include "trackpad/TrackpadController.h"
#include "trackpad/TrackpadListenerRecovery.h"
#include "views/kit/TextStyle.h"
#include "views/pages/ControlSettingsView.h"

#include <QApplication>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <optional>

namespace glidra {
namespace {

using namespace linux_platform;

// What the build knows of itself; the update feed and key stay empty until
// releases are published with a feed.
BundleInfo bundleInfo() {
    return BundleInfo{
        QStringLiteral(GLIDRA_VERSION),         QStringLiteral(GLIDRA_BUILD_NUMBER),
        QStringLiteral(GLIDRA_UPDATE_FEED_URL), QStringLiteral(GLIDRA_UPDATE_PUBLIC_KEY),
        QStringLiteral(GLIDRA_SUPPORT_ADDRESS),
    };
}

// One object built on first use and kept: the shared instances of start-up.
template <typename T>
class Lazy {
public:
    explicit Lazy(std::function<std::unique_ptr<T>()> make) : make_(std::move(make)) {}
    T& operator()() {
        if (!value_) value_ = make_();
        return *value_;
    }

private:
    std::function<std::unique_ptr<T>()> make_;
    std::unique_ptr<T> value_;
};

// The system behind the ports. Services with a Linux adapter use it; the rest
// (touchpad frames, keyboards, synthesised input, sleep and wake, the front
// application, input-device trust) stay simulated until their adapters exist,
// so the program runs but hears no touchpad yet.
struct Platform {
    SystemClock clock;
    QtScheduler scheduler;
    JsonFileUserDefaults defaults{JsonFileUserDefaults::standardPath()};
    LinuxWorkspace workspace;
    XdgAutostartLoginItems loginItems{QCoreApplication::applicationFilePath()};
    BluezBluetoothDevices bluetooth;
    QtPointerPosition pointer;
    PulseAudioDevices audio;
    ScreenSaverPowerAssertions power;
    UPowerKeyboardBacklight keyboardBacklight;
    GSettingsDesktopPreferences desktopPreferences;
    QtScreenCovers screenCovers;
    QtScenePhase scenePhase;
    QtFileDialogs fileDialogs;
    DesktopHUDScreens screens;
    QtClipboardPasteboard pasteboard;
    PortalInteractiveScreenshot screenshots{QDBusConnection::sessionBus(), pasteboard};
    AtspiBrowserPageSource browserPages{QDBusConnection::sessionBus()};
    MprisBrowserVideoChannel videoChannel{QDBusConnection::sessionBus()};
    BrowserVideoBridge videoBridge{videoChannel};
    UnreadTextSelection textSelection;
    UnavailableTranslationPresenter translation;

    sim::SimMultitouchFramework multitouch;
    sim::SimMultitouchDeviceRegistry devices{multitouch};
    sim::SimDisplayBrightness displays;
    sim::SimKeyboardState keyboard;
    sim::SimFrontmostApplication frontmost;
    sim::SimKeyEventMonitor keyEvents;
    sim::SimMouseButtonMonitor mouseButtons;
    sim::SimPointerControl pointerControl;
    sim::SimAccessibilityTrust trust;
    sim::SimSystemEvents systemEvents;
    sim::SimEventTap taps;
    sim::SimEventPoster poster;
    sim::SimDesktopViews desktopViews;
};

int run(QApplication& app) {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    SingleInstance instance(runtime);
    if (!instance.becomePrimary()) {
        if (instance.askPrimaryToOpenWindow()) return 0;
        std::fputs("Glidra could not take its lock in the runtime folder, and no running Glidra answered.\n", stderr);
        return 1;
    }

    const BundleInfo bundle = bundleInfo();
    Platform platform;
    ControlSettings settings(platform.defaults);
    ControlSettings::setShared(&settings);
    MultitouchBridge bridge(platform.multitouch, platform.displays, platform.clock);
    MultitouchBridge::setShared(&bridge);

    // The tray icon's place, for HUD notices shown below it; known once the
    // shell exists.
    ApplicationShell* shell = nullptr;
    const AdjustmentHUDFactory makeHUD = FloatingAdjustmentHUD::factory(FloatingAdjustmentHUD::Environment{
        platform.clock, platform.scheduler, platform.screens,
        [&shell]() -> std::optional<QRect> { return shell ? shell->trayIconGeometry() : std::nullopt; }});

    ActionExecutors executors(ActionExecutors::Ports{
        platform.poster,
        platform.taps,
        platform.keyboard,
        platform.frontmost,
        platform.trust,
        platform.desktopViews,
        platform.clock,
        platform.scheduler,
        platform.systemEvents,
        platform.audio,
        platform.power,
        platform.keyboardBacklight,
        platform.desktopPreferences,
        platform.screenCovers,
        platform.pasteboard,
        platform.screenshots,
        platform.browserPages,
        platform.textSelection,
        platform.translation,
        settings,
        makeHUD,
    });
    replay::UnbuiltExecutors unbuilt;
    ActionDispatcher dispatcher(ActionDispatcher::Ports{platform.poster, platform.keyboard, platform.frontmost,
                                                        platform.trust, platform.workspace},
                                ActionDispatcher::Executors{executors, unbuilt, unbuilt, executors});

    Lazy<UpdateController> updates(
        [&] { return std::make_unique<UpdateController>(bundle, UnavailableUpdater::factory()); });
    Lazy<TrackpadController> controller([&] {
        auto made = std::make_unique<TrackpadController>(TrackpadController::Environment{
            settings,
            platform.clock,
            platform.scheduler,
            platform.keyboard,
            platform.frontmost,
            executors,
            dispatcher,
            makeHUD,
            platform.pointerControl,
            std::make_unique<BrowserVideoScrubber>(
                platform.videoBridge, [&platform] { return platform.frontmost.bundleIdentifier(); },
                platform.scheduler),
            std::make_unique<PairedTrackpadConnector>(platform.bluetooth),
            [&platform](TrackpadController& built) -> std::unique_ptr<ListenerRecoveryService> {
                return TrackpadListenerRecovery::forController(
                    built,
                    TrackpadListenerRecovery::Services{platform.clock, platform.scheduler, platform.systemEvents,
                                                       platform.mouseButtons, platform.pointer, platform.devices});
            },
            platform.keyEvents,
            platform.mouseButtons,
            platform.trust,
        });
        TrackpadController::setShared(made.get());
        executors.attachController(*made);
        return made;
    });

    startUp(SharedObjects{
        [&]() -> UpdateController& { return updates(); }, {}, [&]() -> TrackpadController& { return controller(); }});

    UiContext context{
        settings,
        controller(),
        platform.workspace,
        platform.trust,
        platform.loginItems,
        platform.clock,
        platform.scheduler,
        updates(),
        platform.fileDialogs,
        bundle,
        platform.scenePhase,
        executors.keyboardLock(),
        executors.keepAwake(),
        executors.microphone(),
        executors.desktopIcons(),
    };

    // The settings pages register here as they are built.
    PageFactories pages;
    pages[SettingsPage::general] = [](UiContext& shared) -> QWidget* { return new ControlSettingsView(shared); };

    ApplicationShell application(ApplicationShell::Environment{
        context,
        std::move(pages),
        QSystemTrayIcon::isSystemTrayAvailable(),
        [] { glidraMTStop(); },
        [] { QCoreApplication::quit(); },
    });
    shell = &application;
    QObject::connect(&instance, &SingleInstance::openWindowRequested, &application, &ApplicationShell::openSettings);
    // Logout and Ctrl+C end the program the way the menu's quit does.
    QuitSignals quitSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&quitSignals, &QuitSignals::received, &application, &ApplicationShell::quit);
    application.start();

    const int status = app.exec();
    shell = nullptr;
    TrackpadController::setShared(nullptr);
    MultitouchBridge::setShared(nullptr);
    ControlSettings::setShared(nullptr);
    return status;
}

}  // namespace
}  // namespace glidra

int main(int argc, char** argv) {
    // Reading the user's input devices and settings is the desktop user's
    // business; as root the program would write root's settings and reach
    // no session.
    if (::geteuid() == 0) {
        std::fputs("Glidra runs as the desktop user, not as root: start it with scripts/run or from the desktop.\n",
                   stderr);
        return 1;
    }
    // The HUD places its panel itself, which Wayland does not allow a client:
    // run through XWayland when an X display is there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Glidra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GLIDRA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("glidra"));
    // The shell decides when closing the window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    glidra::kit::useApplicationFont();
    return glidra::run(app);
}
