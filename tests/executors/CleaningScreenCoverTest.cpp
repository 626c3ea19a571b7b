#include "executors/CleaningScreenCover.h"
#include "platform/sim/SimScreenCovers.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

const QString kHint = QStringLiteral("连按两次 Esc 提前退出");

struct CleaningScreenCoverTest : ::testing::Test {
    test::SimTime time;
    sim::SimScreenCovers covers;
    CleaningScreenCover cover{covers, time.scheduler};

    std::vector<int> coveredScreens() const {
        std::vector<int> screens;
        for (const auto& [id, window] : covers.openCovers()) screens.push_back(window.screen);
        return screens;
    }
};

TEST_F(CleaningScreenCoverTest, CoversEveryScreenWithAHintForTwoSeconds) {
    covers.setScreens(2);
    cover.show();
    EXPECT_EQ(coveredScreens(), (std::vector<int>{0, 1}));
    for (const auto& [id, window] : covers.openCovers()) EXPECT_EQ(window.hint, kHint);
    EXPECT_EQ(covers.backgroundHides(), 1);

    time.advanceBy(1.9);
    EXPECT_EQ(covers.hintCount(), 2);
    time.advanceBy(0.1);
    EXPECT_EQ(covers.hintCount(), 0);
    EXPECT_EQ(covers.openCovers().size(), 2u) << "the windows stay";

    cover.hide();
    EXPECT_TRUE(covers.openCovers().empty());
    EXPECT_EQ(covers.backgroundShows(), 1);
    EXPECT_FALSE(covers.isPointerHidden());
}

TEST_F(CleaningScreenCoverTest, RebuiltWindowsCarryTheHintOnlyWhileItIsPending) {
    cover.show();
    covers.setScreens(2);
    cover.rebuildWindows();
    EXPECT_EQ(coveredScreens(), (std::vector<int>{0, 1}));
    EXPECT_EQ(covers.hintCount(), 2) << "a screen added in the first two seconds gets the hint";

    time.advanceBy(2.0);
    covers.setScreens(3);
    cover.rebuildWindows();
    EXPECT_EQ(coveredScreens(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(covers.hintCount(), 0);
    EXPECT_EQ(cover.windows().size(), 3u);
    EXPECT_EQ(covers.backgroundHides(), 1) << "rebuilding does not hide the pointer again";
}

TEST_F(CleaningScreenCoverTest, HidingBeforeTheHintEndsLeavesNoTimer) {
    cover.show();
    cover.hide();
    EXPECT_FALSE(cover.isExitHintPending());
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);

    cover.hide();  // not shown: nothing to undo
    EXPECT_EQ(covers.backgroundShows(), 1);
    EXPECT_EQ(covers.plainShows(), 0);
}

TEST_F(CleaningScreenCoverTest, WithoutTheBackgroundRouteTheProgramComesToTheFrontAndGivesItBack) {
    covers.setBackgroundRouteAvailable(false);
    covers.setFrontmostApplication(QStringLiteral("org.gnome.TextEditor.desktop"));
    cover.show();
    EXPECT_EQ(covers.selfActivations(), 1);
    EXPECT_FALSE(covers.isPointerHidden()) << "hidden only once the program is active";

    covers.becomeActive();
    EXPECT_EQ(covers.plainHides(), 1);
    covers.becomeActive();
    EXPECT_EQ(covers.plainHides(), 1) << "hidden once per showing";

    cover.hide();
    EXPECT_EQ(covers.plainShows(), 1);
    EXPECT_EQ(covers.activations(), (std::vector<QString>{QStringLiteral("org.gnome.TextEditor.desktop")}));

    covers.becomeActive();
    EXPECT_EQ(covers.plainHides(), 1) << "no windows, no hiding";
}

TEST_F(CleaningScreenCoverTest, AnActiveProgramHidesThePointerAtOnceAndStaysInFront) {
    covers.setBackgroundRouteAvailable(false);
    covers.becomeActive();
    cover.show();
    EXPECT_EQ(covers.plainHides(), 1);
    EXPECT_EQ(covers.selfActivations(), 0);
    cover.hide();
    EXPECT_EQ(covers.plainShows(), 1);
    EXPECT_TRUE(covers.activations().empty());
}

TEST_F(CleaningScreenCoverTest, APointerThatCannotBeHiddenLeavesTheCoverUp) {
    covers.setHidingFails(true);
    covers.becomeActive();
    cover.show();
    EXPECT_EQ(covers.openCovers().size(), 1u);
    EXPECT_FALSE(cover.isCursorHidden());
    cover.hide();
    EXPECT_EQ(covers.backgroundShows() + covers.plainShows(), 0);
}

TEST_F(CleaningScreenCoverTest, NoScreensMeansNoWindowsAndAVisiblePointer) {
    covers.setScreens(0);
    cover.show();
    EXPECT_TRUE(covers.openCovers().empty());
    EXPECT_EQ(covers.backgroundHides(), 0);
    cover.hide();
}

}  // namespace
}  // namespace glidra
