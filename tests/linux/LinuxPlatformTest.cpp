#include "platform/linux/LinuxPlatform.h"

#include "bridge/MultitouchBridge.h"
#include "support/PrivateDbusDaemon.h"
#include "support/TaskResult.h"
#include "support/TestEnvironment.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDir>

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

}  // namespace
}  // namespace glidra::test
