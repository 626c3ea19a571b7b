// Edge slides, continuous adjustments and the edge pointer lock, through the
// real frame handler on the manual clock.

#include "bridge/MultitouchBridge.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimMultitouchFramework.h"
#include "trackpad/FramePathFixture.h"

#include <QStringList>

#include <functional>

namespace glidra {
namespace {

using test::FrameBuilder;
using test::FramePathTest;
using test::frames;
using test::swipeAt;
using test::swipeRule;
using Direction = GestureDescriptor::Direction;
using A = GestureAction;

// One finger up the right edge by `travel`, in steps of 0.01 every 10 ms.
FrameBuilder rightEdgeSlide(double t, float travel, bool lift = true, float x = 0.97f, float from = 0.2f) {
    FrameBuilder b = frames().touch(1, x, from).at(t);
    const int steps = int(travel / 0.01f + 0.5f);
    b.moveTo(1, x, from + travel).over(t + 0.01 * steps, steps);
    if (lift) b.up(t + 0.01 * steps + 0.02);
    return b;
}

class EdgeSlideTest : public FramePathTest {
protected:
    // The calls of the fakes whose names start with `prefix`, taken out of
    // the log.
    QStringList take(const QString& prefix) {
        QStringList found;
        for (const QString& call : h.log.calls) {
            if (call.startsWith(prefix)) found.append(call);
        }
        h.log.calls.clear();
        return found;
    }

    void bind(GestureTrigger trigger, GestureAction action, std::optional<int> percent = std::nullopt) {
        auto bindings = h.settings.bindings();
        for (GestureBinding& binding : bindings) {
            if (binding.trigger != trigger) continue;
            binding.action = action;
            binding.slideDistance = percent ? std::optional(SlideDistance{*percent}) : std::nullopt;
        }
        h.settings.setBindings(bindings);
    }

    float volume() const { return *h.executors.outputVolume; }
    bool held() const { return h.pointer.isHoldingMotion(reinterpret_cast<MultitouchDevice>(kPad)); }
};

// --- levels --------------------------------------------------------------------------

TEST_F(EdgeSlideTest, TheRightEdgeMovesTheVolumeWithTheLevelOnTheHUDAndFinerWithOption) {
    play(rightEdgeSlide(1.0, 0.2f));
    const float plain = volume() - 0.5f;
    const QStringList hud = take(QStringLiteral("hud."));
    ASSERT_FALSE(hud.isEmpty());
    EXPECT_GT(plain, 0.2f) << "the sensitivity scales the travel";
    EXPECT_EQ(hud.back(), QStringLiteral("hud.showAdjustment(1,%1)").arg(double(volume())));
    EXPECT_EQ(c.status(), QStringLiteral("音量 %1%").arg(int(volume() * 100)));

    h.executors.outputVolume = 0.5f;
    h.keyboard.press(61);  // the right Alt key
    play(rightEdgeSlide(2.0, 0.2f));
    EXPECT_NEAR(volume() - 0.5f, 0.3f * plain, 1e-4);

    // Down the same edge lowers it again.
    h.keyboard.releaseAll();
    const float before = volume();
    play(frames().touch(1, 0.97f, 0.8f).at(3.0).moveTo(1, 0.97f, 0.6f).over(3.2, 20).up(3.22));
    EXPECT_LT(volume(), before);
}

TEST_F(EdgeSlideTest, ALevelThatCannotMoveSaysSoOnEveryStep) {
    h.executors.outputVolume.reset();
    play(rightEdgeSlide(1.0, 0.1f));
    EXPECT_EQ(c.status(), QStringLiteral("此设备不支持音量调节"));
    ASSERT_FALSE(h.hud->notices.empty());
    EXPECT_EQ(h.hud->notices.back(), (HUDNotice{QStringLiteral("此设备不支持音量调节"), QStringLiteral("speaker.slash"),
                                                HUDNotice::Kind::error}));

    // Without a shared bridge there is no display brightness either.
    play(frames().touch(1, 0.02f, 0.2f).at(2.0).moveTo(1, 0.02f, 0.4f).over(2.2, 20).up(2.22));
    EXPECT_EQ(c.status(), QStringLiteral("此屏幕不支持亮度调节"));
    EXPECT_EQ(h.hud->notices.back().symbol, QStringLiteral("sun.max"));
}

TEST_F(EdgeSlideTest, TheLeftEdgeMovesTheBuiltInDisplaysBrightness) {
    sim::SimMultitouchFramework framework;
    sim::SimDisplayBrightness displays;
    displays.addDisplay(1, sim::SimDisplayBrightness::Display{});
    MultitouchBridge bridge{framework, displays, h.time.clock};
    MultitouchBridge::setShared(&bridge);
    h.settings.setLocksPointerDuringEdgeAdjustments(true);
    play(frames().touch(1, 0.02f, 0.5f).at(1.0).moveTo(1, 0.02f, 0.3f).over(1.2, 20));
    const float level = *displays.display(1).level;
    EXPECT_LT(level, 0.5f);
    EXPECT_EQ(c.status(), QStringLiteral("亮度 %1%").arg(int(level * 100)));
    EXPECT_EQ(h.log.calls.back(), QStringLiteral("hud.showAdjustment(0,%1)").arg(double(level)));
    EXPECT_TRUE(held());
    play(frames().up(1.3));
    MultitouchBridge::setShared(nullptr);
}

TEST_F(EdgeSlideTest, PracticeShowsTheSlideAndAdjustsNothing) {
    c.setPracticeMode(true);
    play(rightEdgeSlide(1.0, 0.1f));
    const QString text = QStringLiteral("识别：%1 → %2").arg(title(GestureTrigger::rightUp), title(A::volumeUp));
    EXPECT_EQ(c.status(), text);
    EXPECT_EQ(h.hud->notices.back(), (HUDNotice{text, QStringLiteral("hand.draw"), HUDNotice::Kind::information}));
    EXPECT_TRUE(take(QStringLiteral("adjust")).isEmpty());
}

TEST_F(EdgeSlideTest, AContinuousRuleAdjustsWhileItsFingersMoveAndIsNotAlsoAGesture) {
    setRules({swipeRule(3, Direction::up, A::volumeUp), swipeRule(3, Direction::down, A::keyboardBrightnessDown)});
    // Tracker steps of 0.02 then, never the fixed step of a gesture.
    h.settings.setSensitivity(1);
    play(swipeAt(1.0, 3, 0, 0.2f, 0.3f, 0.3f));
    const QStringList steps = take(QStringLiteral("adjustOutputVolume"));
    EXPECT_GT(steps.size(), 3) << "step by step while moving";
    EXPECT_FALSE(steps.contains(QStringLiteral("adjustOutputVolume(0.06)"))) << "the recognised swipe is dropped";
    EXPECT_TRUE(c.deviceState().continuousClaimed.empty()) << "cleared at the lift";

    play(swipeAt(2.0, 3, 0, -0.2f, 0.3f, 0.6f));
    const QStringList backlight = take(QStringLiteral("adjustKeyboardBacklight"));
    ASSERT_FALSE(backlight.isEmpty());
    EXPECT_TRUE(backlight.front().startsWith(QStringLiteral("adjustKeyboardBacklight(-")));
    EXPECT_FALSE(h.pointer.holdCalls()) << "only edge slides hold the pointer";
}

// --- one-shot bindings and claims --------------------------------------------------------

TEST_F(EdgeSlideTest, AOneShotBindingRunsOnceWhenTheSlideReachesItsDistance) {
    bind(GestureTrigger::rightUp, A::nextTab, 30);
    const auto slide = rightEdgeSlide(1.0, 0.7f).build();
    // 0.01 per frame; the first step reported carries the travel from where
    // the finger landed.
    const auto upTo = [&](float travel) { return slide.begin() + 1 + int(travel / 0.01f + 0.5f); };
    play({slide.begin(), upTo(0.29f)});
    EXPECT_TRUE(dispatched().empty());
    play({upTo(0.29f), upTo(0.3f)});
    EXPECT_EQ(ranActions(), std::vector{A::nextTab});
    play({upTo(0.3f), slide.end()});
    EXPECT_EQ(ranActions(), std::vector{A::nextTab}) << "once per touch";

    play(rightEdgeSlide(3.0, 0.5f));
    EXPECT_EQ(ranActions(), (std::vector{A::nextTab, A::nextTab})) << "a new touch re-arms it";
}

TEST_F(EdgeSlideTest, AOneShotEdgeActionClosingTheSwitcherStillRunsOncePerTouch) {
    bind(GestureTrigger::rightUp, A::copy, 5);
    c.setShowingApplicationSwitcher(true);
    h.executors.applicationSwitcherOpen = true;
    // As the real switcher does when it ends: the flag's setter resets the
    // gesture state in the middle of the frame.
    h.executors.onEndApplicationSwitcher = [this] { c.setShowingApplicationSwitcher(false); };
    play(rightEdgeSlide(1.0, 0.6f));
    EXPECT_EQ(ranActions(), std::vector{A::copy});
    EXPECT_EQ(h.log.count(QStringLiteral("endApplicationSwitcher(1)")), 1);
}

TEST_F(EdgeSlideTest, ASlideOnABoundEdgeIsNotAlsoAGesture) {
    setRules({swipeRule(1, Direction::up, A::copy)});
    play(rightEdgeSlide(1.0, 0.3f));
    EXPECT_TRUE(dispatched().empty()) << "the edge took the finger";
    EXPECT_FALSE(take(QStringLiteral("adjustOutputVolume")).isEmpty());

    // An edge bound to nothing claims nothing.
    bind(GestureTrigger::rightUp, A::none);
    play(rightEdgeSlide(2.0, 0.3f));
    EXPECT_EQ(ranActions(), std::vector{A::copy});
    EXPECT_TRUE(c.deviceState().actionDistanceGates.empty());
}

TEST_F(EdgeSlideTest, ActivationDistanceFollowsTheLevelAndTheShortestOneShotBinding) {
    using L = GestureRecognitionLevel;
    using T = GestureTrigger;
    struct Case {
        const char* name;
        GestureRecognitionLevel level;
        GestureTrigger trigger;
        GestureAction action;
        std::optional<int> percent;
        float expected;
    };
    // The default bindings' one-shots ask for 12 %, longer than any level's.
    const Case cases[] = {
        {"relaxed", L::relaxed, T::topLeft, A::none, std::nullopt, 0.015f},
        {"standard", L::standard, T::topLeft, A::none, std::nullopt, 0.025f},
        {"standard, one-shot at 1 %", L::standard, T::topLeft, A::nextTab, 1, 0.01f},
        {"relaxed, one-shot at 1 %", L::relaxed, T::topLeft, A::nextTab, 1, 0.01f},
        {"standard, one-shot at 2 %", L::standard, T::bottomLeft, A::nextTab, 2, 0.02f},
        {"deliberate, one-shot at 1 %", L::deliberate, T::topLeft, A::nextTab, 1, 0.04f},
        {"standard, adjustment at 1 %", L::standard, T::topLeft, A::brightnessUp, 1, 0.025f},
        {"standard, corner one-shot at 1 %", L::standard, T::topLeftLeft, A::nextTab, 1, 0.025f},
    };
    double t = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        h.settings.setRecognitionLevel(k.level);
        h.settings.setBindings(GestureBinding::defaultBindings());
        bind(T::topLeft, A::none);
        bind(k.trigger, k.action, k.percent);
        // Half a step of the finest grid short of the distance reports
        // nothing; as much beyond it, a step.
        h.executors.outputVolume = 0.5f;
        play(rightEdgeSlide(t += 1, k.expected - 0.005f));
        EXPECT_EQ(volume(), 0.5f);
        play(rightEdgeSlide(t += 1, k.expected + 0.005f));
        EXPECT_GT(volume(), 0.5f);
    }
}

// A one-finger rule for the right band going up: the edge keeps away from a
// finger only once it has left where it landed in the rule's direction.
TEST_F(EdgeSlideTest, ARegionRuleTakesOnlyAFingerThatLeftItsStartTheRulesWay) {
    GestureRule up = swipeRule(1, Direction::up, A::copy);
    up.region = GestureRegion::right;
    setRules({up});
    struct Case {
        const char* name;
        float firstRise;  // up from where it landed, before sliding down
        bool taken;
    };
    const Case cases[] = {
        {"straight down", 0, false},
        {"resting within 0.01", 0.009f, false},
        {"up past 0.01", 0.011f, true},
    };
    double t = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        h.executors.outputVolume = 0.5f;
        play(frames()
                 .touch(1, 0.97f, 0.5f)
                 .at(t)
                 .moveTo(1, 0.97f, 0.5f + k.firstRise)
                 .over(t + 0.02, 1)
                 .moveTo(1, 0.97f, 0.3f)
                 .over(t + 0.22, 20)
                 .up(t + 0.24));
        EXPECT_EQ(volume() == 0.5f, k.taken) << "down the right edge lowers the volume unless the rule took it";
        t += 1;
    }
}

// --- the pointer lock ----------------------------------------------------------------------

TEST_F(EdgeSlideTest, ThePointerLockHoldsWhileStepsComeAndLetsGoAfterwards) {
    play(rightEdgeSlide(1.0, 0.1f, false));
    EXPECT_FALSE(held()) << "the setting is off";
    play(frames().up(1.2));

    h.settings.setLocksPointerDuringEdgeAdjustments(true);
    play(rightEdgeSlide(2.0, 0.1f, false));
    ASSERT_TRUE(held());
    EXPECT_EQ(c.edgePointerLock().device(), kPad);
    EXPECT_DOUBLE_EQ(c.edgePointerLock().lastContactTime(), 2.1) << "refreshed by the last step";
    EXPECT_EQ(h.pointer.holdCalls(), 1) << "engaged once, then refreshed";

    // Something else moves the pointer: it is put back.
    h.pointer.moveTo(QPointF(10, 20));
    play(frames().touch(1, 0.97f, 0.3f).at(2.3));
    EXPECT_EQ(h.pointer.warps(), std::vector{QPointF(640, 400)});

    // Half a second without a step: the next motion ends the lock.
    play(frames().touch(1, 0.97f, 0.3f).at(2.65));
    EXPECT_FALSE(held());
    play(frames().touch(1, 0.97f, 0.3f).at(2.66).moveTo(1, 0.97f, 0.4f).over(2.76, 10));
    EXPECT_TRUE(held()) << "the next step holds it again";
    EXPECT_EQ(h.pointer.holdCalls(), 2);
    play(frames().up(2.8));
    EXPECT_FALSE(held());

    // A pad that cannot be held leaves the lock off; the level moves anyway.
    h.pointer.setHoldFails(true);
    h.executors.outputVolume = 0.5f;
    play(rightEdgeSlide(3.0, 0.1f, false));
    EXPECT_FALSE(c.edgePointerLock().isOn());
    EXPECT_GT(volume(), 0.5f);
}

// A held touchpad moves no pointer, so its frames are the motion that ends
// the lock: the first one with a finger on the pad from half a second after
// the last step on lets the pad go, while that finger still rests.
TEST_F(EdgeSlideTest, TheFirstTouchFrameHalfASecondAfterTheLastStepLetsThePadGoBeforeTheLift) {
    h.settings.setLocksPointerDuringEdgeAdjustments(true);
    play(rightEdgeSlide(2.0, 0.1f, false));
    ASSERT_TRUE(held());
    const double lastStep = c.edgePointerLock().lastContactTime();
    const auto rest = [&](double after) { play(frames().touch(1, 0.97f, 0.3f).at(lastStep + after)); };

    rest(0.25);
    rest(0.49);
    EXPECT_TRUE(held()) << "0.49 s after the last step";
    EXPECT_TRUE(c.edgePointerLock().isOn());

    rest(0.5);
    EXPECT_FALSE(c.edgePointerLock().isOn()) << "0.5 s after the last step";
    EXPECT_EQ(h.pointer.heldCount(), 0) << "let go with the finger down";
    EXPECT_TRUE(h.pointer.warps().empty());

    rest(0.6);
    EXPECT_FALSE(held()) << "resting is no step";
    EXPECT_EQ(h.pointer.holdCalls(), 1);
}

TEST_F(EdgeSlideTest, NoPathLeavesThePointerHeld) {
    h.settings.setLocksPointerDuringEdgeAdjustments(true);
    const std::vector<std::pair<const char*, std::function<void(double)>>> paths = {
        {"lift", [this](double t) { play(frames().up(t)); }},
        {"second finger", [this](double t) { play(frames().touch(1, 0.97f, 0.3f).touch(2, 0.5f, 0.5f).at(t)); }},
        {"another finger", [this](double t) { play(frames().touch(2, 0.97f, 0.3f).at(t)); }},
        {"setting off",
         [this](double t) {
             h.settings.setLocksPointerDuringEdgeAdjustments(false);
             play(frames().touch(1, 0.97f, 0.3f).at(t));
             h.settings.setLocksPointerDuringEdgeAdjustments(true);
         }},
        {"control off",
         [this](double t) {
             c.setEnabled(false);
             play(frames().touch(1, 0.97f, 0.3f).at(t));
             c.setEnabled(true);
         }},
        {"practice", [this](double) { c.setPracticeMode(false); }},
        {"stop listening",
         [this](double) {
             c.stopListening();
             c.setListening(true);
         }},
        {"screenshot selection",
         [this](double t) {
             c.setSelectingScreenshot(true);
             play(frames().touch(1, 0.97f, 0.3f).at(t));
             c.setSelectingScreenshot(false);
         }},
        {"another application",
         [this](double) { h.frontmost.setBundleIdentifier(QStringLiteral("org.gnome.Nautilus.desktop")); }},
    };
    double t = 1;
    for (const auto& [name, path] : paths) {
        SCOPED_TRACE(name);
        h.frontmost.setBundleIdentifier(QStringLiteral("com.example.editor"));
        c.resetGestureState();
        play(rightEdgeSlide(t, 0.1f, false));
        ASSERT_TRUE(held());
        path(t + 0.15);
        // A resting finger: no step could hold it again.
        play(frames().touch(1, 0.97f, 0.3f).at(t + 0.2));
        EXPECT_FALSE(held());
        EXPECT_FALSE(c.edgePointerLock().isOn());
        play(frames().up(t + 0.25));
        t += 1;
    }

    // The program ends with a finger on the pad.
    play(rightEdgeSlide(t, 0.1f, false));
    ASSERT_TRUE(held());
    h.controller.reset();
    EXPECT_EQ(h.pointer.heldCount(), 0);
}

}  // namespace
}  // namespace glidra
