// The adapters for native Wayland windows against fakes of the program's own
// GNOME Shell extension and KWin script, on a private session bus.

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
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
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
using test::FakeShellExtension;

constexpr int kWait = 10'000;

const QString kShellService = QString::fromLatin1(GnomeShellWindowBridge::kService);
const QString kShellPath = QString::fromLatin1(GnomeShellWindowBridge::kPath);

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
    std::optional<QDBusConnection> shellBus;
    std::unique_ptr<test::FakeServiceHost> host;
    FakeShellExtension* extension = nullptr;
    std::optional<GnomeShellWindowBridge> bridge;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        shellBus = bus.connect(QStringLiteral("glidra-shell"));
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

TEST_F(GnomeShellBridgeTest, LaysOutClosesAndHidesNativeWindowsThroughTheShell) {
    DesktopWindowControl windows(&*bridge, nullptr);
    EXPECT_EQ(windows.focusedWindow(), std::nullopt) << "no X server and no extension";
    enable(editor());

    const auto focused = windows.focusedWindow();
    ASSERT_EQ(focused, DesktopWindowControl::kBridgeWindow | 7u);
    EXPECT_EQ(windows.frame(*focused), QRectF(100, 100, 800, 600));
    EXPECT_FALSE(windows.isFullScreen(*focused));

    // The program's own window layout, run on the native window.
    sim::SimScreens screens;
    screens.setScreens({ScreenInfo{QStringLiteral("eDP-1"), QRectF(0, 0, 1440, 900), QRectF(0, 30, 1440, 870)}});
    WindowFrameHistory history;
    WindowLayoutExecutor layout(windows, screens, history);
    EXPECT_EQ(layout.perform(GestureAction::windowLeftHalf).kind, HUDNotice::Kind::success);
    EXPECT_EQ(windows.frame(*focused), QRectF(0, 30, 720, 870));
    EXPECT_EQ(extension->calls(), (QStringList{QStringLiteral("MoveResize(7, 100, 100, 720, 870)"),
                                               QStringLiteral("MoveResize(7, 0, 30, 720, 870)"),
                                               QStringLiteral("MoveResize(7, 0, 30, 720, 870)")}));

    // The shell keeps a window at its minimum size, and the layout says so.
    ASSERT_TRUE(windows.setSize(*focused, QSizeF(200, 100)));
    EXPECT_EQ(windows.frame(*focused), QRectF(0, 30, 400, 300));

    EXPECT_TRUE(windows.close(*focused));
    EXPECT_EQ(extension->calls().back(), QStringLiteral("Close(7)"));
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge);
    EXPECT_TRUE(workspace.hide(4242));
    EXPECT_EQ(extension->calls().back(), QStringLiteral("MinimizeProcess(4242)"));
    EXPECT_TRUE(workspace.activate(5151));
    EXPECT_EQ(extension->calls().back(), QStringLiteral("ActivateProcess(5151)"));

    auto fullScreen = editor();
    fullScreen.fullScreen = true;
    extension->focus(fullScreen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.isFullScreen(*focused); }, kWait));

    // Once the extension is gone, requests fail rather than wait.
    disable();
    EXPECT_EQ(windows.focusedWindow(), std::nullopt);
    EXPECT_FALSE(windows.setPosition(*focused, QPointF(0, 0)));
    EXPECT_FALSE(windows.close(*focused));
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
    EXPECT_TRUE(extension->swipesDisabled()) << "handed over when the extension came up";
    EXPECT_GE(changed.count(), 1);

    integration->setSystemSwipesOff(false);
    EXPECT_FALSE(extension->swipesDisabled());
    integration->setSystemSwipesOff(true);
    EXPECT_TRUE(extension->swipesDisabled());

    // A restarted shell has its swipes back on until told again.
    disable();
    enable(editor());
    EXPECT_TRUE(extension->swipesDisabled());

    // The program stops: the swipes are the user's again.
    integration.reset();
    EXPECT_FALSE(extension->swipesDisabled());
    EXPECT_TRUE(defaults.boolValue(QString::fromLatin1(LinuxDesktopIntegration::kSwipesOffKey)))
        << "the choice stays for the next start";
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

// The KWin script's side of the calls, as KWin's callDBus makes them.
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
    void report(const QJsonObject& window) {
        auto pending =
            call(QStringLiteral("Report"), {QString::fromUtf8(QJsonDocument(window).toJson(QJsonDocument::Compact))});
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, kWait));
        EXPECT_FALSE(pending.isError()) << pending.error().message().toStdString();
    }
    // The request an answered TakeRequest handed over.
    static QJsonObject request(const QDBusPendingCall& pending) {
        return QJsonDocument::fromJson(QDBusPendingReply<QString>(pending).value().toUtf8()).object();
    }

private:
    QDBusConnection bus_;
};

const QString kScriptPath = QStringLiteral("/usr/share/kwin/scripts/glidra/contents/code/main.js");

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
    std::optional<QDBusConnection> kwinBus;
    std::unique_ptr<test::FakeServiceHost> host;
    test::FakeKWinScripting* scripting = nullptr;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        kwinBus = bus.connect(QStringLiteral("kwin"));
        host = std::make_unique<test::FakeServiceHost>(*kwinBus);
        auto made = std::make_unique<test::FakeKWinScripting>();
        scripting = made.get();
        ASSERT_TRUE(host->serve(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"), std::move(made)));
    }
};

TEST_F(KWinScriptBridgeTest, LoadsTheScriptAndLaysOutTheWindowItReports) {
    auto bridge = std::make_unique<KWinScriptWindowBridge>(bus.connect(QStringLiteral("glidra-adapter")), kScriptPath);
    const QStringList loading{QStringLiteral("isScriptLoaded(glidra)"),
                              QStringLiteral("loadScript(%1, glidra)").arg(kScriptPath), QStringLiteral("start()")};
    ASSERT_TRUE(QTest::qWaitFor([&] { return scripting->calls() == loading; }, kWait))
        << scripting->calls().join(u';').toStdString();
    EXPECT_FALSE(bridge->isConnected()) << "until the script calls";

    FakeKWinScript script(bus.connect(QStringLiteral("kwin-script")));
    auto workspace = workspaceOn(bus.connect(QStringLiteral("glidra-workspace")), *bridge,
                                 QStringLiteral("org.kde.konsole.desktop"));
    script.report(konsole());
    ASSERT_TRUE(bridge->isConnected());
    ASSERT_EQ(workspace.frontmostApplication().state, FrontApplication::State::known);
    EXPECT_EQ(workspace.processIdentifier(), 3131);
    EXPECT_EQ(workspace.bundleIdentifier(), QStringLiteral("org.kde.konsole.desktop"));

    // The script waits for a request; the layout hands one over.
    QDBusPendingCall waiting = script.call(QStringLiteral("TakeRequest"));
    QTest::qWait(100);
    EXPECT_FALSE(waiting.isFinished()) << "held while there is nothing to do";
    DesktopWindowControl windows(bridge.get(), nullptr);
    const auto focused = windows.focusedWindow();
    ASSERT_TRUE(focused.has_value());
    EXPECT_EQ(windows.frame(*focused), QRectF(50, 60, 900, 700));
    EXPECT_TRUE(windows.setSize(*focused, QSizeF(300, 200)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting.isFinished(); }, kWait));
    EXPECT_EQ(FakeKWinScript::request(waiting), (QJsonObject{{"op", "moveResize"},
                                                             {"window", "{5e1f0c2a-0000-4000-8000-000000000001}"},
                                                             {"x", 50},
                                                             {"y", 60},
                                                             {"width", 300},
                                                             {"height", 200}}));
    EXPECT_EQ(windows.frame(*focused), QRectF(50, 60, 400, 300)) << "as KWin will set it, within the minimum size";

    // Requests made while the script is busy wait for its next call, in order.
    EXPECT_TRUE(windows.close(*focused));
    EXPECT_TRUE(workspace.hide(3131));
    QDBusPendingCall first = script.call(QStringLiteral("TakeRequest"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isFinished(); }, kWait));
    EXPECT_EQ(FakeKWinScript::request(first).value("op"), QStringLiteral("close"));
    QDBusPendingCall second = script.call(QStringLiteral("TakeRequest"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.isFinished(); }, kWait));
    EXPECT_EQ(FakeKWinScript::request(second), (QJsonObject{{"op", "minimizeProcess"}, {"pid", 3131}}));

    // Nothing active.
    script.report({});
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::nothing());

    // The program ends: the script it loaded goes with it.
    bridge.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scripting->calls().size() == 4; }, kWait));
    EXPECT_EQ(scripting->calls().back(), QStringLiteral("unloadScript(glidra)"));
}

TEST_F(KWinScriptBridgeTest, AScriptTheUserEnabledInKWinIsLeftAsItIs) {
    scripting->setLoaded(true);
    auto bridge = std::make_unique<KWinScriptWindowBridge>(bus.connect(QStringLiteral("glidra-adapter")), kScriptPath);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scripting->calls().isEmpty(); }, kWait));
    FakeKWinScript script(bus.connect(QStringLiteral("kwin-script")));
    script.report(konsole());
    EXPECT_TRUE(bridge->isConnected());
    bridge.reset();
    QTest::qWait(200);
    EXPECT_EQ(scripting->calls(), QStringList{QStringLiteral("isScriptLoaded(glidra)")});
}

}  // namespace
}  // namespace glidra
