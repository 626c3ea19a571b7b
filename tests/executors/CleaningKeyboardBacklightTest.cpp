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

// The backlight answers later than asked; the cleaning may end in between.
TEST_F(CleaningKeyboardBacklightTest, AKeyboardDarkenedAfterTheEndIsPutBackToo) {
    backlight.addKeyboard(1, {0.75f, false});
    backlight.addKeyboard(2, {0.5f, false});
    backlight.answers.setHolds(true);
    auto answer = [this] {
        backlight.answers.release();
        time.drain();
    };
    cleaning.begin();
    answer();  // the keyboards are listed
    answer();  // keyboard 1 reads 0.75
    ASSERT_EQ(backlight.answers.held(), 1u) << "darkening keyboard 1";
    cleaning.end();
    EXPECT_FALSE(cleaning.isHolding());

    answer();  // keyboard 1 went dark after all
    EXPECT_EQ(backlight.keyboard(1).level, 0.0f);
    answer();  // and comes back
    EXPECT_EQ(backlight.keyboard(1).level, 0.75f);
    EXPECT_EQ(backlight.keyboard(2).level, 0.5f) << "the end came before keyboard 2";
    EXPECT_EQ(backlight.answers.held(), 0u);
    EXPECT_EQ(time.scheduler.pendingCount(), 0u) << "nothing is held";
}

TEST_F(CleaningKeyboardBacklightTest, ASlowBacklightGetsOneCheckAtATime) {
    backlight.addKeyboard(1, {0.75f, false});
    cleaning.begin();
    ASSERT_TRUE(cleaning.isHolding());
    const int readsBefore = backlight.reads();
    backlight.answers.setHolds(true);
    time.advanceBy(CleaningKeyboardBacklight::kHoldInterval);
    EXPECT_EQ(backlight.reads(), readsBefore + 1);
    time.advanceBy(1.0);
    EXPECT_EQ(backlight.reads(), readsBefore + 1) << "no check starts while one waits for its answer";

    backlight.keyboard(1).level = 0.5f;
    backlight.answers.setHolds(false);
    backlight.answers.release();
    time.drain();
    EXPECT_EQ(backlight.keyboard(1).level, 0.0f);
    time.advanceBy(CleaningKeyboardBacklight::kHoldInterval);
    EXPECT_EQ(backlight.reads(), readsBefore + 2) << "the checks go on once answered";

    cleaning.end();
    EXPECT_EQ(backlight.keyboard(1).level, 0.75f);
}

}  // namespace
}  // namespace glidra
