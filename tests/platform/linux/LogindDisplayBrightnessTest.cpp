#include "platform/linux/LogindDisplayBrightness.h"

#include "support/FakeLogind.h"
#include "support/PrivateDbusDaemon.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace glidra::linux_platform {
namespace {

using test::FakeLogind;
using test::PrivateDbusDaemon;

TEST(BacklightArithmeticTest, LevelsBecomeHardwareStepsClampedAndRounded) {
    EXPECT_EQ(LogindDisplayBrightness::rawValue(0.5f, 100), 50);
    EXPECT_EQ(LogindDisplayBrightness::rawValue(0.504f, 100), 50);
    EXPECT_EQ(LogindDisplayBrightness::rawValue(0.506f, 100), 51);
    EXPECT_EQ(LogindDisplayBrightness::rawValue(1.4f, 937), 937);
    EXPECT_EQ(LogindDisplayBrightness::rawValue(-0.2f, 937), 0);
    EXPECT_EQ(LogindDisplayBrightness::rawValue(std::numeric_limits<float>::quiet_NaN(), 937), 0);
    EXPECT_EQ(LogindDisplayBrightness::rawValue(0.5f, 0), 0);
    EXPECT_FLOAT_EQ(LogindDisplayBrightness::levelOf(468, 937, std::nullopt), 468.0f / 937.0f);
    EXPECT_FLOAT_EQ(LogindDisplayBrightness::levelOf(2000, 937, std::nullopt), 1.0f);
}

TEST(BacklightArithmeticTest, SmallStepsOnACoarseBacklightAddUpInsteadOfBeingRoundedAway) {
    // Seven steps: 0.5 shows as step 4 (0.571...). Steps of 0.02 from 0.5
    // keep the level as set while the hardware shows the step it rounds to.
    const std::int64_t maximum = 7;
    std::optional<float> remembered;
    float level = LogindDisplayBrightness::levelOf(4, maximum, remembered);
    for (int i = 0; i < 10; ++i) {
        level += 0.02f;
        remembered = level;
        const std::int64_t shown = LogindDisplayBrightness::rawValue(level, maximum);
        level = LogindDisplayBrightness::levelOf(shown, maximum, remembered);
    }
    EXPECT_NEAR(level, 4.0f / 7.0f + 0.2f, 1e-5);
    // The hardware set elsewhere (a brightness key): its own value wins.
    EXPECT_FLOAT_EQ(LogindDisplayBrightness::levelOf(1, maximum, remembered), 1.0f / 7.0f);
}

class LogindDisplayBrightnessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        if (!daemon.isRunning()) GTEST_SKIP() << "no private dbus-daemon: " << daemon.failure().toStdString();
        logind = std::make_unique<FakeLogind>(daemon.address());
        ASSERT_TRUE(logind->isServing());
        bus = QDBusConnection::connectToBus(daemon.address(), QStringLiteral("logind-brightness-test"));
    }
    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("logind-brightness-test")); }

    void addBacklight(const QString& name, const QByteArray& type, int value, int maximum) {
        QDir(root.path()).mkpath(name);
        const auto write = [&](const QString& file, const QByteArray& text) {
            QFile out(root.filePath(name + QLatin1Char('/') + file));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(text + "\n");
        };
        write(QStringLiteral("type"), type);
        write(QStringLiteral("brightness"), QByteArray::number(value));
        write(QStringLiteral("max_brightness"), QByteArray::number(maximum));
    }

    // Loaded once logind answered for the session.
    bool loaded(LogindDisplayBrightness& displays) {
        return QTest::qWaitFor([&] { return displays.load(); }, 5'000);
    }

    QTemporaryDir root;
    PrivateDbusDaemon daemon;
    std::unique_ptr<FakeLogind> logind;
    QDBusConnection bus{QString()};
};

TEST_F(LogindDisplayBrightnessTest, TheFirmwareBacklightIsReadInSysfsAndSetThroughLogind) {
    addBacklight(QStringLiteral("acpi_video0"), "firmware", 40, 100);
    addBacklight(QStringLiteral("amdgpu_bl0"), "raw", 200, 255);
    LogindDisplayBrightness displays(root.path(), bus);
    ASSERT_TRUE(loaded(displays));
    EXPECT_EQ(displays.backlight(), QLatin1String("acpi_video0"));
    EXPECT_EQ(displays.onlineDisplays(16), std::vector<DisplayId>{LogindDisplayBrightness::kBuiltInDisplay});
    EXPECT_TRUE(displays.isBuiltin(LogindDisplayBrightness::kBuiltInDisplay));
    EXPECT_FLOAT_EQ(*displays.brightness(LogindDisplayBrightness::kBuiltInDisplay), 0.4f);

    EXPECT_TRUE(displays.setBrightness(LogindDisplayBrightness::kBuiltInDisplay, 0.46f));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !logind->brightnessCalls().isEmpty(); }, 5'000));
    EXPECT_EQ(logind->brightnessCalls(), QStringList({QStringLiteral("backlight acpi_video0 46")}));
}

TEST_F(LogindDisplayBrightnessTest, ARefusedChangeReadsBackWhatTheHardwareShows) {
    addBacklight(QStringLiteral("intel_backlight"), "raw", 300, 1000);
    logind->setRefusesBrightness(true);
    LogindDisplayBrightness displays(root.path(), bus);
    ASSERT_TRUE(loaded(displays));
    ASSERT_TRUE(displays.setBrightness(LogindDisplayBrightness::kBuiltInDisplay, 0.9f));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !logind->brightnessCalls().isEmpty(); }, 5'000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return displays.brightness(LogindDisplayBrightness::kBuiltInDisplay) == std::optional<float>(0.3f); },
        5'000));
}

TEST_F(LogindDisplayBrightnessTest, WithoutABacklightOrLogindThereIsNoBrightnessControl) {
    LogindDisplayBrightness none(root.path(), bus);
    EXPECT_FALSE(none.load());
    EXPECT_EQ(none.onlineDisplays(16), std::vector<DisplayId>{});
    EXPECT_FALSE(none.brightness(LogindDisplayBrightness::kBuiltInDisplay));
    EXPECT_FALSE(none.setBrightness(LogindDisplayBrightness::kBuiltInDisplay, 0.5f));

    addBacklight(QStringLiteral("intel_backlight"), "raw", 300, 1000);
    LogindDisplayBrightness noBus(root.path(), QDBusConnection(QString()));
    EXPECT_FALSE(noBus.load());
    EXPECT_FALSE(noBus.setBrightness(LogindDisplayBrightness::kBuiltInDisplay, 0.5f));
}

}  // namespace
}  // namespace glidra::linux_platform
