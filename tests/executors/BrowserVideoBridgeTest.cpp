#include "actions/PlaybackTime.h"
#include "executors/BrowserVideoBridge.h"

#include "platform/sim/SimBrowserVideoChannel.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using test::resultOf;
using test::SimTime;
using Delivery = BrowserVideoReply::Delivery;
using E = BrowserVideoError;
using Outcome = Result<BrowserVideoState, BrowserVideoError>;

const QString chromium = QStringLiteral("chromium.desktop");

BrowserVideoReply answered(const char* body) { return {Delivery::answered, QByteArray(body)}; }

TEST(BrowserVideoBridgeTest, MapsDeliveriesAndPageAnswers) {
    struct Case {
        BrowserVideoReply reply;
        Outcome outcome;
    };
    const Case cases[] = {
        {answered(R"({"time": 12.5, "duration": 60})"), BrowserVideoState{12.5, 60}},
        {answered(R"({"time": 60, "duration": 60, "extra": true})"), BrowserVideoState{60, 60}},
        {{Delivery::browserNotFront, {}}, Failure{E::changed}},
        {{Delivery::notFound, {}}, Failure{E::noVideo}},
        {{Delivery::notAuthorized, {}}, Failure{E::automation}},
        {{Delivery::scriptingRefused, {}}, Failure{E::javascript}},
        {{Delivery::failed, {}}, Failure{E::failed}},
        {answered(R"({"error": "noVideo"})"), Failure{E::noVideo}},
        {answered(R"({"error": "notSeekable"})"), Failure{E::notSeekable}},
        {answered(R"({"error": "changed"})"), Failure{E::changed}},
        {answered(R"({"error": "automation"})"), Failure{E::failed}},
        {answered(R"({"error": "somethingElse", "time": 1, "duration": 2})"), Failure{E::failed}},
        {answered(R"({"time": 0, "duration": 0})"), Failure{E::notSeekable}},
        {answered(R"({"time": 61, "duration": 60})"), Failure{E::notSeekable}},
        {answered(R"({"time": -1, "duration": 60})"), Failure{E::notSeekable}},
        {answered(R"({"time": 1, "duration": 3155760000})"), Failure{E::notSeekable}},
        {answered(R"({"time": 1, "duration": 1e999})"), Failure{E::failed}},  // no JSON number
        {answered(R"({"time": "1", "duration": 60})"), Failure{E::failed}},
        {answered(R"({"time": 1})"), Failure{E::failed}},
        {answered("not json"), Failure{E::failed}},
        {answered(""), Failure{E::failed}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BrowserVideoBridge::parseReply(c.reply), c.outcome) << c.reply.body.toStdString();
    }
}

TEST(BrowserVideoBridgeTest, OnlySupportedBrowsersAreAsked) {
    sim::SimBrowserVideoChannel channel;
    BrowserVideoBridge bridge(channel);
    auto outcome = resultOf(bridge.run(QStringLiteral("org.videolan.VLC.desktop"), QStringLiteral("begin"),
                                       QStringLiteral("T"), std::nullopt));
    SimTime::drain();
    EXPECT_EQ(*outcome, Outcome(Failure{E::unsupportedBrowser}));
    EXPECT_TRUE(channel.sent().empty());
}

TEST(BrowserVideoBridgeTest, ServesRequestsOneAtATimeInOrder) {
    sim::SimBrowserVideoChannel channel;
    channel.setVideo(sim::SimBrowserVideoChannel::Video{10, 60});
    channel.setHoldsReplies(true);
    BrowserVideoBridge bridge(channel);
    const QString token = QStringLiteral("tok\"en\\\n");
    auto begun = resultOf(bridge.run(chromium, QStringLiteral("begin"), token, std::nullopt));
    auto sought = resultOf(bridge.run(chromium, QStringLiteral("seek"), token, 30.0));
    SimTime::drain();
    ASSERT_EQ(channel.sent().size(), 1u) << "the seek waits for the begin's answer";

    channel.releaseReplies();
    SimTime::drain();
    EXPECT_EQ(*begun, Outcome(BrowserVideoState{10, 60}));
    ASSERT_EQ(channel.sent().size(), 2u);
    EXPECT_EQ(channel.sent()[1].request, (BrowserVideoRequest{QStringLiteral("seek"), token, 30.0}));
    EXPECT_EQ(channel.sent()[1].desktopId, chromium);

    channel.releaseReplies();
    SimTime::drain();
    EXPECT_EQ(*sought, Outcome(BrowserVideoState{30, 60}));
}

TEST(PlaybackTimeTest, FormatsMinutesAndHours) {
    struct Case {
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {5.9, "0:05"},     {65, "1:05"}, {3599.99, "59:59"},     {3600, "1:00:00"},
        {3665, "1:01:05"}, {-4, "0:00"}, {std::nan(""), "0:00"}, {36000 * 10 + 61, "100:01:01"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatPlaybackTime(c.seconds), QLatin1String(c.text)) << c.seconds;
}

}  // namespace
}  // namespace glidra
