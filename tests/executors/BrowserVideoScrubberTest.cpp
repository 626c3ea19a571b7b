#include "executors/BrowserVideoBridge.h"
#include "executors/BrowserVideoScrubber.h"

#include "platform/sim/SimBrowserVideoChannel.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace glidra {
namespace {

using test::SimTime;
using Video = sim::SimBrowserVideoChannel::Video;
using Update = BrowserVideoScrubber::Update;

const QString chromium = QStringLiteral("chromium.desktop");
constexpr DeviceId pad = 7;
constexpr DeviceId otherPad = 8;

struct ScrubberFixture : ::testing::Test {
    SimTime time;
    sim::SimBrowserVideoChannel channel;
    BrowserVideoBridge bridge{channel};
    std::optional<QString> front = chromium;
    BrowserVideoScrubber scrubber{bridge, [this] { return front; }, time.scheduler};
    std::vector<Update> reports;

    ScrubberFixture() { channel.setVideo(Video{10, 60}); }

    void step(double distance, DeviceId device = pad) {
        scrubber.step(device, front, distance, [this](const Update& update) { reports.push_back(update); });
    }
    // The operations and targets sent, e.g. "begin seek@16 end".
    QString sent() const {
        QStringList all;
        for (const auto& s : channel.sent()) {
            all.append(s.request.target ? s.request.operation + QLatin1Char('@') + QString::number(*s.request.target)
                                        : s.request.operation);
        }
        return all.join(QLatin1Char(' '));
    }
};

TEST_F(ScrubberFixture, ASlideSeeksAtMostOncePerPacingAndEndsAfterTheLift) {
    step(0.05);
    EXPECT_TRUE(scrubber.isRunning());
    EXPECT_EQ(scrubber.device(), pad);
    time.drain();
    EXPECT_EQ(sent(), QStringLiteral("begin seek@16"));
    EXPECT_EQ(reports, (std::vector<Update>{BrowserVideoState{16, 60}}));

    // Steps during the pause are gathered into one seek.
    step(0.01);
    step(0.02);
    time.advanceBy(0.059);
    EXPECT_EQ(sent(), QStringLiteral("begin seek@16"));
    time.advanceBy(0.001);
    EXPECT_EQ(sent(), QStringLiteral("begin seek@16 seek@19.6"));

    scrubber.markFinished();
    time.advanceBy(0.06);
    EXPECT_EQ(sent(), QStringLiteral("begin seek@16 seek@19.6 end"));
    for (const auto& s : channel.sent()) EXPECT_EQ(s.request.token, channel.sent()[0].request.token);
    EXPECT_FALSE(scrubber.isRunning());
    EXPECT_EQ(scrubber.device(), std::nullopt);
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);
}

TEST_F(ScrubberFixture, DistanceArrivingDuringARequestIsAppliedInTheNextCycle) {
    channel.setHoldsReplies(true);
    step(0.01);
    time.drain();
    channel.releaseReplies();  // begin
    time.drain();
    EXPECT_EQ(sent(), QStringLiteral("begin seek@11.2"));
    step(0.1);
    step(0.1);
    scrubber.markFinished();
    channel.releaseReplies();  // the seek
    time.drain();
    EXPECT_EQ(reports, (std::vector<Update>{BrowserVideoState{11.2, 60}}));
    channel.setHoldsReplies(false);
    // Pending distance keeps a finished session alive until it is applied.
    time.advanceBy(0.059);
    EXPECT_EQ(sent(), QStringLiteral("begin seek@11.2"));
    time.advanceBy(0.001);
    EXPECT_EQ(sent(), QStringLiteral("begin seek@11.2 seek@35.2 end"));
}

TEST_F(ScrubberFixture, TargetsAreClampedToTheVideo) {
    struct Case {
        double distance;
        const char* sent;
    };
    for (const Case c : {Case{0.5, "begin seek@60"}, Case{-0.5, "begin seek@0"}}) {
        channel = sim::SimBrowserVideoChannel();
        channel.setVideo(Video{10, 60});
        scrubber.reset();
        step(c.distance);
        time.drain();
        EXPECT_EQ(sent(), QLatin1String(c.sent)) << c.distance;
    }
}

TEST_F(ScrubberFixture, ContinuesFromWhereTheBrowserSaysItIs) {
    const auto state = [](double t) {
        return BrowserVideoReply{
            BrowserVideoReply::Delivery::answered,
            QJsonDocument(QJsonObject{{QStringLiteral("time"), t}, {QStringLiteral("duration"), 60.0}}).toJson()};
    };
    channel.scriptReply(state(10));  // begin
    channel.scriptReply(state(5));   // the seek to 22 lands at 5
    step(0.1);
    time.drain();
    step(0.1);
    time.advanceBy(0.06);
    EXPECT_EQ(sent(), QStringLiteral("begin seek@22 seek@17"));
}

TEST_F(ScrubberFixture, AnUnsupportedBrowserIsReportedOnceForTheWholeSlide) {
    front = QStringLiteral("org.videolan.VLC.desktop");
    step(0.1);
    step(0.1);
    time.drain();
    EXPECT_EQ(reports, (std::vector<Update>{BrowserVideoError::unsupportedBrowser}));
    EXPECT_TRUE(scrubber.hasFailed());
    EXPECT_TRUE(channel.sent().empty());

    scrubber.reset();
    front = chromium;
    step(0.1);
    time.drain();
    EXPECT_EQ(sent(), QStringLiteral("begin seek@22"));
}

TEST_F(ScrubberFixture, SwitchingApplicationsEndsTheSession) {
    step(0.1);
    time.drain();
    front = QStringLiteral("org.gnome.Nautilus.desktop");
    step(0.1);
    time.advanceBy(0.06);
    step(0.1);
    time.advanceBy(0.06);
    EXPECT_EQ(reports, (std::vector<Update>{BrowserVideoState{22, 60}, BrowserVideoError::changed}));
    EXPECT_EQ(sent(), QStringLiteral("begin seek@22"));
    EXPECT_FALSE(scrubber.isRunning());
}

TEST_F(ScrubberFixture, BridgeErrorsAreReportedOnce) {
    channel.setVideo(std::nullopt);
    step(0.1);
    time.drain();
    step(0.1);
    time.advanceBy(1);
    EXPECT_EQ(reports, (std::vector<Update>{BrowserVideoError::noVideo}));

    scrubber.reset();
    reports.clear();
    channel.setVideo(Video{10, 60});
    step(0.1);
    time.drain();
    channel.setVideo(Video{0, 30});  // the page moved to another video
    step(0.1);
    time.advanceBy(0.06);
    EXPECT_EQ(reports, (std::vector<Update>{BrowserVideoState{22, 60}, BrowserVideoError::changed}));
}

TEST_F(ScrubberFixture, AResetSilencesTheRunningSession) {
    channel.setHoldsReplies(true);
    step(0.1);
    time.drain();
    channel.releaseReplies();
    time.drain();  // the seek is in flight
    const QString oldToken = scrubber.token();
    scrubber.reset();
    EXPECT_NE(scrubber.token(), oldToken);
    EXPECT_FALSE(scrubber.isRunning());
    EXPECT_EQ(scrubber.pendingDistance(), 0);

    channel.releaseReplies();
    time.advanceBy(1);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(sent(), QStringLiteral("begin seek@22")) << "no end for a superseded session";
}

TEST_F(ScrubberFixture, AStepFromAnotherTrackpadStartsANewSession) {
    step(0.1);
    time.drain();
    const QString first = scrubber.token();
    step(0.05, otherPad);
    EXPECT_EQ(scrubber.device(), otherPad);
    EXPECT_NE(scrubber.token(), first);
    time.advanceBy(0.06);
    ASSERT_EQ(channel.sent().size(), 4u);
    EXPECT_EQ(channel.sent()[2].request.operation, QStringLiteral("begin"));
    EXPECT_EQ(channel.sent()[2].request.token, scrubber.token());
}

TEST_F(ScrubberFixture, IgnoresNonFiniteSteps) {
    step(std::numeric_limits<double>::quiet_NaN());
    step(std::numeric_limits<double>::infinity());
    EXPECT_FALSE(scrubber.isRunning());
    EXPECT_EQ(scrubber.device(), std::nullopt);
}

}  // namespace
}  // namespace glidra
