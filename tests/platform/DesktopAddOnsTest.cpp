// The adapters for native Wayland windows against fakes of the program's own
// GNOME Shell extension and KWin script, on a private session bus. The fakes
// keep to what the real ones do where it matters here: the extension trusts
// only the owner of the program's bus name, KWin's start() unloads a script
// named after an installed package the user did not switch on, and KWin's
// script calls come from KWin's own connection. What only the real desktops
// show is tested against them in tests/live.

#include "executors/WindowFrameHistory.h"
#include "executors/WindowLayoutExecutor.h"
#include "platform/FakeDesktopAddOns.h"
#include "platform/ListedDesktopEntries.h"
#include "platform/linux/DesktopWindowControl.h"
#include "platform/linux/GnomeShellWindowBridge.h"
#include "platform/linux/KWinScriptWindowBridge.h"
#include "platform/linux/LinuxDesktopIntegration.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/XcbConnection.h"
#include "platform/sim/SimScreens.h"
#include "platform/sim/SimUserDefaults.h"
#include "support/FakeDesktopServices.h"
#include "support/LogCapture.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace glidra {
namespace {

using linux_platform::DesktopWindowControl;
using linux_platform::GnomeShellWindowBridge;
using linux_platform::KWinScriptWindowBridge;
using linux_platform::LinuxDesktopIntegration;
using linux_platform::LinuxWorkspace;
using test::awaited;
using test::FakeShellExtension;

constexpr int kWait = 10'000;

const QString kShellService = QString::fromLatin1(GnomeShellWindowBridge::kService);
const QString kShellPath = QString::fromLatin1(GnomeShellWindowBridge::kPath);
const QString kGnomeShell = QStringLiteral("org.gnome.Shell");

FakeShellExtension::Window editor() {
    return {7,
            QStringLiteral("org.example.Editor.desktop"),
            QStringLiteral("org.example.Editor"),
            4242,
            QStringLiteral("Notes"),
            QRect(100, 100, 800, 600),
            false,
            QSize(400, 300)};
}

// No X server at all: only the extension can tell. `installed`: the desktop
// entries of the machine, when given.
LinuxWorkspace workspaceOn(QDBusConnection bus, linux_platform::DesktopWindowBridge& bridge,
                           std::optional<QString> installed = std::nullopt) {
    if (!installed) return LinuxWorkspace(nullptr, true, std::move(bus), &bridge);
    return LinuxWorkspace(nullptr, true, std::move(bus), &bridge,
                          test::entriesOf({{*installed, QStringLiteral("/usr/share/applications/") + *installed,
                                            QString(), *installed}}));
}

class GnomeShellBridgeTest : public ::testing::Test {
protected:
    test::PrivateSessionBus bus;
    // The shell's own connection: it owns org.gnome.Shell, and the extension
    // serves on it.
    std::optional<QDBusConnection> shellBus;
    std::unique_ptr<test::FakeServiceHost> host;
    FakeShellExtension* extension = nullptr;
    std::optional<GnomeShellWindowBridge> bridge;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        shellBus = bus.connect(QStringLiteral("glidra-shell"));
        ASSERT_TRUE(shellBus->registerService(kGnomeShell));
        bridge.emplace(bus.connect(QStringLiteral("glidra-adapter")));
    }

    // The user enables the extension.
    void enable(std::optional<FakeShellExtension::Window> focused) {
        host = std::make_unique<test::FakeServiceHost>(*shellBus);
        auto made = std::make_unique<FakeShellExtension>(*shellBus);
        extension = made.get();
        ASSERT_TRUE(host->serve(kShellService, kShellPath, std::move(made)));
        extension->focus(std::move(focused));
        ASSERT_TRUE(QTest::qWaitFor([&] { return bridge->isConnected(); }, kWait));
    }
    // ...and switches it off, or the shell restarts.
    void disable() {
        shellBus->unregisterService(kShellService);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !bridge->isConnected(); }, kWait));
        host.reset();
        extension = nullptr;
    }
};

TEST_F(GnomeShellBridgeTest, TheFocusedNativeWindowIsTheFrontApplication) {
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge,
                                 QStringLiteral("org.example.Editor.desktop"));
    const FrontmostApplication& front = workspace;
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::unknown()) << "before the extension is there";
    EXPECT_EQ(front.bundleIdentifier(), std::nullopt);

    QSignalSpy activated(&workspace, &Workspace::applicationActivated);
    enable(editor());
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() == 1; }, kWait));
    ASSERT_EQ(workspace.frontmostApplication().state, FrontApplication::State::known);
    EXPECT_EQ(workspace.frontmostApplication().application->processIdentifier, 4242);
    EXPECT_EQ(workspace.processIdentifier(), 4242);
    EXPECT_EQ(front.bundleIdentifier(), QStringLiteral("org.example.Editor.desktop"));
    EXPECT_EQ(front.processIdentifier(), 4242);

    // A window the shell matched to no entry is still its process's.
    extension->focus(FakeShellExtension::Window{9, QStringLiteral("window:9"), QStringLiteral("Tool"), 5151,
                                                QStringLiteral("Tool"), QRect(0, 0, 300, 200), false, QSize()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() == 2; }, kWait));
    EXPECT_EQ(activated.at(1).at(0).value<RunningApplication>().processIdentifier, 5151);
    EXPECT_EQ(front.bundleIdentifier(), std::nullopt);

    // Nothing focused is nothing, not unknown.
    extension->focus(std::nullopt);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return workspace.frontmostApplication() == FrontApplication::nothing(); }, kWait));
    EXPECT_EQ(front.processIdentifier(), std::nullopt);

    disable();
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::unknown()) << "a Wayland window may have the focus";
}

TEST_F(GnomeShellBridgeTest, LaysOutMinimisesClosesAndHidesNativeWindowsThroughTheShell) {
    DesktopWindowControl windows(&*bridge, nullptr);
    EXPECT_EQ(awaited(windows.focusedWindow()), std::nullopt) << "no X server and no extension";
    enable(editor());

    const auto focused = awaited(windows.focusedWindow());
    ASSERT_EQ(focused, DesktopWindowControl::kBridgeWindow | 7u);
    const auto frame = [&] { return awaited(windows.frame(*focused)); };
    EXPECT_EQ(frame(), QRectF(100, 100, 800, 600));
    EXPECT_FALSE(awaited(windows.isFullScreen(*focused)));

    // The program's own window layout, run on the native window; the event
    // loop runs on while the shell takes its time over each request.
    sim::SimScreens screens;
    screens.setScreens({ScreenInfo{QStringLiteral("eDP-1"), QRectF(0, 0, 1440, 900), QRectF(0, 30, 1440, 870)}});
    WindowFrameHistory history;
    WindowLayoutExecutor layout(windows, screens, history);
    extension->setAnswersLater(true);
    const auto laidOut = test::resultOf(layout.perform(GestureAction::windowLeftHalf));
    for (int answered = 0; answered < 3; ++answered) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return extension->unansweredMoves() == 1; }, kWait)) << answered;
        EXPECT_FALSE(laidOut->has_value()) << "waiting for the shell";
        extension->answerMoves();
    }
    ASSERT_TRUE(test::waitFor(laidOut));
    extension->setAnswersLater(false);
    EXPECT_EQ(laidOut->value().kind, HUDNotice::Kind::success);
    EXPECT_EQ(frame(), QRectF(0, 30, 720, 870));
    EXPECT_EQ(extension->calls(), (QStringList{QStringLiteral("MoveResize(7, 100, 100, 720, 870)"),
                                               QStringLiteral("MoveResize(7, 0, 30, 720, 870)"),
                                               QStringLiteral("MoveResize(7, 0, 30, 720, 870)")}));

    // The shell keeps a window at its minimum size: not refused, and the
    // frame read back is the one it took.
    EXPECT_TRUE(awaited(windows.setSize(*focused, QSizeF(200, 100))));
    EXPECT_EQ(frame(), QRectF(0, 30, 400, 300));

    EXPECT_TRUE(awaited(windows.minimize(*focused)));
    EXPECT_EQ(extension->calls().back(), QStringLiteral("Minimize(7)"));
    EXPECT_TRUE(awaited(windows.close(*focused)));
    EXPECT_EQ(extension->calls().back(), QStringLiteral("Close(7)"));
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge);
    EXPECT_TRUE(workspace.hide(4242));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return extension->calls().back() == QStringLiteral("MinimizeProcess(4242)"); }, kWait));
    EXPECT_TRUE(workspace.activate(5151));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return extension->calls().back() == QStringLiteral("ActivateProcess(5151)"); }, kWait));
    EXPECT_EQ(extension->refusals(), 0) << "the extension knew the program by its name";

    auto fullScreen = editor();
    fullScreen.fullScreen = true;
    extension->focus(fullScreen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return awaited(windows.isFullScreen(*focused)); }, kWait));

    // Once the extension is gone, requests fail rather than wait.
    disable();
    EXPECT_EQ(awaited(windows.focusedWindow()), std::nullopt);
    EXPECT_FALSE(awaited(windows.setPosition(*focused, QPointF(0, 0))));
    EXPECT_FALSE(awaited(windows.close(*focused)));
}

TEST_F(GnomeShellBridgeTest, TheExtensionsNameIsBelievedOnlyWhileTheShellItselfHoldsIt) {
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge,
                                 QStringLiteral("org.example.Editor.desktop"));
    // Another program takes the extension's name and claims a window.
    QDBusConnection impostorBus = bus.connect(QStringLiteral("impostor"));
    auto impostorHost = std::make_unique<test::FakeServiceHost>(impostorBus);
    auto impostor = std::make_unique<FakeShellExtension>(impostorBus);
    FakeShellExtension* claims = impostor.get();
    ASSERT_TRUE(impostorHost->serve(kShellService, kShellPath, std::move(impostor)));
    claims->focus(editor());
    QTest::qWait(300);
    EXPECT_FALSE(bridge->isConnected());
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::unknown());
    EXPECT_TRUE(claims->calls().isEmpty());

    // The name goes to the shell's own extension: that one is believed.
    impostorBus.unregisterService(kShellService);
    enable(editor());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return workspace.frontmostApplication().state == FrontApplication::State::known; }, kWait));
    // A focus the impostor claims now, on the same path, changes nothing.
    claims->focus(FakeShellExtension::Window{9, QStringLiteral("window:9"), QStringLiteral("Tool"), 5151,
                                             QStringLiteral("Tool"), QRect(0, 0, 300, 200), false, QSize()});
    QTest::qWait(300);
    EXPECT_EQ(workspace.processIdentifier(), 4242);
}

TEST_F(GnomeShellBridgeTest, TheSwipeChoiceIsKeptHandedToEachExtensionAndGivenBack) {
    sim::SimUserDefaults defaults;
    auto integration = std::make_unique<LinuxDesktopIntegration>(
        SystemGestureDesktop::gnome, DesktopIntegration::Companion::gnomeShellExtension, &*bridge, defaults);
    EXPECT_FALSE(integration->systemSwipesOff()) << "off by default";
    EXPECT_FALSE(integration->canSwitchOffSystemSwipes());
    integration->setSystemSwipesOff(true);
    EXPECT_TRUE(defaults.boolValue(QString::fromLatin1(LinuxDesktopIntegration::kSwipesOffKey)));

    QSignalSpy changed(integration.get(), &DesktopIntegration::changed);
    enable(editor());
    EXPECT_TRUE(integration->canSwitchOffSystemSwipes());
    EXPECT_TRUE(integration->isCompanionConnected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return extension->swipesDisabled(); }, kWait))
        << "handed over when the extension came up";
    EXPECT_GE(changed.count(), 1);

    integration->setSystemSwipesOff(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !extension->swipesDisabled(); }, kWait));
    integration->setSystemSwipesOff(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return extension->swipesDisabled(); }, kWait));

    // The shell says its swipes are on again: the choice is handed over anew.
    extension->turnSwipesOn();
    ASSERT_TRUE(QTest::qWaitFor([&] { return extension->swipesDisabled(); }, kWait));

    // A restarted shell has its swipes back on until told again.
    disable();
    enable(editor());
    ASSERT_TRUE(QTest::qWaitFor([&] { return extension->swipesDisabled(); }, kWait));

    // The program ends: the swipes are the user's again, confirmed before it
    // goes on.
    ASSERT_TRUE(QTest::qWaitFor([&] { return bridge->areSwipesOff(); }, kWait));
    EXPECT_TRUE(awaited(integration->giveBackSystemSwipes()));
    EXPECT_FALSE(extension->swipesDisabled());
    EXPECT_TRUE(awaited(integration->giveBackSystemSwipes())) << "nothing left to give back";
    EXPECT_TRUE(defaults.boolValue(QString::fromLatin1(LinuxDesktopIntegration::kSwipesOffKey)))
        << "the choice stays for the next start";

    // Ended without that wait, while the extension's answer to switching
    // them off is still on its way: the swipes still go back.
    integration->setSystemSwipesOff(false);
    integration->setSystemSwipesOff(true);
    integration.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !extension->swipesDisabled(); }, kWait));
}

TEST(LinuxDesktopIntegrationTest, TellsTheDesktopAndItsAddOnFromTheSession) {
    using Companion = DesktopIntegration::Companion;
    struct Case {
        const char* currentDesktop;
        bool wayland;
        SystemGestureDesktop desktop;
        Companion companion;
    };
    const Case cases[] = {
        {"GNOME", true, SystemGestureDesktop::gnome, Companion::gnomeShellExtension},
        {"ubuntu:GNOME", false, SystemGestureDesktop::gnome, Companion::gnomeShellExtension},
        {"KDE", true, SystemGestureDesktop::plasmaWayland, Companion::kwinScript},
        {"KDE", false, SystemGestureDesktop::withoutGestures, Companion::none},
        {"XFCE", false, SystemGestureDesktop::withoutGestures, Companion::none},
        {"sway", true, SystemGestureDesktop::unknown, Companion::none},
        {"X-Cinnamon", false, SystemGestureDesktop::unknown, Companion::none},
        {"", false, SystemGestureDesktop::unknown, Companion::none},
    };
    for (const Case& c : cases) {
        const QString desktop = QString::fromLatin1(c.currentDesktop);
        EXPECT_EQ(LinuxDesktopIntegration::gestureDesktopOf(desktop, c.wayland), c.desktop)
            << c.currentDesktop << " wayland " << c.wayland;
        EXPECT_EQ(LinuxDesktopIntegration::companionOf(desktop, c.wayland), c.companion)
            << c.currentDesktop << " wayland " << c.wayland;
    }
}

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// The KWin script's side of the calls, as KWin's callDBus makes them: from
// KWin's own connection unless the test says otherwise.
class FakeKWinScript {
public:
    explicit FakeKWinScript(QDBusConnection bus) : bus_(std::move(bus)) {}

    QDBusPendingCall call(const QString& method, const QList<QVariant>& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(KWinScriptWindowBridge::kService),
                                                              QString::fromLatin1(KWinScriptWindowBridge::kPath),
                                                              QStringLiteral("io.github.glidra.Glidra.KWin1"), method);
        message.setArguments(arguments);
        return bus_.asyncCall(message);
    }
    // Reports the active window; the error the program answered, if any.
    QString report(const QJsonObject& window) {
        auto pending = call(QStringLiteral("Report"), {compact(window)});
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, kWait));
        return pending.isError() ? pending.error().name() : QString();
    }
    // Asks for the next request, saying what came of the last one.
    QDBusPendingCall take(const QJsonObject& outcome = {}) {
        return call(QStringLiteral("TakeRequest"), {outcome.isEmpty() ? QString() : compact(outcome)});
    }
    // The request an answered TakeRequest handed over.
    static QJsonObject request(const QDBusPendingCall& pending) {
        return QJsonDocument::fromJson(QDBusPendingReply<QString>(pending).value().toUtf8()).object();
    }

private:
    QDBusConnection bus_;
};

const QString kScriptPath = QStringLiteral("/usr/share/kwin/scripts/glidra/contents/code/main.js");
const QString kOwnName = QString::fromLatin1(KWinScriptWindowBridge::kLoadedName);
const QString kPackage = QString::fromLatin1(KWinScriptWindowBridge::kScriptName);

QJsonObject konsole() {
    return {{"id", "{5e1f0c2a-0000-4000-8000-000000000001}"},
            {"desktopFile", "org.kde.konsole"},
            {"resourceClass", "konsole"},
            {"pid", 3131},
            {"title", "Konsole"},
            {"x", 50},
            {"y", 60},
            {"width", 900},
            {"height", 700},
            {"fullScreen", false},
            {"minWidth", 400},
            {"minHeight", 300}};
}

class KWinScriptBridgeTest : public ::testing::Test {
protected:
    test::PrivateSessionBus bus;
    // KWin's connection: it owns org.kde.KWin, and its scripts call from it.
    std::optional<QDBusConnection> kwinBus;
    std::unique_ptr<test::FakeServiceHost> host;
    test::FakeKWinScripting* scripting = nullptr;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        kwinBus = bus.connect(QStringLiteral("kwin"));
        host = std::make_unique<test::FakeServiceHost>(*kwinBus);
        auto made = std::make_unique<test::FakeKWinScripting>();
        scripting = made.get();
        // A fresh Plasma: the package installed, nothing about it in kwinrc.
        scripting->install(kPackage, kScriptPath, false);
        ASSERT_TRUE(host->serve(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"), std::move(made)));
    }

    std::unique_ptr<KWinScriptWindowBridge> startBridge() {
        return std::make_unique<KWinScriptWindowBridge>(bus.connect(QStringLiteral("glidra-adapter")), kScriptPath);
    }
    bool callsEnd(const QStringList& calls) {
        return QTest::qWaitFor(
            [&] {
                const QStringList made = scripting->calls();
                return made.size() >= calls.size() && made.mid(made.size() - calls.size()) == calls;
            },
            kWait);
    }
};

const QString kLoadOurs = QStringLiteral("loadScript(%1, %2)").arg(kScriptPath, kOwnName);

TEST_F(KWinScriptBridgeTest, TheScriptIsLoadedUnderANameKWinKeepsAndGoesWithTheProgram) {
    auto bridge = startBridge();
    const QStringList loading{QStringLiteral("isScriptLoaded(%1)").arg(kOwnName),
                              QStringLiteral("isScriptLoaded(glidra)"), kLoadOurs, QStringLiteral("start()"),
                              QStringLiteral("isScriptLoaded(%1)").arg(kOwnName)};
    ASSERT_TRUE(callsEnd(loading)) << scripting->calls().join(u';').toStdString();
    EXPECT_EQ(scripting->loaded(), QStringList{kOwnName}) << "still loaded after KWin started its scripts";
    EXPECT_FALSE(bridge->isConnected()) << "until the script calls";

    // The program ends: the script it loaded goes with it.
    bridge.reset();
    ASSERT_TRUE(callsEnd({QStringLiteral("unloadScript(%1)").arg(kOwnName)}));
    EXPECT_TRUE(scripting->loaded().isEmpty());

    // A KWin that unloads it anyway is named in the log.
    test::LogCapture log;
    scripting->install(kOwnName, kScriptPath, false);
    bridge = startBridge();
    ASSERT_TRUE(callsEnd(loading));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.texts("glidra.services").isEmpty(); }, kWait));
    EXPECT_TRUE(log.texts("glidra.services").constLast().contains(QStringLiteral("KWin unloaded the script")))
        << log.texts("glidra.services").join(u'\n').toStdString();
}

TEST_F(KWinScriptBridgeTest, AScriptAlreadyRunningIsLoadedAfreshSoThatItAsksAtOnce) {
    struct Case {
        const char* what;
        bool switchedOnByTheUser;
        QStringList calls;
        QStringList loadedAtTheEnd;
    };
    const Case cases[] = {
        {"left by an earlier run",
         false,
         {QStringLiteral("unloadScript(%1)").arg(kOwnName), QStringLiteral("isScriptLoaded(glidra)"), kLoadOurs,
          QStringLiteral("start()")},
         {}},
        {"switched on in KWin's settings",
         true,
         {QStringLiteral("unloadScript(glidra)"), QStringLiteral("loadScript(%1, glidra)").arg(kScriptPath),
          QStringLiteral("start()"), QStringLiteral("isScriptLoaded(glidra)")},
         {kPackage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scripting->install(kPackage, kScriptPath, c.switchedOnByTheUser);
        scripting->setLoaded(c.switchedOnByTheUser ? kPackage : kOwnName, kScriptPath);
        auto bridge = startBridge();
        ASSERT_TRUE(QTest::qWaitFor([&] { return scripting->calls().join(u';').contains(c.calls.join(u';')); }, kWait))
            << scripting->calls().join(u';').toStdString();
        QTest::qWait(100);
        bridge.reset();
        QTest::qWait(100);
        EXPECT_EQ(scripting->loaded(), c.loadedAtTheEnd) << "the user's own script stays";
        for (const QString& name : scripting->loaded()) scripting->unloadScript(name);
    }
}

TEST_F(KWinScriptBridgeTest, LaysOutTheWindowItReportsAndHearsWhatCameOfEachRequest) {
    auto bridge = startBridge();
    FakeKWinScript script(*kwinBus);
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge,
                                 QStringLiteral("org.kde.konsole.desktop"));
    EXPECT_EQ(script.report(konsole()), QString());
    ASSERT_TRUE(bridge->isConnected());
    ASSERT_EQ(workspace.frontmostApplication().state, FrontApplication::State::known);
    EXPECT_EQ(workspace.processIdentifier(), 3131);
    EXPECT_EQ(workspace.bundleIdentifier(), QStringLiteral("org.kde.konsole.desktop"));

    // The script waits for a request; the layout hands one over and waits
    // for what came of it.
    QDBusPendingCall waiting = script.take();
    QTest::qWait(100);
    EXPECT_FALSE(waiting.isFinished()) << "held while there is nothing to do";
    DesktopWindowControl windows(bridge.get(), nullptr);
    const auto focused = awaited(windows.focusedWindow());
    ASSERT_TRUE(focused.has_value());
    EXPECT_EQ(awaited(windows.frame(*focused)), QRectF(50, 60, 900, 700));
    const auto sized = test::resultOf(windows.setSize(*focused, QSizeF(300, 200)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting.isFinished(); }, kWait));
    QJsonObject asked = FakeKWinScript::request(waiting);
    const qint64 id = asked.take(QStringLiteral("id")).toInteger();
    EXPECT_EQ(asked, (QJsonObject{{"op", "moveResize"},
                                  {"window", "{5e1f0c2a-0000-4000-8000-000000000001}"},
                                  {"x", 50},
                                  {"y", 60},
                                  {"width", 300},
                                  {"height", 200}}));
    QTest::qWait(50);
    EXPECT_FALSE(sized->has_value()) << "until the script says what came of it";

    // KWin kept the window at its minimum size, and the next call says so.
    QJsonObject kept = konsole();
    kept["width"] = 400;
    kept["height"] = 300;
    QDBusPendingCall next = script.take({{"id", id}, {"done", false}, {"window", kept}});
    ASSERT_TRUE(test::waitFor(sized));
    EXPECT_EQ(**sized, true) << "not reached, but the window is there";
    EXPECT_EQ(awaited(windows.frame(*focused)), QRectF(50, 60, 400, 300));

    // Requests made while the script is busy wait for its next call, in order.
    const auto closed = test::resultOf(windows.close(*focused));
    EXPECT_TRUE(workspace.hide(3131));
    ASSERT_TRUE(QTest::qWaitFor([&] { return next.isFinished(); }, kWait));
    const QJsonObject closing = FakeKWinScript::request(next);
    EXPECT_EQ(closing.value("op"), QStringLiteral("close"));
    QDBusPendingCall third = script.take({{"id", closing.value("id")}, {"done", true}});
    ASSERT_TRUE(test::waitFor(closed));
    EXPECT_EQ(**closed, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return third.isFinished(); }, kWait));
    QJsonObject hiding = FakeKWinScript::request(third);
    hiding.remove(QStringLiteral("id"));
    EXPECT_EQ(hiding, (QJsonObject{{"op", "minimizeProcess"}, {"pid", 3131}}));

    // Nothing active.
    script.report({});
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::nothing());
}

TEST_F(KWinScriptBridgeTest, ARequestTheScriptDoesNotTakeFailsWithinASecond) {
    auto bridge = startBridge();
    FakeKWinScript script(*kwinBus);
    // The script reported, but its call for requests went to a program that
    // is gone.
    script.report(konsole());
    ASSERT_TRUE(bridge->isConnected());
    DesktopWindowControl windows(bridge.get(), nullptr);
    const auto focused = awaited(windows.focusedWindow());
    ASSERT_TRUE(focused.has_value());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(awaited(windows.close(*focused)));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_GE(clock.elapsed(), KWinScriptWindowBridge::kOutcomeMilliseconds - 50);

    // It is not carried out later either.
    QDBusPendingCall late = script.take();
    QTest::qWait(200);
    EXPECT_FALSE(late.isFinished()) << "nothing queued";
}

TEST_F(KWinScriptBridgeTest, OnlyKWinItselfIsServed) {
    auto bridge = startBridge();
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge,
                                 QStringLiteral("org.kde.konsole.desktop"));
    FakeKWinScript script(*kwinBus);
    FakeKWinScript spoofer(bus.connect(QStringLiteral("spoofer")));

    // A spoofed report neither connects the bridge nor names an application.
    EXPECT_EQ(spoofer.report(konsole()), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    EXPECT_FALSE(bridge->isConnected());
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::unknown());

    EXPECT_EQ(script.report(konsole()), QString());
    EXPECT_EQ(workspace.processIdentifier(), 3131);
    QJsonObject other = konsole();
    other["id"] = "{5e1f0c2a-0000-4000-8000-000000000002}";
    other["pid"] = 4040;
    EXPECT_EQ(spoofer.report(other), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    EXPECT_EQ(workspace.processIdentifier(), 3131);

    // A thief asking for requests gets none: KWin's script does.
    QDBusPendingCall stolen = spoofer.take();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stolen.isFinished(); }, kWait));
    EXPECT_EQ(stolen.error().name(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    QDBusPendingCall waiting = script.take();
    DesktopWindowControl windows(bridge.get(), nullptr);
    const auto focused = awaited(windows.focusedWindow());
    ASSERT_TRUE(focused.has_value());
    const auto closed = test::resultOf(windows.close(*focused));
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting.isFinished(); }, kWait));
    EXPECT_EQ(FakeKWinScript::request(waiting).value("op"), QStringLiteral("close"));
}

}  // namespace
}  // namespace glidra
