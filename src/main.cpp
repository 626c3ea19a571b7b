// The composition root: picks the adapters, builds the shared objects in
// start-up order and hands them to the shell.

#include "app/ApplicationShell.h"
#include "app/CommandLine.h"
#include "app/QtTranslations.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/UiContext.h"
#include "app/UpdateController.h"
#include "app/UpdateSettingsView.h"
#include "bridge/MultitouchBridge.h"
#include "dispatch/ActionDispatcher.h"
#include "executors/ActionExecutors.h"
#include "executors/BrowserVideoBridge.h"
#include "executors/BrowserVideoScrubber.h"
#include "hud/DesktopHUDScreens.h"
#include "hud/FloatingAdjustmentHUD.h"
#include "platform/ApplicationId.h"
#include "platform/BundleInfo.h"
#include "platform/Cancellation.h"
#include "platform/LogCategories.h"
#include "platform/linux/AtspiBrowserPageSource.h"
#include "platform/linux/DesktopWindowControl.h"
#include "platform/linux/EwmhWindowControl.h"
#include "platform/linux/GnomeScreenKeyboardSettings.h"
#include "platform/linux/GraphicalSession.h"
#include "platform/linux/LinuxAccessibility.h"
#include "platform/linux/LinuxFileBookmarks.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LogindSystemPower.h"
#include "platform/linux/MprisBrowserVideoChannel.h"
#include "platform/linux/PortalInteractiveScreenshot.h"
#include "platform/linux/QProcessRunner.h"
#include "platform/linux/QtClipboardPasteboard.h"
#include "platform/linux/QtFileDialogs.h"
#include "platform/linux/QtScenePhase.h"
#include "platform/linux/QtScreenCovers.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtSystemTray.h"
#include "platform/linux/UnavailableTranslationPresenter.h"
#include "platform/linux/UnavailableUpdater.h"
#include "platform/linux/UnreadTextSelection.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "settings/ControlSettings.h"
#include "settings/LoginItemController.h"
#include "trackpad/PairedTrackpadConnector.h"
#include "trackpad/TrackpadController.h"
#include "trackpad/TrackpadListenerRecovery.h"
#include "views/kit/TextStyle.h"
#include "views/pages/ControlSettingsView.h"
#include "views/pages/GestureBindingsView.h"
#include "views/pages/PracticeView.h"
#include "views/rules/FreeformRulesView.h"

#include <QApplication>
#include <QStandardPaths>

#include <sys/prctl.h>
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

LinuxPlatform::Options platformOptions() {
    LinuxPlatform::Options options;
    // A service of one's own, run on another socket (its tests, a second
    // seat's); the installed one otherwise.
    if (const QByteArray socket = qgetenv("GLIDRA_INPUTD_SOCKET"); !socket.isEmpty()) {
        options.inputServiceSocket = socket.toStdString();
    }
    return options;
}

// The system behind the ports: every Linux adapter, and those of Qt's
// windowing, which need the GUI application.
struct Platform {
    LinuxPlatform system{platformOptions()};
    QtScreenCovers screenCovers;
    QtScenePhase scenePhase;
    QtFileDialogs fileDialogs;
    QtSystemTray tray{QDBusConnection::sessionBus()};
    DesktopHUDScreens screens;
    DesktopWindowControl windows{system.windowBridge.get(), std::make_unique<EwmhWindowControl>()};
    QtScreens windowScreens;
    LinuxAccessibility accessibility;
    GnomeScreenKeyboardSettings keyboardSettings;
    LogindSystemPower systemPower;
    LinuxFileBookmarks bookmarks;
    QProcessRunner processes;
    QtClipboardPasteboard pasteboard;
    PortalInteractiveScreenshot screenshots{QDBusConnection::sessionBus(), pasteboard};
    AtspiBrowserPageSource browserPages{QDBusConnection::sessionBus()};
    MprisBrowserVideoChannel videoChannel{QDBusConnection::sessionBus()};
    BrowserVideoBridge videoBridge{videoChannel};
    UnreadTextSelection textSelection;
    UnavailableTranslationPresenter translation;
    // Qt's platform is known only once the GUI application exists.
    XkbKeyboardLayout keyboardLayout;
};

int run(QApplication& app, const QuitSignals& quitSignals) {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    SingleInstance instance(runtime);
    switch (instance.start()) {
        case SingleInstance::Start::primary:
            break;
        case SingleInstance::Start::handedOver:
            return 0;
        case SingleInstance::Start::failed:
            std::fputs(qPrintable(instance.failure() + QLatin1Char('\n')), stderr);
            return 1;
    }

    const BundleInfo bundle = bundleInfo();
    Platform platform;
    LinuxPlatform& system = platform.system;
    ControlSettings settings(system.userDefaults);
    ControlSettings::setShared(&settings);
    MultitouchBridge bridge(system.multitouchFramework, system.displayBrightness, system.clock);
    MultitouchBridge::setShared(&bridge);

    // The tray icon's place, for HUD notices shown below it; known once the
    // shell exists.
    ApplicationShell* shell = nullptr;
    const AdjustmentHUDFactory makeHUD = FloatingAdjustmentHUD::factory(FloatingAdjustmentHUD::Environment{
        system.clock, system.scheduler, platform.screens,
        [&shell]() -> std::optional<QRect> { return shell ? shell->trayIconGeometry() : std::nullopt; },
        &system.compositing});

    ActionExecutors executors(ActionExecutors::Ports{
        system.eventPoster,
        system.eventTap,
        system.keyboardState,
        system.frontmostApplication,
        system.accessibilityTrust,
        system.desktopViews,
        system.clock,
        system.scheduler,
        system.systemEvents,
        system.audioDevices,
        system.powerAssertions,
        system.keyboardBacklight,
        system.desktopPreferences,
        platform.screenCovers,
        platform.pasteboard,
        platform.screenshots,
        platform.browserPages,
        platform.textSelection,
        platform.translation,
        settings,
        makeHUD,
        system.workspace,
        platform.accessibility,
        platform.keyboardSettings,
        platform.windows,
        platform.windowScreens,
        platform.systemPower,
        platform.bookmarks,
        platform.processes,
        // The desktop-file id the program's own windows would be known by.
        ownDesktopFileId(),
    });
    ActionDispatcher dispatcher(
        ActionDispatcher::Ports{system.eventPoster, system.keyboardState, system.frontmostApplication,
                                system.accessibilityTrust, system.workspace},
        ActionDispatcher::Executors{executors, executors, executors, executors});

    Lazy<UpdateController> updates(
        [&] { return std::make_unique<UpdateController>(bundle, UnavailableUpdater::factory()); });
    Lazy<TrackpadController> controller([&] {
        auto made = std::make_unique<TrackpadController>(TrackpadController::Environment{
            settings,
            system.clock,
            system.scheduler,
            system.keyboardState,
            system.frontmostApplication,
            executors,
            dispatcher,
            makeHUD,
            system.pointerControl,
            std::make_unique<BrowserVideoScrubber>(
                platform.videoBridge, [&system] { return system.frontmostApplication.bundleIdentifier(); },
                system.scheduler),
            std::make_unique<PairedTrackpadConnector>(system.bluetoothDevices),
            [&system](TrackpadController& built) -> std::unique_ptr<ListenerRecoveryService> {
                return TrackpadListenerRecovery::forController(
                    built, TrackpadListenerRecovery::Services{system.clock, system.scheduler, system.systemEvents,
                                                              system.mouseButtons, system.pointerPosition,
                                                              system.multitouchDevices});
            },
            system.keyEvents,
            system.mouseButtons,
            system.accessibilityTrust,
        });
        TrackpadController::setShared(made.get());
        executors.attachController(*made);
        return made;
    });

    startUp(SharedObjects{
        [&]() -> UpdateController& { return updates(); }, {}, [&]() -> TrackpadController& { return controller(); }});

    ViewContext views{
        settings,
        controller(),
        system.workspace,
        system.accessibilityTrust,
        system.loginItems,
        system.clock,
        system.scheduler,
        platform.fileDialogs,
        bundle,
        platform.scenePhase,
        executors.keyboardLock(),
        executors.keepAwake(),
        executors.microphone(),
        executors.desktopIcons(),
        system.keyEvents,
        system.keyboardState,
        platform.keyboardLayout,
        executors.shortcuts(),
        // A preview or test open runs as a gesture would; the view cancels
        // nothing it started.
        [&dispatcher](GestureBinding binding) {
            return dispatcher.performGestureAction(std::move(binding), CancellationToken());
        },
        system.desktopIntegration,
        [&] { return new UpdateSettingsView(updates(), bundle); },
    };
    UiContext context{views, updates()};

    // The settings pages.
    PageFactories pages;
    pages[SettingsPage::gestures] = [](UiContext& shared) -> QWidget* { return new FreeformRulesView(shared); };
    pages[SettingsPage::edges] = [](UiContext& shared) -> QWidget* { return new GestureBindingsView(shared); };
    // Practice has no sidebar row; the page is there for whoever selects it.
    pages[SettingsPage::practice] = [](UiContext& shared) -> QWidget* { return new PracticeView(shared); };
    pages[SettingsPage::general] = [](UiContext& shared) -> QWidget* { return new ControlSettingsView(shared); };

    // The shared pointers go before what they point at.
    const auto forgetShared = [&shell] {
        shell = nullptr;
        TrackpadController::setShared(nullptr);
        MultitouchBridge::setShared(nullptr);
        ControlSettings::setShared(nullptr);
    };
    // Logout during start-up: nothing is shown, and what started is undone
    // as quitting does; the loop runs only until the system has confirmed it.
    if (quitSignals.pending()) {
        ApplicationShell::windDown(
            context, [] { glidraMTStop(); }, [] { QCoreApplication::exit(0); });
        const int status = app.exec();
        forgetShared();
        return status;
    }
    ApplicationShell application(ApplicationShell::Environment{
        context,
        std::move(pages),
        platform.tray,
        [] { glidraMTStop(); },
        [] { QCoreApplication::quit(); },
    });
    shell = &application;
    QObject::connect(&instance, &SingleInstance::openWindowRequested, &application, &ApplicationShell::openSettings);
    // Logout and Ctrl+C end the program the way the menu's quit does.
    QObject::connect(&quitSignals, &QuitSignals::received, &application, &ApplicationShell::quit);
    application.start();

    const int status = app.exec();
    forgetShared();
    return status;
}

}  // namespace
}  // namespace glidra

int main(int argc, char** argv) {
    // Before anything reads input: a program of the same user may then neither
    // trace this process nor read its memory, where keys and the input
    // service's descriptors pass.
    ::prctl(PR_SET_DUMPABLE, 0);
    // A signal that ends the session waits from here until the handler takes
    // it, so that start-up ends as an orderly quit however early it comes.
    glidra::QuitSignals::holdBack({SIGTERM, SIGINT, SIGHUP});
    if (const auto status = glidra::handleCommandLine(argc, argv, QStringLiteral(GLIDRA_VERSION))) return *status;
    glidra::useLogFormat();
    // Reading the user's input devices and settings is the desktop user's
    // business; as root the program would write root's settings and reach
    // no session.
    if (::geteuid() == 0) {
        std::fputs(
            "Glidra runs as the desktop user, not as root: start it from the desktop's menu, or as your own "
            "user.\n",
            stderr);
        return 1;
    }
    if (const auto missing = glidra::linux_platform::missingGraphicalSession()) {
        std::fputs(qPrintable(*missing + QLatin1Char('\n')), stderr);
        return 1;
    }
    // The HUD places its panel itself, which Wayland does not allow a client:
    // run through XWayland when an X display is there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    // From here on a signal that ends the session is an orderly quit, also
    // during start-up.
    glidra::QuitSignals quitSignals({SIGTERM, SIGINT, SIGHUP});
    glidra::installQtTranslations(app);
    QCoreApplication::setApplicationName(QStringLiteral("Glidra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GLIDRA_VERSION));
    QGuiApplication::setDesktopFileName(glidra::applicationId());
    // The shell decides when closing the window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    glidra::kit::useApplicationFont();
    return glidra::run(app, quitSignals);
}
