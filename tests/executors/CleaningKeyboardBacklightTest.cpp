#include "executors/CleaningKeyboardBacklight.h"
#include "platform/sim/SimKeyboardBacklight.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace glidra {
namespace {

using Set = std::pair<KeyboardBacklightId, float>;

struct CleaningKeyboardBacklightTest : ::testing::Test {
    test::SimTime time;
    sim::SimKeyboardBacklight backlight;
    CleaningKeyboardBacklight cleaning{backlight, time.scheduler};
};

TEST_F(CleaningKeyboardBacklightTest, HoldsEveryReadableKeyboardDarkAndRestoresItsLevel) {
    backlight.addKeyboard(1, {0.75f, false});
    backlight.addKeyboard(2, {std::nullopt, false});  // unreadable: left alone
    backlight.addKeyboard(3, {1.5f, false});          // out of range: left alone
    backlight.addKeyboard(4, {0.25f, false});
    cleaning.begin();
    EXPECT_TRUE(cleaning.isHolding());
    EXPECT_EQ(backlight.sets(), (std::vector<Set>{{1, 0.0f}, {4, 0.0f}}));

    // A key press lights keyboard 1 up; the next check darkens it again.
    backlight.keyboard(1).level = 0.5f;
    time.advanceBy(0.1);
    EXPECT_EQ(backlight.keyboard(1).level, 0.5f);
    time.advanceBy(0.05);
    EXPECT_EQ(backlight.keyboard(1).level, 0.0f);
    backlight.keyboard(4).level = 0.125f;
    time.advanceBy(0.15);
    EXPECT_EQ(backlight.keyboard(4).level, 0.0f);

    cleaning.begin();  // already holding: nothing is recorded again
    backlight.clearSets();
    cleaning.end();
    EXPECT_FALSE(cleaning.isHolding());
    EXPECT_EQ(backlight.sets(), (std::vector<Set>{{1, 0.75f}, {4, 0.25f}}));
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);

    cleaning.end();
    EXPECT_EQ(backlight.sets().size(), 2u) << "a second end restores nothing";
}

TEST_F(CleaningKeyboardBacklightTest, NothingDarkenedMeansNothingHeld) {
    struct Case {
        const char* name;
        void (*arrange)(sim::SimKeyboardBacklight&);
    };
    const Case cases[] = {
        {"no keyboards", [](sim::SimKeyboardBacklight&) {}},
        {"listing fails",
         [](sim::SimKeyboardBacklight& b) {
             b.addKeyboard(1, {0.5f, false});
             b.setListingFails(true);
         }},
        {"setting fails",
         [](sim::SimKeyboardBacklight& b) {
             b.addKeyboard(1, {0.5f, true});
         }},
        {"level not finite",
         [](sim::SimKeyboardBacklight& b) {
             b.addKeyboard(1, {std::nanf(""), false});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::SimTime caseTime;
        sim::SimKeyboardBacklight caseBacklight;
        c.arrange(caseBacklight);
        CleaningKeyboardBacklight caseCleaning(caseBacklight, caseTime.scheduler);
        caseCleaning.begin();
        EXPECT_FALSE(caseCleaning.isHolding());
        EXPECT_EQ(caseTime.scheduler.pendingCount(), 0u);
        caseCleaning.end();
        EXPECT_TRUE(caseBacklight.sets().empty());
    }
}

TEST_F(CleaningKeyboardBacklightTest, AFailedRestoreGoesOnWithTheNextKeyboard) {
    backlight.addKeyboard(1, {0.75f, false});
    backlight.addKeyboard(2, {0.5f, false});
    cleaning.begin();
    backlight.keyboard(1).setFails = true;
    backlight.clearSets();
    cleaning.end();
    EXPECT_EQ(backlight.sets(), (std::vector<Set>{{2, 0.5f}}));
    EXPECT_EQ(backlight.keyboard(1).level, 0.0f);
}

}  // namespace
}  // namespace glidra
