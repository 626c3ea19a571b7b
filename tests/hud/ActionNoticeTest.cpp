// Action notices on the desktop HUD: what the controller's action task
// presents goes through the panel's notice gate, which keeps an error that
// repeats within its window off the screen.

#include "hud/HUDTestSupport.h"
#include "hud/MessageHUDView.h"
#include "support/ControllerHarness.h"

namespace glidra::test {
namespace {

class ActionNoticeTest : public ::testing::Test {
protected:
    FakeScreens screens;
    FloatingAdjustmentHUD* hud = nullptr;
    ControllerHarness h{{}, [this](ControllerHarness& harness, AdjustmentHUDSettings settings) {
                            auto made = std::make_unique<FloatingAdjustmentHUD>(
                                std::move(settings), FloatingAdjustmentHUD::Environment{
                                                         harness.time.clock, harness.time.scheduler, screens, {}});
                            hud = made.get();
                            return made;
                        }};
    TrackpadController& c = *h.controller;

    ActionNoticeTest() {
        c.setEnabled(true);
        c.setListening(true);
    }

    // An action failing with `text` at time t; the text on the panel then,
    // empty when the panel is hidden.
    QString failAt(double t, const char* text) {
        h.time.advanceTo(t);
        h.dispatcher.answer = HUDNotice{QString::fromUtf8(text), QStringLiteral("globe"), HUDNotice::Kind::error};
        GestureBinding binding;
        binding.action = GestureAction::openURL;
        c.runBoundAction(binding, std::nullopt);
        SimTime::drain();
        EXPECT_EQ(c.status(), QString::fromUtf8(text)) << "the status has it in every case";
        return shownText();
    }
    QString shownText() {
        auto* view = qobject_cast<MessageHUDView*>(hud->panel().content());
        return hud->panel().isVisible() && view ? view->notice().text : QString();
    }
};

TEST_F(ActionNoticeTest, TheSameErrorShowsAgainOnlyFourSecondsAfterItWasLastShown) {
    const QString page = QStringLiteral("无法打开网页");
    EXPECT_EQ(failAt(1.0, "无法打开网页"), page);
    h.time.advanceTo(3.0);
    EXPECT_EQ(shownText(), QString()) << "an error stays two seconds";
    EXPECT_EQ(failAt(4.999, "无法打开网页"), QString());
    EXPECT_EQ(failAt(5.0, "无法打开网页"), page);
    // Another error is another notice: it is shown at once.
    EXPECT_EQ(failAt(5.5, "无法打开文件"), QStringLiteral("无法打开文件"));
    // The window runs from the last notice shown.
    EXPECT_EQ(failAt(8.0, "无法打开网页"), page);
}

}  // namespace
}  // namespace glidra::test
