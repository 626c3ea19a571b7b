#include "platform/linux/LinuxPlatform.h"

#include "bridge/MultitouchBridge.h"
#include "support/FakeLogind.h"
#include "support/PrivateDbusDaemon.h"
#include "support/TaskResult.h"
#include "support/TestEnvironment.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace glidra::test {
namespace {

using namespace linux_platform;

LinuxPlatform::Options isolated(const QDBusConnection& bus) {
    LinuxPlatform::Options options;
    options.systemBus = bus;
    options.sessionBus = bus;
    options.audioServer = QStringLiteral("unix:") + temporaryHome() + QStringLiteral("/no-sound-server");
    options.backlightRoot = temporaryHome() + QStringLiteral("/backlight");
    options.settingsPath = temporaryHome() + QStringLiteral("/settings.json");
    options.executable = QStringLiteral("/usr/bin/glidra");
    return options;
}

// Every adapter built on a machine without touchpads, keyboards, uinput,
// backlight or logind: each reports the failure its port knows, and nothing
// crashes or waits.
TEST(LinuxPlatformTest, WithoutDevicesOrServicesEveryAdapterReportsItsOwnFailure) {
    if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    UmockdevInput noDevices;
    PrivateDbusDaemon daemon;
    const QDBusConnection bus = daemon.isRunning()
                                    ? QDBusConnection::connectToBus(daemon.address(), QStringLiteral("platform-test"))
                                    : QDBusConnection(QString());
    {
        LinuxPlatform platform(isolated(bus));
        MultitouchBridge bridge(platform.multitouchFramework, platform.displayBrightness, platform.clock);
        EXPECT_FALSE(bridge.start([](void*, const TouchPoint*, std::int32_t, std::uint64_t, double) {}, 1));
        EXPECT_EQ(platform.multitouchDevices.anyDevicePresent(), false);
        EXPECT_FALSE(platform.accessibilityTrust.isProcessTrusted());
        EXPECT_FALSE(platform.eventPoster.privateEventSource());
        EXPECT_FALSE(platform.eventPoster.makeMouseEvent(InputEvent::Type::leftMouseDown, {}, 0));
        EXPECT_EQ(platform.eventTap.install(EvdevEventTap::kKeyTypes,
                                            [](const InputEvent& e) { return std::optional(e); }, {}),
                  nullptr);
        EXPECT_EQ(platform.keyboardState.combinedFlags(), 0u);
        EXPECT_EQ(platform.pointerPosition.position(), std::nullopt);
        EXPECT_FALSE(platform.pointerControl.holdMotion(nullptr));
        float level = 0;
        EXPECT_FALSE(bridge.stepBuiltInBrightness(&level, 0.1f));
        EXPECT_FALSE(platform.systemEvents.holdsInhibitor());
        EXPECT_EQ(platform.frontmostApplication.bundleIdentifier(), std::nullopt);
        EXPECT_EQ(platform.frontmostApplication.processIdentifier(), std::nullopt);
        EXPECT_EQ(platform.desktopViews.showDesktop(), DesktopViews::Outcome::unavailable);
        EXPECT_EQ(waitForResult(platform.desktopViews.openOverview()), DesktopViews::Outcome::unavailable);
        const auto keyboards = waitForResult(platform.keyboardBacklight.keyboards());
        ASSERT_TRUE(keyboards) << "no answer in time";
        EXPECT_EQ(*keyboards, std::nullopt);
        EXPECT_EQ(platform.audioDevices.defaultDevice(AudioScope::output), std::nullopt);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("platform-test"));
}

// The session's input devices are another's while it is locked or switched
// away: logind says so, and the touchpad is closed until the session is back.
TEST(LinuxPlatformTest, TheInputDevicesCloseWhileTheSessionIsAwayAndOpenWhenItIsBack) {
    if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
    UmockdevInput devices;
    const QByteArray pad = devices.addDevice(UmockdevInput::touchpad("Mock Touchpad", 2),
                                             {QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")});
    PrivateDbusDaemon daemon;
    ASSERT_TRUE(daemon.isRunning());
    FakeLogind logind(daemon.address());
    ASSERT_TRUE(logind.isServing());
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("platform-test"));
        LinuxPlatform platform(isolated(bus));
        QSignalSpy found(&platform.systemEvents, &LogindSystemEvents::sessionFound);
        ASSERT_TRUE(found.wait(5000));
        const auto lease = platform.input.acquire(unsigned(InputDeviceClass::touchpad));
        const auto open = [&] { return platform.input.openNodes(InputDeviceClass::touchpad).size(); };
        ASSERT_EQ(open(), 1u);

        logind.lockSession();
        EXPECT_TRUE(QTest::qWaitFor([&] { return open() == 0; }, 5000));
        logind.unlockSession();
        EXPECT_TRUE(QTest::qWaitFor([&] { return open() == 1; }, 5000));
        logind.changeSession({{QStringLiteral("Active"), false}});
        EXPECT_TRUE(QTest::qWaitFor([&] { return open() == 0; }, 5000));
        logind.changeSession({{QStringLiteral("Active"), true}});
        EXPECT_TRUE(QTest::qWaitFor([&] { return open() == 1; }, 5000));
        EXPECT_EQ(platform.input.presentNodes(InputDeviceClass::touchpad).front().devnode, pad);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("platform-test"));
}

}  // namespace
}  // namespace glidra::test
