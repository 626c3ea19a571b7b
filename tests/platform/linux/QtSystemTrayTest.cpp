#include "platform/linux/QtSystemTray.h"

#include "support/PrivateSessionBus.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <chrono>

namespace glidra::linux_platform {
namespace {

using namespace std::chrono_literals;

// What Qt would answer, as the test sets it, and how often it was asked.
struct Probe {
    bool tray = false;
    int asked = 0;
    QtSystemTray::Probe function() {
        return [this] {
            ++asked;
            return tray;
        };
    }
};

TEST(QtSystemTrayTest, ATrayThereAtStartNeedsNoWatching) {
    Probe probe;
    probe.tray = true;
    QtSystemTray tray(QDBusConnection(QStringLiteral("none")), probe.function());
    EXPECT_TRUE(tray.isAvailable());
    EXPECT_FALSE(tray.isPolling());
    EXPECT_EQ(probe.asked, 1);
}

// An xembed tray gives no sign: asking Qt again finds it, for a while.
TEST(QtSystemTrayTest, AskingAgainFindsALateTrayAndStopsAfterTheWatchPeriod) {
    Probe probe;
    QtSystemTray found(QDBusConnection(QStringLiteral("none")), probe.function(), TrayWatch{10ms, 10min});
    QSignalSpy came(&found, &SystemTray::becameAvailable);
    EXPECT_FALSE(found.isAvailable());
    EXPECT_TRUE(found.isPolling());
    probe.tray = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return came.count() == 1; }, 10000));
    EXPECT_TRUE(found.isAvailable());
    EXPECT_FALSE(found.isPolling());

    // Five asks in the period (50 ms at 10 ms), after the two at start.
    Probe never;
    QtSystemTray none(QDBusConnection(QStringLiteral("none")), never.function(), TrayWatch{10ms, 50ms});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !none.isPolling(); }, 10000));
    EXPECT_EQ(never.asked, 2 + 5);
    EXPECT_FALSE(none.isAvailable());
}

// A StatusNotifier watcher on the session bus is a sign of its own, seen
// without waiting for the next ask.
TEST(QtSystemTrayTest, TheStatusNotifierWatcherAppearingIsLookedAtAtOnce) {
    test::PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
    Probe probe;
    QtSystemTray tray(bus.connect(QStringLiteral("glidra-tray")), probe.function(), TrayWatch{1h, 1h});
    QSignalSpy came(&tray, &SystemTray::becameAvailable);
    ASSERT_FALSE(tray.isAvailable());

    probe.tray = true;
    QDBusConnection panel = bus.connect(QStringLiteral("glidra-panel"));
    ASSERT_TRUE(panel.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return came.count() == 1; }, 10000));
    EXPECT_TRUE(tray.isAvailable());
    EXPECT_FALSE(tray.isPolling());
}

}  // namespace
}  // namespace glidra::linux_platform
