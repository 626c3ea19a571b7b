// The program on the real KWin of the machine (kwin_wayland --virtual), on a
// fresh Plasma: the script installed for the user and nothing about it in
// kwinrc, loaded by the program itself. What the program sees of a native Qt
// Wayland window, what its window rules do to it through the script, after a
// restart of the program too, and that no other program is believed.

#include "live/LiveGlidra.h"
#include "platform/linux/KWinScriptWindowBridge.h"
#include "support/DesktopSession.h"
#include "support/ServiceLoop.h"
#include "support/VirtualKWin.h"

#include <gtest/gtest.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <iostream>

namespace glidra::test {
namespace {

using linux_platform::KWinScriptWindowBridge;
using K = GestureDescriptor::Kind;

const QString kWindowApp = QStringLiteral("org.glidra.LiveWindow");
const QString kOwnName = QString::fromLatin1(KWinScriptWindowBridge::kLoadedName);

class KWinLiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!session.isReady()) GTEST_SKIP() << session.failure().toStdString();
        if (QStandardPaths::findExecutable(QStringLiteral("kwin_wayland")).isEmpty()) {
            GTEST_SKIP() << "kwin_wayland is not installed (scripts/test installs it)";
        }
        glidra = std::make_unique<LiveGlidra>(session);
        if (!glidra->failure().isEmpty()) GTEST_SKIP() << glidra->failure().toStdString();
        // Installed for the user, where KWin's settings list scripts.
        ASSERT_TRUE(session.copyFolder(QStringLiteral(GLIDRA_KWIN_SCRIPT_DIR),
                                       session.home() + QStringLiteral("/.local/share/kwin/scripts/glidra")));
        ASSERT_TRUE(
            session.writeFile(session.home() + QStringLiteral("/.local/share/applications/%1.desktop").arg(kWindowApp),
                              "[Desktop Entry]\nType=Application\nName=Live Window\nExec=" GLIDRA_TEST_WINDOW "\n"));
        client = session.connect(QStringLiteral("another-program"));
    }

    // KWin, with the user's kwinrc when given; nothing in it is a fresh
    // Plasma's.
    bool startKWin(const QByteArray& kwinrc = {}) {
        if (!kwinrc.isEmpty() && !session.writeFile(session.home() + QStringLiteral("/.config/kwinrc"), kwinrc)) {
            return false;
        }
        kwin = std::make_unique<VirtualKWin>(session);
        EXPECT_TRUE(kwin->isRunning()) << kwin->failure().toStdString();
        return kwin->isRunning();
    }

    static std::vector<GestureRule> windowRules() {
        return {LiveGlidra::rule(K::tap, 2, GestureAction::windowLeftHalf, kWindowApp + QStringLiteral(".desktop")),
                LiveGlidra::rule(K::tap, 3, GestureAction::maximizeWindow),
                LiveGlidra::rule(K::click, 2, GestureAction::minimizeWindow),
                LiveGlidra::rule(K::click, 3, GestureAction::closeWindow)};
    }

    void TearDown() override {
        if (HasFailure() && glidra) std::cerr << "glidra's output:\n" << glidra->log().toStdString();
        if (HasFailure() && kwin) std::cerr << "KWin's output:\n" << kwin->log().right(6000).toStdString();
    }

    template <typename Condition>
    bool waitFor(Condition condition, int milliseconds = LiveGlidra::kEffectMs) {
        return serveUntil(condition, milliseconds);
    }

    // Shows a window of the test's application and gives its KWin id.
    std::optional<QString> showWindow(SpawnedProcess& window) {
        const auto shown = session.startAndReadLine(
            window, GLIDRA_TEST_WINDOW,
            {"--app-id", kWindowApp.toUtf8(), "--title", "Live Window", "--minimum", "320x240"},
            kwin->desktopEnvironment(), 10'000);
        if (shown != QByteArray("shown")) return std::nullopt;
        std::optional<QString> id;
        waitFor([&] {
            const auto ids = kwin->windowsOf(kWindowApp);
            if (ids && !ids->isEmpty()) id = ids->constLast();
            return id.has_value();
        });
        return id;
    }

    // The user clicks the window, and it keeps the focus. The program's
    // notices open windows of their own that KWin gives the focus to while
    // they show, and the program opens its own window when there is no tray.
    bool bringToFront(const QString& id) {
        return waitFor([&] {
            if (kwin->activeWindow() != id) {
                kwin->activate(id);
                return false;
            }
            serveUntil([] { return false; }, 300);
            return kwin->activeWindow() == id;
        });
    }

    // Starts the program, which opens its window here (there is no tray),
    // and brings `window` back to the front.
    bool startGlidra(const QString& window) {
        // Its first window takes a while on a busy machine.
        return glidra->start(kwin->desktopEnvironment()) &&
               waitFor(
                   [&] {
                       const auto own = kwin->windowsOf(QStringLiteral("io.github.glidra.Glidra"));
                       return own && !own->isEmpty();
                   },
                   20'000) &&
               bringToFront(window);
    }

    // The window rules move the window to the left half (a rule of its
    // application only) and over the whole screen. The program then crashes
    // and starts again, and its requests reach KWin at once: the script
    // asked last less than half a minute ago, and would ask again only at a
    // focus change after that.
    void layOutAcrossARestart(const QString& window) {
        ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.two_finger_tap"));
        EXPECT_TRUE(waitFor([&] { return frameOf(window) == QRectF(0, 0, 640, 800); }, 2000))
            << "the left half, as KWin has it: " << frameOf(window).width();
        ASSERT_TRUE(bringToFront(window));
        ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.three_finger_tap"));
        EXPECT_TRUE(waitFor([&] { return frameOf(window) == QRectF(0, 0, 1280, 800); })) << "the whole screen";
        glidra->kill();
        ASSERT_TRUE(startGlidra(window));
        ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.two_finger_tap"));
        EXPECT_TRUE(waitFor([&] { return frameOf(window) == QRectF(0, 0, 640, 800); }, 2000))
            << "the left half again, within a second or two of the restart";
    }

    QRectF frameOf(const QString& id) {
        const auto info = kwin->window(id);
        return info ? info->frame : QRectF();
    }

    DesktopSession session;
    std::unique_ptr<LiveGlidra> glidra;
    std::unique_ptr<VirtualKWin> kwin;
    std::optional<QDBusConnection> client;
};

TEST_F(KWinLiveTest, TheProgramsOwnScriptCarriesOutWindowRulesAndTrustsOnlyKWin) {
    ASSERT_TRUE(startKWin());
    SpawnedProcess first;
    const std::optional<QString> window = showWindow(first);
    ASSERT_TRUE(window) << "the test window did not show";
    ASSERT_TRUE(glidra->writeSettings(windowRules()));
    ASSERT_TRUE(startGlidra(*window));
    EXPECT_TRUE(waitFor([&] { return kwin->isScriptLoaded(kOwnName); })) << "the program loaded its script";
    // KWin's start() has run by now; the script stays.
    serveUntil([] { return false; }, 500);
    EXPECT_TRUE(kwin->isScriptLoaded(kOwnName));

    // Another program reports a window of another application: refused, and
    // the rule for the real front application still fires.
    QDBusMessage spoof = QDBusMessage::createMethodCall(
        QString::fromLatin1(KWinScriptWindowBridge::kService), QString::fromLatin1(KWinScriptWindowBridge::kPath),
        QStringLiteral("io.github.glidra.Glidra.KWin1"), QStringLiteral("Report"));
    spoof.setArguments({QString::fromUtf8(QJsonDocument(QJsonObject{{"id", "{00000000-0000-4000-8000-000000000000}"},
                                                                    {"desktopFile", "org.example.Other"},
                                                                    {"pid", 1},
                                                                    {"title", "Other"}})
                                              .toJson(QJsonDocument::Compact))});
    EXPECT_EQ(client->call(spoof, QDBus::Block, 5000).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));

    layOutAcrossARestart(*window);
    if (HasFatalFailure()) return;

    ASSERT_TRUE(bringToFront(*window));
    ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.two_finger_press"));
    EXPECT_TRUE(waitFor([&] { return kwin->window(*window) && kwin->window(*window)->minimized; })) << "minimised";

    // A second window comes to the front and is closed by the gesture.
    SpawnedProcess second;
    const std::optional<QString> other = showWindow(second);
    ASSERT_TRUE(other);
    ASSERT_TRUE(bringToFront(*other));
    ASSERT_TRUE(glidra->play("CyPS2_Cypress_Trackpad.three_finger_press"));
    EXPECT_TRUE(waitFor([&] { return !second.isRunning(); })) << "closed";
    EXPECT_TRUE(first.isRunning());

    // A logout ends the program, and its script goes with it.
    glidra->stop();
    EXPECT_TRUE(waitFor([&] { return !kwin->isScriptLoaded(kOwnName); }, 3000));
}

TEST_F(KWinLiveTest, AScriptTheUserSwitchedOnIsUsedAndAsksAgainAtOnceAfterARestart) {
    // KWin runs the package itself, from before the program starts.
    ASSERT_TRUE(startKWin("[Plugins]\nglidraEnabled=true\n"));
    ASSERT_TRUE(waitFor([&] { return kwin->isScriptLoaded(QStringLiteral("glidra")); }));
    SpawnedProcess first;
    const std::optional<QString> window = showWindow(first);
    ASSERT_TRUE(window) << "the test window did not show";
    ASSERT_TRUE(glidra->writeSettings(windowRules()));
    ASSERT_TRUE(startGlidra(*window));
    layOutAcrossARestart(*window);
    if (HasFatalFailure()) return;
    EXPECT_FALSE(kwin->isScriptLoaded(kOwnName)) << "no second copy";

    // The user's own script stays when the program ends.
    glidra->stop();
    serveUntil([] { return false; }, 500);
    EXPECT_TRUE(kwin->isScriptLoaded(QStringLiteral("glidra")));
}

}  // namespace
}  // namespace glidra::test
