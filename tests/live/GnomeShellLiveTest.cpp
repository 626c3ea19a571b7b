// The program on the real GNOME Shell of the machine, headless, with its
// extension installed from the build and switched on as the Extensions
// application does: what the program sees of a native Wayland window (GNOME
// Calculator), what its window rules do to it, and who may use the
// extension. The shell's own state is read through Eval.

#include "live/LiveGlidra.h"
#include "platform/ApplicationId.h"
#include "platform/linux/GnomeShellWindowBridge.h"
#include "platform/linux/LinuxDesktopIntegration.h"
#include "support/DesktopSession.h"
#include "support/HeadlessGnomeShell.h"
#include "support/ServiceLoop.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <sys/wait.h>

#include <algorithm>

#include <iostream>

namespace glidra::test {
namespace {

using linux_platform::GnomeShellWindowBridge;
using K = GestureDescriptor::Kind;

const QString kUuid = QStringLiteral("glidra@glidra.github.io");
const QString kCalculator = QStringLiteral("org.gnome.Calculator.desktop");
constexpr int kCalculatorStartMs = 20'000;

// The window with the focus, as the shell has it.
const QString kFocused = QStringLiteral(R"((() => {
    const w = global.display.focus_window;
    if (!w) return null;
    const app = Shell.WindowTracker.get_default().get_window_app(w);
    const r = w.get_frame_rect();
    return {app: app ? app.get_id() : '', x: r.x, y: r.y, width: r.width, height: r.height};
})())");

// GNOME Calculator's window, wherever the focus is.
const QString kCalculatorWindow = QStringLiteral(R"((() => {
    const w = global.get_window_actors().map(a => a.meta_window)
        .find(w => Shell.WindowTracker.get_default().get_window_app(w)?.get_id() === 'org.gnome.Calculator.desktop');
    if (!w) return null;
    const r = w.get_frame_rect();
    return {x: r.x, y: r.y, width: r.width, height: r.height, minimized: w.minimized};
})())");

const QString kActivateCalculator = QStringLiteral(R"(global.get_window_actors().map(a => a.meta_window)
    .filter(w => Shell.WindowTracker.get_default().get_window_app(w)?.get_id() === 'org.gnome.Calculator.desktop')
    .forEach(w => { if (w.minimized) w.unminimize(); w.activate(global.get_current_time()); }))");

// The touchpad part of every swipe tracker the shell has, and of one made
// now: whether each is kept off.
const QString kSwipes = QStringLiteral(R"((() => {
    const controls = Main.overview._overview._controls;
    const app = controls._appDisplay;
    const trackers = [Main.overview._swipeTracker, Main.wm._workspaceAnimation._swipeTracker,
        controls._workspacesDisplay._swipeTracker, app._swipeTracker,
        ...app._folderIcons.map(icon => icon.view._swipeTracker)];
    const made = new imports.ui.swipeTracker.SwipeTracker(global.stage, 0, Shell.ActionMode.ALL,
        {allowDrag: false, allowScroll: false});
    // Each tracker switched on for a moment: its touchpad part follows it
    // unless it is kept off.
    const state = trackers.concat([made]).map(t => {
        const was = t.enabled;
        t.enabled = true;
        const on = t._touchpadGesture.enabled;
        t.enabled = was;
        return on ? 'on' : 'off';
    });
    made.destroy();
    return {folders: app._folderIcons.length, state};
})())");

// Counts the signals a connection receives.
class SignalCounter final : public QObject {
    Q_OBJECT

public:
    int received = 0;

public Q_SLOTS:
    void receive(const QDBusMessage&) { ++received; }
};

const QString kAddFolder = QStringLiteral(R"((() => {
    const later = new Gio.Settings({schema_id: 'org.gnome.desktop.app-folders.folder',
        path: '/org/gnome/desktop/app-folders/folders/GlidraLater/'});
    later.set_string('name', 'Later');
    later.set_strv('apps', ['glidra-test-b.desktop']);
    const folders = new Gio.Settings({schema_id: 'org.gnome.desktop.app-folders'});
    folders.set_strv('folder-children', [...folders.get_strv('folder-children'), 'GlidraLater']);
    return true;
})())");

class GnomeShellLiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!session.isReady()) GTEST_SKIP() << session.failure().toStdString();
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-shell")).isEmpty()) {
            GTEST_SKIP() << "gnome-shell is not installed (scripts/test installs it)";
        }
        glidra = std::make_unique<LiveGlidra>(session);
        if (!glidra->failure().isEmpty()) GTEST_SKIP() << glidra->failure().toStdString();
        // The build for the shell here: GNOME 45 and later load modules.
        const bool modules = shellMajorVersion() >= 45;
        ASSERT_TRUE(HeadlessGnomeShell::installExtension(
            session, QStringLiteral(GLIDRA_ADDONS_DIR "/gnome-shell/%1/").arg(modules ? "modules" : "legacy") + kUuid,
            kUuid));
        // Two applications of the user's, one of them in a folder of the
        // application grid, which builds its own swipe tracker.
        for (const char* application : {"glidra-test-a", "glidra-test-b"}) {
            ASSERT_TRUE(session.writeFile(
                session.home() + QStringLiteral("/.local/share/applications/%1.desktop").arg(application),
                QByteArray("[Desktop Entry]\nType=Application\nName=") + application + "\nExec=true\n"));
        }
        // The AppIndicator extension too, as on a desktop with a tray.
        shell = std::make_unique<HeadlessGnomeShell>(
            session, QStringList{kUuid, HeadlessGnomeShell::appIndicatorUuid()},
            "[org/gnome/desktop/app-folders]\nfolder-children=['GlidraFirst']\n"
            "[org/gnome/desktop/app-folders/folders/GlidraFirst]\nname='First'\napps=['glidra-test-a.desktop']\n");
        ASSERT_TRUE(shell->isRunning()) << shell->failure().toStdString();
        client = session.connect(QStringLiteral("another-program"));
    }

    void TearDown() override {
        if (HasFailure() && glidra) std::cerr << "glidra's output:\n" << glidra->log().toStdString();
        if (HasFailure() && shell) std::cerr << "the shell's output:\n" << shell->log().right(6000).toStdString();
        if (HasFailure() && calculator.pid() > 0)
            std::cerr << "GNOME Calculator's output:\n" << calculator.log().toStdString();
    }

    static int shellMajorVersion() {
        const auto version = runToEnd("gnome-shell", {"--version"});
        if (!version) return 0;
        const QList<QByteArray> words = version->output.trimmed().split(' ');
        return words.isEmpty() ? 0 : words.back().split('.').value(0).toInt();
    }

    QJsonObject evalObject(const QString& script) { return shell->eval(script).value_or(QJsonValue()).toObject(); }

    template <typename Condition>
    bool waitFor(Condition condition, int milliseconds = LiveGlidra::kEffectMs) {
        return serveUntil(condition, milliseconds);
    }

    // The program's name has an owner, and the extension knows it.
    bool glidraServed() {
        const QString owner = session.connect(QStringLiteral("owner-check"))
                                  .interface()
                                  ->serviceOwner(QString::fromLatin1(GnomeShellWindowBridge::kClientService))
                                  .value();
        const auto known =
            shell->eval(QStringLiteral("Main.extensionManager.lookup('%1').stateObj._client").arg(kUuid));
        return !owner.isEmpty() && known && known->toString() == owner;
    }

    bool startCalculator() {
        QList<QByteArray> environment = shell->desktopEnvironment();
        environment.append("GTK_A11Y=none");
        // Launched without the shell's activation token, the window opens
        // behind the focus; the user clicks it. Its first start in a fresh
        // home builds the font and icon caches, slow on a busy machine.
        const bool front = session.start(calculator, "gnome-calculator", {}, environment) &&
                           waitFor(
                               [&] {
                                   shell->eval(kActivateCalculator);
                                   return evalObject(kFocused).value(QStringLiteral("app")).toString() == kCalculator;
                               },
                               kCalculatorStartMs);
        if (!front) {
            std::cerr << "windows: "
                      << QJsonDocument(shell
                                           ->eval(QStringLiteral(
                                               "global.get_window_actors().map(a => [a.meta_window.get_title(), "
                                               "a.meta_window.get_wm_class(), a.meta_window.has_focus()])"))
                                           .value_or(QJsonValue())
                                           .toArray())
                             .toJson()
                             .toStdString()
                      << " focus: " << QJsonDocument(evalObject(kFocused)).toJson().toStdString();
        }
        return front;
    }

    // Shows the application grid until it holds `count` folders.
    bool showsFolders(int count) {
        return waitFor(
            [&] {
                if (evalObject(kSwipes).value(QStringLiteral("folders")).toInt() == count) return true;
                shell->eval(QStringLiteral("Main.overview.showApps()"));
                return false;
            },
            20'000);
    }

    QStringList swipeStates() {
        const QJsonArray states = evalObject(kSwipes).value(QStringLiteral("state")).toArray();
        QStringList found;
        for (const QJsonValue& value : states) found.append(value.toString());
        return found;
    }
    // Every tracker, the folders' and one made now included.
    bool swipesAre(const QString& wanted) {
        const QStringList states = swipeStates();
        return states.size() >= 6 && states.count(wanted) == states.size();
    }

    // A call of the extension's interface from a program other than Glidra.
    QDBusMessage callAsAnotherProgram(const QString& method, const QList<QVariant>& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString::fromLatin1(GnomeShellWindowBridge::kService), QString::fromLatin1(GnomeShellWindowBridge::kPath),
            QString::fromLatin1(GnomeShellWindowBridge::kInterface), method);
        message.setArguments(arguments);
        return client->call(message, QDBus::Block, 5000);
    }

    DesktopSession session;
    std::unique_ptr<LiveGlidra> glidra;
    std::unique_ptr<HeadlessGnomeShell> shell;
    std::optional<QDBusConnection> client;
    SpawnedProcess calculator;
};

TEST_F(GnomeShellLiveTest, WindowRulesLayOutMinimiseAndCloseTheFocusedNativeWindow) {
    ASSERT_TRUE(startCalculator()) << "GNOME Calculator did not come to the front";
    // The rule that moves the window names the application: it fires only if
    // the program sees which one is in front.
    ASSERT_TRUE(glidra->writeSettings({LiveGlidra::rule(K::tap, 2, GestureAction::windowLeftHalf, kCalculator),
                                       LiveGlidra::rule(K::tap, 3, GestureAction::maximizeWindow),
                                       LiveGlidra::rule(K::click, 2, GestureAction::minimizeWindow),
                                       LiveGlidra::rule(K::click, 3, GestureAction::closeWindow)}));
    ASSERT_TRUE(glidra->start(shell->desktopEnvironment())) << "glidra did not read the touchpad";
    ASSERT_TRUE(waitFor([&] { return glidraServed(); })) << "the extension does not know the program";
    // The extension knowing the program is not the program knowing it: on a
    // busy machine the first tap came before the program heard which
    // application is in front, and found no rule.
    ASSERT_TRUE(waitFor([&] { return glidra->log().contains("GNOME Shell extension answers"); }))
        << "the program does not hear the extension";

    const QJsonObject before = evalObject(kCalculatorWindow);
    ASSERT_GT(before.value(QStringLiteral("width")).toInt(), 0);
    ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.two_finger_tap"));
    EXPECT_TRUE(waitFor([&] {
        const QJsonObject now = evalObject(kCalculatorWindow);
        return now.value(QStringLiteral("x")).toInt() == 0 && now.value(QStringLiteral("width")).toInt() == 683;
    })) << "the left half: "
        << QJsonDocument(evalObject(kCalculatorWindow)).toJson().toStdString();

    ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.three_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return evalObject(kCalculatorWindow).value(QStringLiteral("width")).toInt() == 1366; }))
        << "the whole screen: " << QJsonDocument(evalObject(kCalculatorWindow)).toJson().toStdString();

    ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.two_finger_press"));
    EXPECT_TRUE(waitFor([&] { return evalObject(kCalculatorWindow).value(QStringLiteral("minimized")).toBool(); }))
        << "minimised";

    // The user brings it back, and closes it with the gesture.
    shell->eval(kActivateCalculator);
    ASSERT_TRUE(waitFor([&] { return evalObject(kFocused).value(QStringLiteral("app")).toString() == kCalculator; }));
    ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.three_finger_press"));
    EXPECT_TRUE(waitFor([&] { return !calculator.isRunning(); })) << "GNOME Calculator was closed";
    EXPECT_TRUE(glidra->isRunning());
}

TEST_F(GnomeShellLiveTest, OnlyGlidraSwitchesTheSwipesOffAndTheyComeBackHoweverItEnds) {
    // The application grid is built when it is first shown, and builds a
    // tracker for each folder; the extension, switched off and on again,
    // finds the folder's there.
    ASSERT_TRUE(showsFolders(1));
    shell->eval(QStringLiteral("Main.overview.hide()"));
    ASSERT_TRUE(shell->setExtensionEnabled(kUuid, false));
    ASSERT_TRUE(waitFor([&] { return shell->extensionState(kUuid) == 2; }));
    ASSERT_TRUE(shell->setExtensionEnabled(kUuid, true));
    ASSERT_TRUE(waitFor([&] { return shell->extensionState(kUuid) == 1; }));
    ASSERT_TRUE(swipesAre(QStringLiteral("on"))) << swipeStates().join(u' ').toStdString();
    ASSERT_TRUE(glidra->writeSettings(
        {}, {{QString::fromLatin1(linux_platform::LinuxDesktopIntegration::kSwipesOffKey), true}}));
    ASSERT_TRUE(glidra->start(shell->desktopEnvironment()));
    EXPECT_TRUE(waitFor([&] { return swipesAre(QStringLiteral("off")); }))
        << "every tracker, a new one too: " << swipeStates().join(u' ').toStdString();
    // The user makes another folder: the grid, shown again, builds a tracker
    // for it.
    shell->eval(kAddFolder);
    ASSERT_TRUE(showsFolders(2));
    shell->eval(QStringLiteral("Main.overview.hide()"));
    EXPECT_TRUE(swipesAre(QStringLiteral("off"))) << swipeStates().join(u' ').toStdString();

    // Another program can neither switch them on nor read the focused
    // window, and hears nothing of the focus.
    SignalCounter overheard;
    ASSERT_TRUE(client->connect(QStringLiteral("org.gnome.Shell"), QString::fromLatin1(GnomeShellWindowBridge::kPath),
                                QString::fromLatin1(GnomeShellWindowBridge::kInterface),
                                QStringLiteral("FocusedWindowChanged"), &overheard, SLOT(receive(QDBusMessage))));
    for (const auto& [method, arguments] :
         std::vector<std::pair<QString, QList<QVariant>>>{{QStringLiteral("SetSwipeGesturesDisabled"), {false}},
                                                          {QStringLiteral("GetState"), {}},
                                                          {QStringLiteral("GetWindow"), {qulonglong(1)}}}) {
        const QDBusMessage answer = callAsAnotherProgram(method, arguments);
        EXPECT_EQ(answer.errorName(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"))
            << method.toStdString();
    }
    EXPECT_TRUE(swipesAre(QStringLiteral("off")));
    ASSERT_TRUE(startCalculator());
    serveUntil([] { return false; }, 500);
    EXPECT_EQ(overheard.received, 0) << "the focus went to the calculator, and only Glidra was told";

    // A logout ends the program: the swipes are back.
    const std::optional<int> status = glidra->stop();
    EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    EXPECT_TRUE(waitFor([&] { return swipesAre(QStringLiteral("on")); }, 2000))
        << swipeStates().join(u' ').toStdString();

    // A crash too.
    ASSERT_TRUE(glidra->start(shell->desktopEnvironment()));
    ASSERT_TRUE(waitFor([&] { return swipesAre(QStringLiteral("off")); }));
    glidra->kill();
    EXPECT_TRUE(waitFor([&] { return swipesAre(QStringLiteral("on")); }, 2000))
        << swipeStates().join(u' ').toStdString();
}

// The tray icons AppIndicator shows in the top bar, with what their
// items say of themselves.
const QString kTrayIcons = QStringLiteral(R"((() => Object.entries(Main.panel.statusArea)
    .filter(([key, icon]) => key.startsWith('appindicator-') && icon && icon._indicator)
    .map(([key, icon]) => ({id: icon._indicator.id, title: icon._indicator.title, visible: icon.visible})))())");

TEST_F(GnomeShellLiveTest, TheTrayIconAppearsWhenTheUserSwitchesOnAppIndicatorAfterTheProgramStarted) {
    const QString indicator = HeadlessGnomeShell::appIndicatorUuid();
    ASSERT_TRUE(shell->setExtensionEnabled(indicator, false));
    ASSERT_TRUE(waitFor([&] { return shell->extensionState(indicator) == 2; }));
    ASSERT_TRUE(glidra->writeSettings({}));
    ASSERT_TRUE(glidra->start(shell->desktopEnvironment()));
    ASSERT_TRUE(waitFor([&] { return glidraServed(); })) << "the extension does not know the program";

    const auto glidraIcon = [&] {
        const QJsonArray icons = shell->eval(kTrayIcons).value_or(QJsonValue()).toArray();
        return std::any_of(icons.begin(), icons.end(), [](const QJsonValue& icon) {
            return icon[QStringLiteral("id")].toString() == applicationId() && icon[QStringLiteral("visible")].toBool();
        });
    };
    ASSERT_FALSE(glidraIcon()) << "no tray yet";
    ASSERT_TRUE(shell->setExtensionEnabled(indicator, true));
    ASSERT_TRUE(waitFor([&] { return shell->extensionState(indicator) == 1; }));
    EXPECT_TRUE(waitFor(glidraIcon))
        << "the top bar's tray icons: "
        << QJsonDocument(shell->eval(kTrayIcons).value_or(QJsonValue()).toArray()).toJson().toStdString();
    EXPECT_TRUE(glidra->isRunning());
}

}  // namespace
}  // namespace glidra::test

#include "GnomeShellLiveTest.moc"
