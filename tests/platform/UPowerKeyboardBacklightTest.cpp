#include "executors/CleaningKeyboardBacklight.h"
#include "platform/FakeDesktopServices.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/UPowerKeyboardBacklight.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using linux_platform::UPowerKeyboardBacklight;

const QString kService = QStringLiteral("org.freedesktop.UPower");
const QString kPath = QStringLiteral("/org/freedesktop/UPower/KbdBacklight");

struct UPowerKeyboardBacklightTest : test::PrivateBusTest {};

TEST_F(UPowerKeyboardBacklightTest, TheCleaningModeHoldsTheKeyboardDarkAndRestoresItsLevel) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("upower-service")));
    auto service = std::make_unique<test::FakeKeyboardBacklight>(3, 2);
    test::FakeKeyboardBacklight* keyboard = service.get();
    ASSERT_TRUE(host.serve(kService, kPath, std::move(service)));

    UPowerKeyboardBacklight backlight(connectToBus(QStringLiteral("upower-client")));
    EXPECT_EQ(backlight.keyboards(), std::vector<KeyboardBacklightId>{UPowerKeyboardBacklight::kKeyboard});
    EXPECT_FLOAT_EQ(*backlight.brightness(UPowerKeyboardBacklight::kKeyboard), 2.0f / 3.0f);

    test::SimTime time;
    CleaningKeyboardBacklight cleaning(backlight, time.scheduler);
    cleaning.begin();
    EXPECT_EQ(keyboard->level(), 0);

    keyboard->setLevel(3);  // a key press lights it up
    time.advanceBy(CleaningKeyboardBacklight::kHoldInterval);
    EXPECT_EQ(keyboard->level(), 0);

    cleaning.end();
    EXPECT_EQ(keyboard->level(), 2) << "the level before the cleaning, exactly";
    EXPECT_FALSE(backlight.setBrightness(1, 0.5f)) << "there is only the one keyboard";
}

TEST_F(UPowerKeyboardBacklightTest, NoBacklightOrNoUPowerMeansNothingToHold) {
    UPowerKeyboardBacklight absent(connectToBus(QStringLiteral("upower-absent")));
    EXPECT_EQ(absent.keyboards(), std::nullopt);
    test::SimTime time;
    CleaningKeyboardBacklight cleaning(absent, time.scheduler);
    cleaning.begin();
    EXPECT_FALSE(cleaning.isHolding());

    test::FakeServiceHost host(connectToBus(QStringLiteral("upower-dark-service")));
    ASSERT_TRUE(host.serve(kService, kPath, std::make_unique<test::FakeKeyboardBacklight>(0, 0)));
    UPowerKeyboardBacklight withoutLevels(connectToBus(QStringLiteral("upower-dark-client")));
    EXPECT_EQ(withoutLevels.keyboards(), std::vector<KeyboardBacklightId>{});
    EXPECT_EQ(withoutLevels.brightness(UPowerKeyboardBacklight::kKeyboard), std::nullopt);
}

}  // namespace
}  // namespace glidra
