// Rules that act while the fingers are down: video scrubbing (with a real
// scrubber on the sim browser, or the recording fake) and tab swiping,
// through the real frame handler on the manual clock.

#include "actions/PlaybackTime.h"
#include "executors/BrowserVideoBridge.h"
#include "executors/BrowserVideoScrubber.h"
#include "platform/sim/SimBrowserVideoChannel.h"
#include "settings/DisabledApplication.h"
#include "trackpad/FramePathFixture.h"

namespace glidra {
namespace {

using test::ControllerHarness;
using test::FramePathRig;
using test::FramePathTest;
using test::frames;
using test::swipeAt;
using test::swipeRule;
using Direction = GestureDescriptor::Direction;
using A = GestureAction;

const QString kChromium = QStringLiteral("chromium.desktop");

// Two fingers sliding sideways by `dx` over 0.3 s, lifted when `lift`.
test::FrameBuilder sideways(double t, float dx, bool lift = true) {
    auto b = frames().touch(1, 0.4f, 0.5f).touch(2, 0.45f, 0.5f).at(t).moveBy(1, dx, 0).moveBy(2, dx, 0);
    b.over(t + 0.3, 30);
    if (lift) b.up(t + 0.32);
    return b;
}

// --- with the recording scrubber ---------------------------------------------------------

class VideoScrubTest : public FramePathTest {
protected:
    double scrubbed() const {
        double sum = 0;
        for (const auto& step : h.videoScrubber->steps) sum += step.distance;
        return sum;
    }
};

TEST_F(VideoScrubTest, AScrubRuleIsChosenByTheFirstDirectionAndThenScrubsBothWays) {
    setRules({swipeRule(2, Direction::right, A::scrubVideo)});
    play(sideways(1.0, -0.2f));
    EXPECT_TRUE(h.videoScrubber->steps.empty()) << "a leftward slide does not start a rightward rule";

    play(sideways(2.0, 0.2f, false));
    const double forward = scrubbed();
    EXPECT_GT(forward, 0.2) << "scaled by the sensitivity";
    EXPECT_EQ(h.videoScrubber->steps.front().application, QStringLiteral("com.example.editor"));
    EXPECT_TRUE(c.deviceState().videoClaimed.contains(kPad));
    // Back again in the same touch.
    play(frames().touch(1, 0.6f, 0.5f).touch(2, 0.65f, 0.5f).moveBy(1, -0.1f, 0).moveBy(2, -0.1f, 0).over(2.5, 10));
    EXPECT_LT(scrubbed(), forward);
    play(frames().up(2.6));
    EXPECT_TRUE(c.deviceState().liveVideoRules.empty());
    EXPECT_TRUE(dispatched().empty()) << "the slide is not also a swipe";
}

TEST_F(VideoScrubTest, OptionMakesTheScrubFinerAndEdgeSlidesScrubByTheirDirection) {
    setRules({swipeRule(2, Direction::right, A::scrubVideo)});
    play(sideways(1.0, 0.2f));
    const double plain = scrubbed();
    h.videoScrubber->steps.clear();
    // Pressed after the first contact: a key held from the start would ask
    // for a rule that requires it.
    const auto slide = sideways(2.0, 0.2f).build();
    play({slide.front()});
    h.keyboard.press(58);
    play({slide.begin() + 1, slide.end()});
    EXPECT_NEAR(scrubbed(), 0.3 * plain, 1e-6);
    h.keyboard.releaseAll();

    auto bindings = h.settings.bindings();
    for (GestureBinding& binding : bindings) {
        if (binding.trigger == GestureTrigger::leftDown) binding.action = A::scrubVideo;
    }
    h.settings.setBindings(bindings);
    h.videoScrubber->steps.clear();
    play(frames().touch(1, 0.02f, 0.7f).at(3.0).moveTo(1, 0.02f, 0.5f).over(3.2, 20).up(3.22));
    ASSERT_FALSE(h.videoScrubber->steps.empty());
    EXPECT_LT(scrubbed(), 0) << "down the left edge scrubs backward";
}

TEST_F(VideoScrubTest, PracticeShowsTheScrubAndSendsNothing) {
    setRules({swipeRule(2, Direction::right, A::scrubVideo)});
    c.setPracticeMode(true);
    play(sideways(1.0, 0.2f));
    EXPECT_TRUE(h.videoScrubber->steps.empty());
    EXPECT_EQ(c.status(), QStringLiteral("滑动视频进度"));
    EXPECT_EQ(h.hud->notices.back().symbol, QStringLiteral("play.rectangle"));
}

// The scrubber reports from the event loop; what arrives once actions are
// refused changes nothing the user sees.
TEST(VideoUpdateTest, AReportArrivingOnceActionsAreRefusedShowsNothing) {
    struct Case {
        const char* name;
        std::function<void(FramePathRig&)> arrange;
        bool shows;
    };
    const Case cases[] = {
        {"nothing refused", [](FramePathRig&) {}, true},
        {"keyboard locked", [](FramePathRig& t) { t.h.executors.keyboardLocked = true; }, false},
        {"control off", [](FramePathRig& t) { t.c.setEnabled(false); }, false},
        {"practice", [](FramePathRig& t) { t.c.setPracticeMode(true); }, false},
        {"disabled application",
         [](FramePathRig& t) {
             t.h.settings.setDisabledApplications({{QStringLiteral("com.example.editor"), QStringLiteral("编辑器")}});
         },
         false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        FramePathRig t;
        t.setRules({swipeRule(2, Direction::right, A::scrubVideo)});
        t.play(sideways(1.0, 0.2f));
        ASSERT_FALSE(t.h.videoScrubber->steps.empty());
        const VideoScrubberService::Report report = t.h.videoScrubber->report;
        k.arrange(t);
        const QString status = t.c.status();
        const std::size_t notices = t.h.hud->notices.size();

        report(BrowserVideoError::noVideo);
        EXPECT_EQ(t.c.videoControlIssue().has_value(), k.shows);
        EXPECT_EQ(t.h.hud->notices.size() > notices, k.shows);
        report(BrowserVideoState{12, 60});
        EXPECT_EQ(t.c.status() != status, k.shows);
        EXPECT_EQ(t.h.log.count(QStringLiteral("hud.showVideoProgress(12/60)")), k.shows ? 1 : 0);
    }
}

// --- with the real scrubber on the sim browser ------------------------------------------------

struct SimBrowser {
    sim::SimBrowserVideoChannel channel;
    BrowserVideoBridge bridge{channel};
};

class BrowserScrubTest : public ::testing::Test, protected SimBrowser, protected FramePathRig {
protected:
    BrowserScrubTest()
        // Runs while the rig is built, before this fixture's own members
        // exist: it may reach only the browser, built first.
        : FramePathRig([this](ControllerHarness& harness) {
              return std::make_unique<BrowserVideoScrubber>(
                  bridge, [&harness] { return harness.frontmost.bundleIdentifier(); }, harness.time.scheduler);
          }) {
        channel.setVideo(sim::SimBrowserVideoChannel::Video{10, 60});
        setRules({swipeRule(2, Direction::right, A::scrubVideo)});
    }

    void front(const QString& application) {
        h.frontmost.setBundleIdentifier(application);
        c.setCurrentApplicationID(application);
    }
    QStringList operations() const {
        QStringList all;
        for (const auto& sent : channel.sent()) all.append(sent.request.operation);
        return all;
    }
};

TEST_F(BrowserScrubTest, ASlideSeeksTheVideoAndShowsItsProgressUntilTheLift) {
    front(kChromium);
    play(sideways(1.0, 0.2f));
    h.time.advanceBy(1);
    const QStringList sent = operations();
    ASSERT_GE(sent.size(), 3);
    EXPECT_EQ(sent.front(), QStringLiteral("begin"));
    EXPECT_EQ(sent.back(), QStringLiteral("end")) << "closed after the lift";
    EXPECT_GT(sent.count(QStringLiteral("seek")), 1);
    const auto& video = *channel.video();
    EXPECT_GT(video.time, 10);
    EXPECT_EQ(c.status(), formatPlaybackTime(video.time) + QStringLiteral(" / ") + formatPlaybackTime(60));
    EXPECT_EQ(c.videoControlIssue(), std::nullopt);
    EXPECT_TRUE(h.log.calls.contains(QStringLiteral("hud.showVideoProgress(%1/60)").arg(video.time)));
}

TEST_F(BrowserScrubTest, AnotherApplicationIsToldOnceAndScrubsNothingUntilTheNextTouch) {
    play(sideways(1.0, 0.2f, false));
    const QString unsupported = message(BrowserVideoError::unsupportedBrowser);
    EXPECT_EQ(c.videoControlIssue(), unsupported);
    EXPECT_EQ(c.status(), unsupported);
    int errors = 0;
    for (const HUDNotice& notice : h.hud->notices) errors += notice.symbol == QStringLiteral("play.slash") ? 1 : 0;
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(channel.sent().empty());
    play(frames().up(1.4));

    front(kChromium);
    play(sideways(2.0, 0.2f));
    h.time.advanceBy(1);
    EXPECT_FALSE(operations().isEmpty()) << "a new touch resets the scrubber";
    EXPECT_EQ(c.videoControlIssue(), std::nullopt) << "progress clears the issue";
}

// --- tab swipes ----------------------------------------------------------------------------

TEST_F(FramePathTest, ATabSwipeSwitchesTabsBeforeTheLiftOncePerTouch) {
    setRules({swipeRule(3, Direction::right, A::nextTab), swipeRule(3, Direction::up, A::volumeUp)});
    const auto script = swipeAt(1.0, 3, 0.2f, 0);
    const auto& all = script.build();
    play({all.begin(), all.end() - 1});
    EXPECT_EQ(ranActions(), std::vector{A::nextTab}) << "while the fingers are down";
    EXPECT_TRUE(c.deviceState().tabClaimed.contains(kPad));
    // Turning upward in the same touch adjusts nothing.
    play(frames().touch(1, 0.5f, 0.5f).touch(2, 0.55f, 0.5f).touch(3, 0.6f, 0.5f).at(1.3));
    play({all.back()});
    EXPECT_EQ(ranActions(), std::vector{A::nextTab}) << "the recognised swipe is not run again";
    EXPECT_EQ(h.log.count(QStringLiteral("adjustOutputVolume(0.06)")), 0);

    // With actions refused the swipe claims nothing.
    clearDispatched();
    h.executors.keyboardLocked = true;
    play({all.begin(), all.end() - 1});
    EXPECT_TRUE(c.deviceState().tabClaimed.empty());
    play({all.back()});
    EXPECT_TRUE(dispatched().empty());

    // Practice reports it and claims the touch as well: the swipe recognised
    // at the lift is not practised again.
    h.executors.keyboardLocked = false;
    c.setPracticeMode(true);
    play({all.begin(), all.end() - 1});
    EXPECT_EQ(c.status(), QStringLiteral("%1（仅练习）").arg(title(A::nextTab)));
    EXPECT_TRUE(c.deviceState().tabClaimed.contains(kPad));
    play({all.back()});
    EXPECT_TRUE(dispatched().empty());
    EXPECT_EQ(c.status(), QStringLiteral("%1（仅练习）").arg(title(A::nextTab)));
}

}  // namespace
}  // namespace glidra
