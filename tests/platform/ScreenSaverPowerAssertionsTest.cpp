#include "executors/KeepAwakeController.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/ScreenSaverPowerAssertions.h"
#include "support/FakeDesktopServices.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QTest>

namespace glidra {
namespace {

using linux_platform::ScreenSaverPowerAssertions;
using test::waitForResult;

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

struct ScreenSaverPowerAssertionsTest : test::PrivateBusTest {
    test::FakeScreenSaver* startScreenSaver(test::FakeServiceHost& host) {
        auto screenSaver = std::make_unique<test::FakeScreenSaver>();
        auto* raw = screenSaver.get();
        EXPECT_TRUE(host.serve(kService, kPath, std::move(screenSaver)));
        return raw;
    }

    static bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 20000); }
};

TEST_F(ScreenSaverPowerAssertionsTest, KeepAwakeHoldsAndReleasesTheDesktopsInhibit) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("screensaver-service")));
    test::FakeScreenSaver* screenSaver = startScreenSaver(host);
    ScreenSaverPowerAssertions power(connectToBus(QStringLiteral("screensaver-client")));
    KeepAwakeController keepAwake(power);

    const auto enabled = waitForResult(keepAwake.setActive(true));
    ASSERT_TRUE(enabled);
    EXPECT_EQ(enabled->kind, HUDNotice::Kind::success);
    const auto held = screenSaver->inhibits();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(keepAwake.assertion(), held.begin()->first);
    EXPECT_EQ(held.begin()->second,
              std::make_pair(QStringLiteral("Glidra"), QStringLiteral("Glidra — Keep display and system awake")));

    const auto disabled = waitForResult(keepAwake.setActive(false));
    ASSERT_TRUE(disabled);
    EXPECT_EQ(disabled->kind, HUDNotice::Kind::success);
    EXPECT_TRUE(screenSaver->inhibits().empty());
    EXPECT_EQ(waitForResult(power.release(12345)), false) << "the desktop refuses an unknown inhibit";
}

TEST_F(ScreenSaverPowerAssertionsTest, AnAbsentOrSilentDesktopIsAFailureNotAHang) {
    using Cookie = std::optional<PowerAssertionId>;
    ScreenSaverPowerAssertions absent(connectToBus(QStringLiteral("screensaver-absent")));
    EXPECT_EQ(waitForResult(absent.preventIdleDisplaySleep(QStringLiteral("x"))), std::make_optional(Cookie()));
    EXPECT_EQ(waitForResult(absent.release(1)), false);

    ScreenSaverPowerAssertions noBus(QDBusConnection(QStringLiteral("never-connected")));
    EXPECT_EQ(waitForResult(noBus.preventIdleDisplaySleep(QStringLiteral("x"))), std::make_optional(Cookie()));

    test::FakeServiceHost host(connectToBus(QStringLiteral("screensaver-silent-service")));
    startScreenSaver(host)->setUnresponsive(true);
    ScreenSaverPowerAssertions silent(connectToBus(QStringLiteral("screensaver-silent-client")), 200);
    KeepAwakeController keepAwake(silent);
    const auto notice = waitForResult(keepAwake.setActive(true));
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->kind, HUDNotice::Kind::error);
    EXPECT_FALSE(keepAwake.isActive());
}

// The caller goes on while the desktop decides; an inhibit the desktop grants
// after keep-awake was reported as failed is lifted at once, so the screen
// does not stay on with keep-awake shown as off.
TEST_F(ScreenSaverPowerAssertionsTest, ALateInhibitIsLiftedAtOnce) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("screensaver-slow-service")));
    test::FakeScreenSaver* screenSaver = startScreenSaver(host);
    screenSaver->setAnswersLater(true);
    ScreenSaverPowerAssertions power(connectToBus(QStringLiteral("screensaver-slow-client")), 300);
    KeepAwakeController keepAwake(power);

    auto notice = test::resultOf(keepAwake.setActive(true));
    EXPECT_FALSE(notice->has_value()) << "the call came back before the desktop answered";
    ASSERT_TRUE(waitFor([&] { return screenSaver->unansweredInhibits() == 1; })) << "the event loop ran on";
    ASSERT_TRUE(test::waitFor(notice));
    EXPECT_EQ((*notice)->kind, HUDNotice::Kind::error) << "no answer within the limit";
    EXPECT_FALSE(keepAwake.isActive());

    screenSaver->answerInhibits();
    EXPECT_EQ(screenSaver->inhibits().size(), 1u) << "granted, late";
    EXPECT_TRUE(waitFor([&] { return screenSaver->inhibits().empty(); })) << "and lifted";
    EXPECT_FALSE(keepAwake.isActive());
}

}  // namespace
}  // namespace glidra
