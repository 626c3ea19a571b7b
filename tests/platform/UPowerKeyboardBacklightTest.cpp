#include "executors/CleaningKeyboardBacklight.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/UPowerKeyboardBacklight.h"
#include "support/FakeDesktopServices.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QTest>

namespace glidra {
namespace {

using linux_platform::UPowerKeyboardBacklight;
using test::waitForResult;
using Keyboards = std::optional<std::vector<KeyboardBacklightId>>;
using Level = std::optional<float>;

const QString kService = QStringLiteral("org.freedesktop.UPower");
const QString kPath = QStringLiteral("/org/freedesktop/UPower/KbdBacklight");

struct UPowerKeyboardBacklightTest : test::PrivateBusTest {
    test::FakeKeyboardBacklight* serve(test::FakeServiceHost& host, int maximum, int level) {
        auto service = std::make_unique<test::FakeKeyboardBacklight>(maximum, level);
        test::FakeKeyboardBacklight* keyboard = service.get();
        EXPECT_TRUE(host.serve(kService, kPath, std::move(service)));
        return keyboard;
    }

    static bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 20000); }
};

TEST_F(UPowerKeyboardBacklightTest, TheCleaningModeHoldsTheKeyboardDarkAndRestoresItsLevel) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("upower-service")));
    test::FakeKeyboardBacklight* keyboard = serve(host, 3, 2);

    UPowerKeyboardBacklight backlight(connectToBus(QStringLiteral("upower-client")));
    EXPECT_EQ(waitForResult(backlight.keyboards()), std::make_optional(Keyboards(std::vector<KeyboardBacklightId>{0})));
    const auto level = waitForResult(backlight.brightness(UPowerKeyboardBacklight::kKeyboard));
    ASSERT_TRUE(level && *level);
    EXPECT_FLOAT_EQ(**level, 2.0f / 3.0f);

    test::SimTime time;
    CleaningKeyboardBacklight cleaning(backlight, time.scheduler);
    cleaning.begin();
    // Held once UPower has answered the darkening, which comes after it
    // darkened the keyboard.
    ASSERT_TRUE(waitFor([&] { return keyboard->level() == 0 && cleaning.isHolding(); }));

    keyboard->setLevel(3);  // a key press lights it up
    time.advanceBy(CleaningKeyboardBacklight::kHoldInterval);
    EXPECT_TRUE(waitFor([&] { return keyboard->level() == 0; }));

    cleaning.end();
    EXPECT_TRUE(waitFor([&] { return keyboard->level() == 2; })) << "the level before the cleaning, exactly";
    EXPECT_EQ(waitForResult(backlight.setBrightness(1, 0.5f)), false) << "there is only the one keyboard";
}

TEST_F(UPowerKeyboardBacklightTest, NoBacklightOrNoUPowerMeansNothingToHold) {
    UPowerKeyboardBacklight absent(connectToBus(QStringLiteral("upower-absent")));
    EXPECT_EQ(waitForResult(absent.keyboards()), std::make_optional(Keyboards()));
    test::SimTime time;
    CleaningKeyboardBacklight cleaning(absent, time.scheduler);
    cleaning.begin();
    ASSERT_TRUE(waitForResult(absent.keyboards())) << "answered after the cleaning's own question";
    EXPECT_FALSE(cleaning.isHolding());

    test::FakeServiceHost host(connectToBus(QStringLiteral("upower-dark-service")));
    serve(host, 0, 0);
    UPowerKeyboardBacklight withoutLevels(connectToBus(QStringLiteral("upower-dark-client")));
    EXPECT_EQ(waitForResult(withoutLevels.keyboards()),
              std::make_optional(Keyboards(std::vector<KeyboardBacklightId>{})));
    EXPECT_EQ(waitForResult(withoutLevels.brightness(UPowerKeyboardBacklight::kKeyboard)), std::make_optional(Level()));
}

// The cleaning mode reads the level every 0.15 s while grabbed keys are posted
// again from the main thread: a slow UPower must not hold that thread up.
TEST_F(UPowerKeyboardBacklightTest, ASlowReadLeavesTheCallerFreeUntilUPowerAnswers) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("upower-slow-service")));
    test::FakeKeyboardBacklight* keyboard = serve(host, 3, 2);
    UPowerKeyboardBacklight backlight(connectToBus(QStringLiteral("upower-slow-client")));
    ASSERT_TRUE(waitForResult(backlight.keyboards()));

    keyboard->setAnswersLater(true);
    auto level = test::resultOf(backlight.brightness(UPowerKeyboardBacklight::kKeyboard));
    EXPECT_FALSE(level->has_value()) << "the call came back before UPower answered";
    ASSERT_TRUE(waitFor([&] { return keyboard->unansweredReads() == 1; })) << "the event loop ran on";
    EXPECT_FALSE(level->has_value());

    keyboard->setLevel(1);
    keyboard->answerReads();
    ASSERT_TRUE(test::waitFor(level));
    ASSERT_TRUE(**level);
    EXPECT_FLOAT_EQ(***level, 1.0f / 3.0f);
}

}  // namespace
}  // namespace glidra
