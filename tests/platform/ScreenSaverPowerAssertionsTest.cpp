#include "executors/KeepAwakeController.h"
#include "platform/FakeDesktopServices.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/ScreenSaverPowerAssertions.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using linux_platform::ScreenSaverPowerAssertions;

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

struct ScreenSaverPowerAssertionsTest : test::PrivateBusTest {
    test::FakeScreenSaver* startScreenSaver(test::FakeServiceHost& host) {
        auto screenSaver = std::make_unique<test::FakeScreenSaver>();
        auto* raw = screenSaver.get();
        EXPECT_TRUE(host.serve(kService, kPath, std::move(screenSaver)));
        return raw;
    }
};

TEST_F(ScreenSaverPowerAssertionsTest, KeepAwakeHoldsAndReleasesTheDesktopsInhibit) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("screensaver-service")));
    test::FakeScreenSaver* screenSaver = startScreenSaver(host);
    ScreenSaverPowerAssertions power(connectToBus(QStringLiteral("screensaver-client")));
    KeepAwakeController keepAwake(power);

    EXPECT_EQ(keepAwake.setActive(true).kind, HUDNotice::Kind::success);
    const auto held = screenSaver->inhibits();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(keepAwake.assertion(), held.begin()->first);
    EXPECT_EQ(held.begin()->second,
              std::make_pair(QStringLiteral("Glidra"), QStringLiteral("Glidra — Keep display and system awake")));

    EXPECT_EQ(keepAwake.setActive(false).kind, HUDNotice::Kind::success);
    EXPECT_TRUE(screenSaver->inhibits().empty());
    EXPECT_FALSE(power.release(12345)) << "the desktop refuses an unknown inhibit";
}

TEST_F(ScreenSaverPowerAssertionsTest, AnAbsentOrSilentDesktopIsAFailureNotAHang) {
    ScreenSaverPowerAssertions absent(connectToBus(QStringLiteral("screensaver-absent")));
    EXPECT_EQ(absent.preventIdleDisplaySleep(QStringLiteral("x")), std::nullopt);
    EXPECT_FALSE(absent.release(1));

    ScreenSaverPowerAssertions noBus(QDBusConnection(QStringLiteral("never-connected")));
    EXPECT_EQ(noBus.preventIdleDisplaySleep(QStringLiteral("x")), std::nullopt);

    test::FakeServiceHost host(connectToBus(QStringLiteral("screensaver-silent-service")));
    startScreenSaver(host)->setUnresponsive(true);
    ScreenSaverPowerAssertions silent(connectToBus(QStringLiteral("screensaver-silent-client")), 200);
    KeepAwakeController keepAwake(silent);
    EXPECT_EQ(keepAwake.setActive(true).kind, HUDNotice::Kind::error);
    EXPECT_FALSE(keepAwake.isActive());
}

}  // namespace
}  // namespace glidra
