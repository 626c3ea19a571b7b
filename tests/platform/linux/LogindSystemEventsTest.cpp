#include "platform/linux/LogindSystemEvents.h"

#include "support/FakeLogind.h"
#include "support/PrivateDbusDaemon.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

namespace glidra::linux_platform {
namespace {

using test::FakeLogind;
using test::PrivateDbusDaemon;

// logind's part on a private bus of the test's own, and the adapter on it.
class LogindSystemEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!daemon.isRunning()) GTEST_SKIP() << "no private dbus-daemon: " << daemon.failure().toStdString();
        logind = std::make_unique<FakeLogind>(daemon.address());
        ASSERT_TRUE(logind->isServing());
        bus = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("logind-events-test"));
        ASSERT_TRUE(bus.isConnected());
    }
    void TearDown() override {
        events.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("logind-events-test"));
    }

    // The adapter, once it holds an inhibitor and watches its session.
    LogindSystemEvents& started() {
        events = std::make_unique<LogindSystemEvents>(bus, 5'000);
        EXPECT_TRUE(
            QTest::qWaitFor([this] { return events->holdsInhibitor() && !events->sessionPath().isEmpty(); }, 5'000));
        return *events;
    }

    PrivateDbusDaemon daemon;
    std::unique_ptr<FakeLogind> logind;
    QDBusConnection bus{QString()};
    std::unique_ptr<LogindSystemEvents> events;
};

TEST_F(LogindSystemEventsTest, HoldsADelayInhibitorWhileAwakeAndLetsItGoOnlyOnceSleepWasHandled) {
    LogindSystemEvents& adapter = started();
    EXPECT_EQ(logind->inhibitModes(), QStringList({QStringLiteral("sleep:delay")}));
    EXPECT_EQ(logind->heldInhibitors(), 1);
    EXPECT_EQ(adapter.sessionPath(), QLatin1String(FakeLogind::kSessionPath));

    int inhibitorsWhileHandling = -1;
    QObject::connect(&adapter, &SystemEvents::willSleep, &adapter,
                     [&] { inhibitorsWhileHandling = logind->heldInhibitors(); });
    QSignalSpy wake(&adapter, &SystemEvents::didWake);
    logind->prepareForSleep(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return inhibitorsWhileHandling >= 0; }, 5'000));
    // The machine waited for the program: listening stopped with the inhibitor still held.
    EXPECT_EQ(inhibitorsWhileHandling, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return logind->heldInhibitors() == 0; }, 5'000));
    EXPECT_FALSE(adapter.holdsInhibitor());

    logind->prepareForSleep(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wake.count() == 1 && adapter.holdsInhibitor(); }, 5'000));
    EXPECT_EQ(logind->inhibitCalls(), 2);
    EXPECT_EQ(logind->heldInhibitors(), 1);
}

TEST_F(LogindSystemEventsTest, TheSessionLockedOrInactiveResignsAndBackAgainBecomesActiveOnce) {
    LogindSystemEvents& adapter = started();
    QSignalSpy resigned(&adapter, &SystemEvents::sessionDidResignActive);
    QSignalSpy active(&adapter, &SystemEvents::sessionDidBecomeActive);

    logind->lockSession();
    ASSERT_TRUE(QTest::qWaitFor([&] { return resigned.count() == 1; }, 5'000));
    // Locked, then inactive too, then unlocked while still inactive: still
    // away. Active again: back, once.
    logind->changeSession({{QStringLiteral("Active"), false}});
    logind->unlockSession();
    logind->changeSession({{QStringLiteral("Active"), true}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return active.count() >= 1; }, 5'000));
    // Signals arrive in order: once this one is seen, all before it were.
    logind->changeSession({{QStringLiteral("LockedHint"), true}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return resigned.count() == 2; }, 5'000));
    EXPECT_EQ(active.count(), 1);
}

TEST_F(LogindSystemEventsTest, WithoutLogindNothingArrivesAndNothingWaits) {
    logind.reset();
    LogindSystemEvents adapter(bus, 5'000);
    QSignalSpy sleep(&adapter, &SystemEvents::willSleep);
    // The calls are answered at once: nobody owns the name.
    QTest::qWait(100);
    EXPECT_FALSE(adapter.holdsInhibitor());
    EXPECT_TRUE(adapter.sessionPath().isEmpty());
    EXPECT_EQ(sleep.count(), 0);

    LogindSystemEvents noBus(QDBusConnection(QString()), 5'000);
    EXPECT_FALSE(noBus.holdsInhibitor());
}

}  // namespace
}  // namespace glidra::linux_platform
