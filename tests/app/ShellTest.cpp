#include "app/ApplicationShell.h"
#include "app/ContentView.h"
#include "app/ControlMenu.h"
#include "app/GlidraMenuBarIcon.h"
#include "app/QtTranslations.h"
#include "app/QuitSignals.h"
#include "app/SettingsWindow.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "executors/DesktopIconsController.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "platform/linux/QtFileDialogs.h"
#include "platform/sim/SimDesktopIntegration.h"
#include "platform/sim/SimSystemTray.h"
#include "settings/ControlSettings.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TestEnvironment.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "support/WriteFailures.h"
#include "views/kit/KitColour.h"
#include "views/pages/ControlSettingsView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <pthread.h>

#include <csignal>

namespace glidra {
namespace {

constexpr AudioDeviceId kMicrophone = 3;
constexpr KeyboardBacklightId kCleanedKeyboard = 7;

class ShellTest : public ::testing::Test {
protected:
    test::UiHarness ui;
    TrackpadController& c = ui.controller;
    test::CallLog& log = ui.h.log;
    std::unique_ptr<sim::SimSystemTray> tray;
    std::unique_ptr<ApplicationShell> shell;

    ShellTest() { ui.rig.audio.setDefaultDevice(AudioScope::input, kMicrophone); }

    ApplicationShell& makeShell(bool hasTray, PageFactories pages = {}) {
        tray = std::make_unique<sim::SimSystemTray>(hasTray);
        shell = std::make_unique<ApplicationShell>(ApplicationShell::Environment{
            ui.context,
            std::move(pages),
            *tray,
            [this] {
                log.add(QStringLiteral("stopBridge"));
                glidraMTStop();
            },
            [this] { log.add(QStringLiteral("terminate")); },
        });
        return *shell;
    }
    // Opens the general page's import panel (the real one, offscreen) and
    // quits by `quit` from the event loop while it is open.
    void quitWhileTheImportPanelIsOpen(const std::function<void(ApplicationShell&)>& quit);

    QStringList items() { return shell->menu().visibleItems(); }
    void choose(const QString& item) { shell->menu().item(item)->trigger(); }
    void muteMicrophone() {
        ui.rig.audio.addMainDevice(kMicrophone, AudioScope::input, 0.75f, false);
        ASSERT_EQ(ui.context.microphone.toggle().kind, HUDNotice::Kind::success);
    }
};

void ShellTest::quitWhileTheImportPanelIsOpen(const std::function<void(ApplicationShell&)>& quit) {
    linux_platform::QtFileDialogs panels;
    ViewContext views = ui.viewsWith(ui.context.settings, panels);
    UiContext context{views, ui.context.updates};
    PageFactories pages;
    pages[SettingsPage::general] = [](UiContext& given) -> QWidget* { return new ControlSettingsView(given); };
    sim::SimSystemTray present(true);
    QEventLoop loop;
    ApplicationShell app(ApplicationShell::Environment{
        context,
        pages,
        present,
        [this] {
            log.add(QStringLiteral("stopBridge"));
            glidraMTStop();
        },
        [this, &loop] {
            log.add(QStringLiteral("terminate"));
            loop.quit();
        },
    });
    ui.switchOnWithTrackpad();
    app.start();
    app.openSettings();
    QPointer<SettingsWindow> window = app.window();
    window->contentView()->setPage(SettingsPage::general);
    auto* importButton = window->findChild<QPushButton*>(QStringLiteral("importConfiguration"));
    ASSERT_NE(importButton, nullptr);
    muteMicrophone();
    ui.context.keyboardLock.lock(false);

    // Due before the click: a panel running a loop of its own would run it
    // inside the click, with the window deleted under the panel.
    QPointer<QFileDialog> panel;
    bool openAtQuit = false;
    QTimer::singleShot(0, &app, [&] {
        panel = window ? window->findChild<QFileDialog*>() : nullptr;
        openAtQuit = panel && panel->isVisible();
        quit(app);
    });
    QTest::mouseClick(importButton, Qt::LeftButton);
    EXPECT_EQ(log.count(QStringLiteral("terminate")), 0) << "the click returns with the panel open";
    EXPECT_TRUE(c.isTransferringConfiguration());
    // Only a hang ends here.
    QTimer::singleShot(10000, &loop, [&loop] {
        ADD_FAILURE() << "did not quit";
        loop.quit();
    });
    loop.exec();
    test::UiHarness::flushDeletes();

    EXPECT_TRUE(openAtQuit);
    EXPECT_TRUE(panel.isNull());
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(ui.context.microphone.isActive());
    EXPECT_FALSE(ui.context.keyboardLock.isLocked());
    EXPECT_FALSE(c.isTransferringConfiguration());
    EXPECT_EQ(log.count(QStringLiteral("stopBridge")), 1);
    EXPECT_EQ(log.count(QStringLiteral("terminate")), 1);
    EXPECT_LT(log.calls.indexOf(QStringLiteral("stopBridge")), log.calls.indexOf(QStringLiteral("terminate")));
}

TEST_F(ShellTest, QuittingFromTheMenuWhileTheImportPanelIsOpenEndsInOrder) {
    quitWhileTheImportPanelIsOpen([](ApplicationShell& app) { app.menu().item(QStringLiteral("quit"))->trigger(); });
}

TEST_F(ShellTest, LogoutWhileTheImportPanelIsOpenEndsInOrder) {
    QuitSignals signals({SIGTERM});
    std::optional<int> received;
    quitWhileTheImportPanelIsOpen([&](ApplicationShell& app) {
        QObject::connect(&signals, &QuitSignals::received, &app, [&app, &received](int signal) {
            received = signal;
            app.quit();
        });
        ::raise(SIGTERM);
    });
    EXPECT_EQ(received, SIGTERM);
}

TEST_F(ShellTest, TheMenuOffersWhatTheStateCallsFor) {
    makeShell(false);
    const QString open = QStringLiteral("openSettings"), reconnect = QStringLiteral("reconnect"),
                  pause = QStringLiteral("pauseControl"), separator = QStringLiteral("separator"),
                  quit = QStringLiteral("quit");
    // Paused by the user.
    EXPECT_EQ(items(), (QStringList{open, reconnect, separator, quit}));

    // On, connected.
    ui.switchOnWithTrackpad();
    c.setConnectionState(TrackpadConnectionState::idle);
    EXPECT_EQ(items(), (QStringList{open, pause, separator, quit}));

    // On, reconnecting: both, retry first.
    c.setConnectionState(TrackpadConnectionState::reconnecting);
    EXPECT_EQ(items(), (QStringList{open, reconnect, pause, separator, quit}));

    // Every lasting effect adds its item, in order.
    c.setConnectionState(TrackpadConnectionState::active);
    ui.context.keyboardLock.lock(false);
    ui.context.keepAwake.setActive(true);
    muteMicrophone();
    ui.context.desktopIcons.toggle();
    EXPECT_EQ(items(),
              (QStringList{open, pause, QStringLiteral("unlockKeyboard"), QStringLiteral("disableKeepAwake"),
                           QStringLiteral("restoreMicrophone"), QStringLiteral("showDesktopIcons"), separator, quit}));
    EXPECT_EQ(shell->menu().item(QStringLiteral("restoreMicrophone"))->text(), QStringLiteral("恢复麦克风"));
    test::saveForReview(shell->menu().menu()->grab().toImage(), QStringLiteral("tray-menu-all"));

    // Each item undoes its effect, and its item goes.
    for (const auto* item : {"unlockKeyboard", "disableKeepAwake", "restoreMicrophone", "showDesktopIcons"}) {
        choose(QString::fromLatin1(item));
    }
    EXPECT_FALSE(ui.context.keyboardLock.isLocked());
    EXPECT_FALSE(ui.context.keepAwake.isActive());
    EXPECT_FALSE(ui.context.microphone.isActive());
    EXPECT_FALSE(ui.context.desktopIcons.isHidden());
    EXPECT_EQ(items(), (QStringList{open, pause, separator, quit}));

    // Pausing from the menu: paused, and the menu offers to connect.
    choose(pause);
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::paused);
    EXPECT_EQ(items(), (QStringList{open, reconnect, separator, quit}));
    test::saveForReview(shell->menu().menu()->grab().toImage(), QStringLiteral("tray-menu-paused"));
}

TEST_F(ShellTest, TheMicrophoneItemFollowsTheOwedRestoreAndTheDotFollowsTheSilence) {
    makeShell(false);
    ui.switchOnWithTrackpad();
    c.setConnectionState(TrackpadConnectionState::idle);
    muteMicrophone();
    // The device stops being the default input: no longer silent, but a
    // restore is still owed.
    ui.rig.audio.setDefaultDevice(AudioScope::input, 9);
    ui.advanceBy(1);
    EXPECT_TRUE(ui.context.microphone.isActive());
    EXPECT_FALSE(ui.context.microphone.isMuted());
    EXPECT_TRUE(items().contains(QStringLiteral("restoreMicrophone")));
    EXPECT_EQ(shell->icon().badgeColor(), std::nullopt);
}

TEST_F(ShellTest, QuitUndoesTheLastingEffectsAndStopsTheBridgeBeforeTheWindowClosesAndKeepsControlRemembered) {
    auto& app = makeShell(true);
    ui.switchOnWithTrackpad();
    ASSERT_TRUE(ui.h.settings.restoreEnabled());
    app.openSettings();
    QPointer<SettingsWindow> window = app.window();
    ASSERT_TRUE(window);
    QObject::connect(window, &QObject::destroyed, [this] { log.add(QStringLiteral("windowClosed")); });
    const auto logChange = [this](auto* object, auto signal, const char* name) {
        QObject::connect(object, signal, [this, name] { log.add(QString::fromLatin1(name)); });
    };
    logChange(&ui.context.microphone, &MicrophoneMuteController::isActiveChanged, "microphoneRestored");
    logChange(&ui.context.keyboardLock, &KeyboardLockController::isLockedChanged, "keyboardUnlocked");
    logChange(&ui.context.keepAwake, &KeepAwakeController::isActiveChanged, "keepAwakeOff");
    logChange(&c, &TrackpadController::isListeningChanged, "listeningStopped");
    muteMicrophone();
    ui.context.keyboardLock.lock(false);
    ui.context.keepAwake.setActive(true);
    ASSERT_FALSE(ui.rig.power.held().empty());
    ui.rig.drag().perform(GestureAction::mouseHoldLeft);
    ASSERT_TRUE(ui.rig.executors->isMouseDragHeld());
    log.calls.clear();

    choose(QStringLiteral("quit"));
    test::UiHarness::flushDeletes();
    log.calls.removeIf([](const QString& call) { return call.contains(u'.'); });  // the HUD and scrubber's own
    EXPECT_EQ(log.calls,
              (QStringList{QStringLiteral("microphoneRestored"), QStringLiteral("keyboardUnlocked"),
                           QStringLiteral("keepAwakeOff"), QStringLiteral("listeningStopped"),
                           QStringLiteral("stopBridge"), QStringLiteral("windowClosed"), QStringLiteral("terminate")}));
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(ui.context.microphone.isActive());
    EXPECT_FALSE(ui.context.keyboardLock.isLocked());
    EXPECT_TRUE(ui.rig.power.held().empty());
    EXPECT_FALSE(ui.rig.executors->isMouseDragHeld());
    EXPECT_EQ(ui.framework.log().back().rfind("stop", 0), 0u);
    // Control was not switched off: the next launch resumes it.
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(ui.h.settings.restoreEnabled());
}

// What the end undoes takes effect in the system later; the end waits for
// the system's word on each, a second at most.
struct Undoing {
    const char* name;
    // In the words of the log line that names it when it stays unconfirmed.
    const char* logged;
    std::function<void(test::UiHarness&, bool)> hold;
    std::function<bool(test::UiHarness&)> undone;
};

void PrintTo(const Undoing& undoing, std::ostream* out) { *out << undoing.name; }

class WindDownTest : public ShellTest, public ::testing::WithParamInterface<Undoing> {
protected:
    // Every lasting effect on at once, the keyboard in the cleaning mode
    // with its backlight dark, and the desktop's swipes switched off.
    void SetUp() override {
        muteMicrophone();
        ui.rig.keyboardBacklight.addKeyboard(kCleanedKeyboard, {0.6f, false});
        ui.context.keyboardLock.startCleaningMode();
        ui.context.keepAwake.setActive(true);
        ui.desktop.setDesktop(SystemGestureDesktop::gnome, DesktopIntegration::Companion::gnomeShellExtension, true);
        ui.desktop.setSystemSwipesOff(true);
        test::SimTime::drain();
        ASSERT_EQ(ui.rig.keyboardBacklight.keyboard(kCleanedKeyboard).level, 0.0f);
        ASSERT_EQ(ui.rig.power.held().size(), 1u);
    }

    bool ended = false;
    void windDown() {
        ApplicationShell::windDown(
            ui.context, [this] { log.add(QStringLiteral("stopBridge")); }, [this] { ended = true; });
    }
};

TEST_P(WindDownTest, TheEndWaitsForTheSystemsWord) {
    const Undoing& undoing = GetParam();
    undoing.hold(ui, true);
    test::LogCapture captured;
    windDown();
    EXPECT_FALSE(ended) << "the end comes from the event loop";
    test::SimTime::drain();
    EXPECT_FALSE(ended) << "ended before the system confirmed " << undoing.name;
    EXPECT_EQ(log.count(QStringLiteral("stopBridge")), 1);
    EXPECT_FALSE(ui.controller.isListening());

    ui.advanceBy(ApplicationShell::kWindDownSeconds / 2);
    undoing.hold(ui, false);
    test::SimTime::drain();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(undoing.undone(ui));
    EXPECT_TRUE(captured.texts("glidra.services").isEmpty())
        << captured.texts("glidra.services").join(u'\n').toStdString();
    // The deadline that no longer counts passes quietly.
    ended = false;
    ui.advanceBy(ApplicationShell::kWindDownSeconds);
    test::SimTime::drain();
    EXPECT_FALSE(ended);
}

TEST_P(WindDownTest, ASystemThatDoesNotAnswerIsWaitedForOneSecondAndNamed) {
    const Undoing& undoing = GetParam();
    undoing.hold(ui, true);
    test::LogCapture captured;
    windDown();
    ui.advanceBy(ApplicationShell::kWindDownSeconds - 0.001);
    test::SimTime::drain();
    EXPECT_FALSE(ended);
    ui.advanceBy(0.001);
    test::SimTime::drain();
    EXPECT_TRUE(ended);
    const QStringList warnings = captured.texts("glidra.services");
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings.front(),
              QStringLiteral("quitting without the system's word on ") + QLatin1String(undoing.logged));

    // A late answer changes nothing more.
    ended = false;
    undoing.hold(ui, false);
    test::SimTime::drain();
    EXPECT_FALSE(ended);
}

INSTANTIATE_TEST_SUITE_P(
    EachUndoing, WindDownTest,
    ::testing::Values(Undoing{"microphone", "the microphone",
                              [](test::UiHarness& ui, bool hold) {
                                  ui.rig.audio.settling.setHolds(hold);
                                  if (!hold) ui.rig.audio.settling.release();
                              },
                              [](test::UiHarness& ui) {
                                  return ui.rig.audio.value(kMicrophone, {AudioControl::mute, AudioScope::input, 0}) ==
                                             0.0f &&
                                         ui.rig.audio.settleCalls() == 1;
                              }},
                      Undoing{"keepAwake", "keep-awake",
                              [](test::UiHarness& ui, bool hold) {
                                  ui.rig.power.answers.setHolds(hold);
                                  if (!hold) ui.rig.power.answers.release();
                              },
                              [](test::UiHarness& ui) { return ui.rig.power.held().empty(); }},
                      Undoing{"keyboardBacklight", "the keyboard backlight",
                              [](test::UiHarness& ui, bool hold) {
                                  ui.rig.keyboardBacklight.answers.setHolds(hold);
                                  if (!hold) ui.rig.keyboardBacklight.answers.release();
                              },
                              [](test::UiHarness& ui) {
                                  return ui.rig.keyboardBacklight.keyboard(kCleanedKeyboard).level == 0.6f &&
                                         !ui.context.keyboardLock.isLocked();
                              }},
                      Undoing{"swipes", "the desktop's swipes",
                              [](test::UiHarness& ui, bool hold) {
                                  ui.desktop.answers.setHolds(hold);
                                  if (!hold) ui.desktop.answers.release();
                              },
                              [](test::UiHarness& ui) {
                                  return ui.desktop.swipesGivenBack() == 1 && ui.desktop.systemSwipesOff();
                              }}),
    [](const ::testing::TestParamInfo<Undoing>& info) { return std::string(info.param.name); });

TEST_F(ShellTest, QuitFromTheMenuEndsOnlyOnceTheMicrophoneIsConfirmedBack) {
    auto& app = makeShell(true);
    app.start();
    muteMicrophone();
    ui.rig.audio.settling.setHolds(true);
    choose(QStringLiteral("quit"));
    test::SimTime::drain();
    EXPECT_EQ(log.count(QStringLiteral("terminate")), 0);
    EXPECT_EQ(log.count(QStringLiteral("stopBridge")), 1);
    choose(QStringLiteral("quit"));
    EXPECT_EQ(log.count(QStringLiteral("stopBridge")), 1) << "a second quit while waiting undoes nothing twice";
    ui.rig.audio.settling.release();
    test::SimTime::drain();
    EXPECT_EQ(log.count(QStringLiteral("terminate")), 1);
}

TEST_F(ShellTest, WithATrayClosingTheWindowKeepsRunningAndAReopenedWindowStartsOnGestures) {
    auto& app = makeShell(true);
    app.start();
    ASSERT_TRUE(app.hasTrayIcon());
    EXPECT_TRUE(tray->isShowingIcon());
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Glidra"));
    EXPECT_EQ(tray->menu(), shell->menu().menu());
    EXPECT_EQ(app.window(), nullptr) << "the tray starts without a window";

    choose(QStringLiteral("openSettings"));
    SettingsWindow* first = app.window();
    ASSERT_NE(first, nullptr);
    first->contentView()->setPage(SettingsPage::general);
    choose(QStringLiteral("openSettings"));
    EXPECT_EQ(app.window(), first) << "one window, brought forward";

    first->close();
    test::UiHarness::flushDeletes();
    EXPECT_EQ(app.window(), nullptr);
    EXPECT_FALSE(log.calls.contains(QStringLiteral("terminate")));

    app.openSettings();
    EXPECT_EQ(app.window()->contentView()->page(), SettingsPage::gestures);
}

TEST_F(ShellTest, WithoutATrayTheWindowOpensAtStartAndClosingItQuits) {
    auto& app = makeShell(false);
    app.start();
    ASSERT_NE(app.window(), nullptr);
    EXPECT_FALSE(app.hasTrayIcon());
    EXPECT_EQ(tray->timesShown(), 0);
    app.window()->close();
    test::UiHarness::flushDeletes();
    EXPECT_EQ(log.count(QStringLiteral("terminate")), 1);
    EXPECT_EQ(log.count(QStringLiteral("stopBridge")), 1);
}

// At login the panel often comes up after the program.
TEST_F(ShellTest, ATrayThatComesAfterStartTakesTheIconAndClosingTheWindowNoLongerQuits) {
    auto& app = makeShell(false);
    app.start();
    ASSERT_NE(app.window(), nullptr);
    ASSERT_FALSE(app.hasTrayIcon());

    tray->appear();
    ASSERT_TRUE(app.hasTrayIcon());
    EXPECT_EQ(tray->timesShown(), 1);
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Glidra"));
    EXPECT_EQ(tray->menu(), shell->menu().menu());
    EXPECT_NE(app.window(), nullptr) << "the window the user has stays";

    app.window()->close();
    test::UiHarness::flushDeletes();
    EXPECT_EQ(app.window(), nullptr);
    EXPECT_EQ(log.count(QStringLiteral("terminate")), 0);
    EXPECT_EQ(log.count(QStringLiteral("stopBridge")), 0);
    choose(QStringLiteral("openSettings"));
    EXPECT_NE(app.window(), nullptr);
}

TEST_F(ShellTest, TheDotIsRedWhileControlDoesNotWorkAndOrangeForALastingEffect) {
    auto& app = makeShell(false);
    const QColor red = kit::colour(kit::KitColour::red, QApplication::palette());
    const QColor orange = kit::colour(kit::KitColour::orange, QApplication::palette());
    EXPECT_EQ(app.icon().badgeColor(), red) << "paused at launch";
    ui.context.keyboardLock.lock(false);
    EXPECT_EQ(app.icon().badgeColor(), red) << "red wins";
    ui.context.keyboardLock.unlock();

    ui.switchOnWithTrackpad();
    for (const auto state : {TrackpadConnectionState::reconnecting, TrackpadConnectionState::disconnected}) {
        c.setConnectionState(state);
        EXPECT_EQ(app.icon().badgeColor(), red) << enumRaw(state).toStdString();
    }
    c.setConnectionState(TrackpadConnectionState::active);
    EXPECT_EQ(app.icon().badgeColor(), std::nullopt);

    struct Effect {
        const char* name;
        std::function<void()> on;
        std::function<void()> off;
    };
    const Effect effects[] = {
        {"keyboard lock", [this] { ui.context.keyboardLock.lock(false); },
         [this] { ui.context.keyboardLock.unlock(); }},
        {"keep-awake", [this] { ui.context.keepAwake.setActive(true); },
         [this] { ui.context.keepAwake.setActive(false); }},
        {"microphone", [this] { muteMicrophone(); }, [this] { ui.context.microphone.restore(); }},
        {"desktop icons", [this] { ui.context.desktopIcons.toggle(); }, [this] { ui.context.desktopIcons.toggle(); }},
    };
    QSignalSpy changed(&app.icon(), &GlidraMenuBarIcon::changed);
    for (const auto& effect : effects) {
        effect.on();
        EXPECT_EQ(app.icon().badgeColor(), orange) << effect.name;
        effect.off();
        EXPECT_EQ(app.icon().badgeColor(), std::nullopt) << effect.name;
    }
    EXPECT_GE(changed.count(), 8);
}

TEST_F(ShellTest, TheBadgedImageHasItsDotInTheTopRightCornerAndFollowsTheAppearance) {
    const QColor red(255, 59, 48);
    // A symbol that cannot be loaded: 20 by 18 with the dot alone.
    const QImage missing = GlidraMenuBarIcon::badgedSymbolImage(false, red, QStringLiteral("no.such.symbol"), 1);
    EXPECT_EQ(missing.deviceIndependentSize(), QSizeF(20, 18));
    EXPECT_EQ(missing.pixelColor(17, 3), red) << "inside the dot at (15, 1, 4, 4)";
    EXPECT_EQ(missing.pixelColor(17, 8).alpha(), 0) << "below the dot";
    EXPECT_EQ(missing.pixelColor(5, 9).alpha(), 0) << "no symbol drawn";

    const QImage light = GlidraMenuBarIcon::badgedSymbolImage(false, red, QStringLiteral("hand.draw"), 1);
    const QImage dark = GlidraMenuBarIcon::badgedSymbolImage(true, red, QStringLiteral("hand.draw"), 1);
    ASSERT_EQ(light.deviceIndependentSize(),
              QSizeF(GlidraMenuBarIcon::kSymbolSide + 4, std::max(GlidraMenuBarIcon::kSymbolSide, 18)));
    const int dotX = light.width() - 3;
    EXPECT_EQ(light.pixelColor(dotX, 3), red);
    // The symbol's strokes: black on a light panel, white on a dark one.
    int blackInk = 0, whiteInk = 0;
    for (int y = 0; y < light.height(); ++y) {
        for (int x = 0; x < light.width() - 5; ++x) {
            if (light.pixelColor(x, y).alpha() == 255 && light.pixelColor(x, y).lightness() == 0) ++blackInk;
            if (dark.pixelColor(x, y).alpha() == 255 && dark.pixelColor(x, y).lightness() == 255) ++whiteInk;
        }
    }
    EXPECT_GT(blackInk, 10);
    EXPECT_GT(whiteInk, 10);

    // The icon is redrawn when the palette turns dark.
    auto& app = makeShell(false);
    QSignalSpy changed(&app.icon(), &GlidraMenuBarIcon::changed);
    {
        const test::ScopedPalette palette(test::darkPalette());
        EXPECT_GE(changed.count(), 1);
        test::saveForReview(GlidraMenuBarIcon::badgedSymbolImage(true, red).scaled(88, 72),
                            QStringLiteral("tray-icon-dark-red"));
    }
    test::saveForReview(app.icon().image().scaled(88, 72), QStringLiteral("tray-icon-light-red"));
    test::saveForReview(GlidraMenuBarIcon::plainSymbolImage(false).scaled(72, 72),
                        QStringLiteral("tray-icon-light-plain"));
}

// The panel's colour is its own: a light application theme on a dark panel
// (or the other way round) must still show the symbol.
TEST(TrayIconTest, TheSymbolStaysVisibleOnLightAndDarkPanels) {
    const auto onPanel = [](const QImage& icon, const QColor& panel) {
        QImage composed(icon.size(), QImage::Format_ARGB32_Premultiplied);
        composed.setDevicePixelRatio(icon.devicePixelRatio());
        composed.fill(panel);
        QPainter painter(&composed);
        painter.drawImage(QPoint(0, 0), icon);
        return composed;
    };
    // Pixels of the symbol (the dot's corner left out) that stand apart
    // from the panel.
    const auto standingOut = [](const QImage& composed, const QColor& panel) {
        int count = 0;
        for (int y = 0; y < composed.height(); ++y) {
            for (int x = 0; x < composed.width() - 5 * int(composed.devicePixelRatio()); ++x) {
                if (std::abs(composed.pixelColor(x, y).lightness() - panel.lightness()) > 100) ++count;
            }
        }
        return count;
    };
    const QColor red(255, 59, 48);
    for (const bool darkApplication : {false, true}) {
        const QImage icons[] = {GlidraMenuBarIcon::plainSymbolImage(darkApplication),
                                GlidraMenuBarIcon::badgedSymbolImage(darkApplication, red)};
        for (const QImage& icon : icons) {
            for (const QColor& panel : {QColor(Qt::white), QColor(Qt::black), QColor(40, 40, 40)}) {
                SCOPED_TRACE(testing::Message() << "dark application " << darkApplication << ", panel "
                                                << panel.name().toStdString() << ", " << icon.width() << " wide");
                EXPECT_GT(standingOut(onPanel(icon, panel), panel), 40);
            }
        }
    }
    const QImage light = GlidraMenuBarIcon::plainSymbolImage(false);
    test::saveForReview(onPanel(light, Qt::black).scaled(72, 72), QStringLiteral("tray-icon-light-on-dark-panel"));
    test::saveForReview(onPanel(light, Qt::white).scaled(72, 72), QStringLiteral("tray-icon-light-on-light-panel"));
}

TEST_F(ShellTest, StartUpRunsInOrderOnceAndResumesControlBeforeAnyWindow) {
    ui.h.settings.setRestoreEnabled(true);
    ui.framework.addDevice();
    int updateControllers = 0, histories = 0, controllers = 0;
    QObject::connect(&c, &TrackpadController::isListeningChanged,
                     [this] { log.add(QStringLiteral("listening=%1").arg(c.isListening())); });
    const SharedObjects objects{
        [&]() -> UpdateController& {
            ++updateControllers;
            log.add(QStringLiteral("updater"));
            return ui.updates;
        },
        [&] {
            ++histories;
            log.add(QStringLiteral("history"));
        },
        [&]() -> TrackpadController& {
            ++controllers;
            log.add(QStringLiteral("controller"));
            return c;
        },
    };
    startUp(objects);
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(log.calls.mid(0, 3),
              (QStringList{QStringLiteral("updater"), QStringLiteral("history"), QStringLiteral("controller")}));
    EXPECT_TRUE(log.calls.contains(QStringLiteral("listening=1")));

    // A second run toggles nothing: control stays on.
    startUp(objects);
    EXPECT_TRUE(c.isEnabled());
    EXPECT_EQ(log.count(QStringLiteral("recovery.start")), 1);
}

TEST_F(ShellTest, StartUpWithoutTheRememberedFlagLeavesControlPaused) {
    startUp(SharedObjects{
        [this]() -> UpdateController& { return ui.updates; }, {}, [this]() -> TrackpadController& { return c; }});
    EXPECT_FALSE(c.isEnabled());
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::paused);
    makeShell(false);
    EXPECT_TRUE(items().contains(QStringLiteral("reconnect")));
    EXPECT_TRUE(shell->icon().badgeColor().has_value());
}

TEST(SingleInstanceTest, ASecondStartAsksTheFirstForItsWindow) {
    const QString folder = test::temporaryHome() + QStringLiteral("/run");
    SingleInstance first(folder);
    ASSERT_TRUE(first.becomePrimary());
    QSignalSpy requested(&first, &SingleInstance::openWindowRequested);

    SingleInstance second(folder);
    EXPECT_FALSE(second.becomePrimary());
    EXPECT_TRUE(second.askPrimaryToOpenWindow());
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested.count() == 1; }, 5000));
}

TEST(SingleInstanceTest, NoAnswerWhenNoInstanceRuns) {
    SingleInstance alone(test::temporaryHome() + QStringLiteral("/run"));
    EXPECT_FALSE(alone.askPrimaryToOpenWindow());
    EXPECT_TRUE(alone.becomePrimary());
}

TEST(SingleInstanceTest, ASecondStartWaitsForAFirstThatHasItsLockButDoesNotListenYet) {
    const QString folder = test::temporaryHome() + QStringLiteral("/run");
    SingleInstance first(folder);
    QSignalSpy requested(&first, &SingleInstance::openWindowRequested);
    // The first start between taking its lock and listening.
    auto starting = std::make_unique<QLockFile>(first.lockPath());
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(starting->tryLock(0));

    int pauses = 0;
    SingleInstance second(folder, [&] {
        // The first listens while the second waits; the lock stays taken.
        if (++pauses == 3) {
            starting.reset();
            ASSERT_TRUE(first.becomePrimary());
        }
    });
    EXPECT_EQ(second.start(), SingleInstance::Start::handedOver) << second.failure().toStdString();
    EXPECT_EQ(pauses, 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested.count() == 1; }, 5000));
}

TEST(SingleInstanceTest, AHolderThatNeverListensIsWaitedForABoundedTime) {
    const QString folder = test::temporaryHome() + QStringLiteral("/run");
    ASSERT_TRUE(QDir().mkpath(folder));
    QLockFile holder(QDir(folder).filePath(QStringLiteral("glidra.lock")));
    ASSERT_TRUE(holder.tryLock(0));
    int pauses = 0;
    SingleInstance second(folder, [&] { ++pauses; });
    EXPECT_EQ(second.start(), SingleInstance::Start::failed);
    EXPECT_EQ(pauses, SingleInstance::kAttempts - 1);
    EXPECT_EQ(second.failure(),
              QStringLiteral("Glidra could not take its lock in the runtime folder %1, and no running Glidra answered.")
                  .arg(folder));

    // Once the holder is gone, the next start is the first.
    holder.unlock();
    EXPECT_EQ(second.start(), SingleInstance::Start::primary);
}

TEST(SingleInstanceTest, ARuntimeFolderWithoutWritePermissionIsReportedAtOnce) {
    const QString folder = test::temporaryHome() + QStringLiteral("/run");
    ASSERT_TRUE(QDir().mkpath(folder));
    int pauses = 0;
    SingleInstance::Start start = SingleInstance::Start::primary;
    QString failure;
    const bool held = test::withFolderNotWritable(folder, [&] {
        SingleInstance instance(folder, [&] { ++pauses; });
        start = instance.start();
        failure = instance.failure();
    });
    if (!held) GTEST_SKIP() << "file permissions do not hold here";
    EXPECT_EQ(start, SingleInstance::Start::failed);
    EXPECT_EQ(pauses, 0);
    EXPECT_EQ(failure, QStringLiteral("Glidra cannot start: its runtime folder %1 is not writable.").arg(folder));
}

TEST(SingleInstanceTest, AReadOnlyOrFullRuntimeFolderIsReportedAsSuch) {
    const QString disk = test::temporaryHome() + QStringLiteral("/run");
    const bool ran = test::onSmallFileSystem(disk, 64 * 1024, [&] {
        const auto attempt = [&](const QString& folder) {
            int pauses = 0;
            SingleInstance instance(folder, [&] { ++pauses; });
            EXPECT_EQ(instance.start(), SingleInstance::Start::failed);
            EXPECT_EQ(pauses, 0);
            return instance.failure();
        };
        test::fillUp(disk, QStringLiteral("filler"));
        EXPECT_EQ(attempt(disk),
                  QStringLiteral("Glidra cannot start: the file system of its runtime folder %1 is full.").arg(disk));
        ASSERT_TRUE(QFile::remove(disk + QStringLiteral("/filler")));
        ASSERT_TRUE(test::remount(disk, true));
        EXPECT_EQ(
            attempt(disk),
            QStringLiteral("Glidra cannot start: its runtime folder %1 is on a read-only file system.").arg(disk));
        const QString missing = disk + QStringLiteral("/glidra");
        EXPECT_EQ(
            attempt(missing),
            QStringLiteral("Glidra cannot start: its runtime folder %1 is on a read-only file system.").arg(missing));
    });
    if (!ran) GTEST_SKIP() << "a small tmpfs is mounted only as root, where mounting is allowed";
}

TEST(QuitSignalsTest, ATerminationSignalArrivesOnTheEventLoopAndIsSeenAtOnce) {
    QuitSignals signals({SIGTERM, SIGINT});
    QSignalSpy received(&signals, &QuitSignals::received);
    EXPECT_FALSE(signals.pending());
    ::raise(SIGTERM);
    EXPECT_TRUE(received.isEmpty()) << "nothing happens inside the handler";
    // Start-up, which runs before the event loop, sees it.
    EXPECT_TRUE(signals.pending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 5000));
    EXPECT_EQ(received.front().front().toInt(), SIGTERM);
}

// A signal held back before the handler exists is the handler's once it
// does, and a program started after that can be ended by the signals.
TEST(QuitSignalsTest, ASignalHeldBackUntilTheHandlerExistsIsTakenByItAndLeavesNothingBlocked) {
    QuitSignals::holdBack({SIGTERM, SIGHUP});
    // Unheld, this would end the test.
    ::raise(SIGTERM);
    QuitSignals signals({SIGTERM, SIGHUP});
    QSignalSpy received(&signals, &QuitSignals::received);
    EXPECT_TRUE(signals.pending());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 5000));
    ASSERT_FALSE(received.isEmpty());
    EXPECT_EQ(received.front().front().toInt(), SIGTERM);

    for (const int signal : {SIGTERM, SIGHUP}) {
        QProcess started;
        started.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        ASSERT_TRUE(started.waitForStarted(5000));
        ::kill(pid_t(started.processId()), signal);
        EXPECT_TRUE(started.waitForFinished(5000)) << "a started program held back signal " << signal;
        EXPECT_EQ(started.exitStatus(), QProcess::CrashExit);
    }
}

TEST(QtTranslationsTest, QtsOwnTextsComeInChineseWhateverTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(installQtTranslations(*qApp));
    // A text field's context menu and a file dialog's button.
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("撤消(&U)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    for (QTranslator* translator : qApp->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QLocale::setDefault(previous);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(QuitSignalsTest, ASignalLeftBlockedByWhoeverStartedTheProgramStillCounts) {
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    sigset_t previous;
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &term, &previous), 0);
    ::raise(SIGTERM);
    {
        QuitSignals signals({SIGTERM});
        EXPECT_TRUE(signals.pending());
        // Nothing of it may outlive the test: an ignored signal is dropped.
        std::signal(SIGTERM, SIG_IGN);
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
}

}  // namespace
}  // namespace glidra
