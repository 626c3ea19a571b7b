#include "platform/linux/MprisBrowserVideoChannel.h"

#include "platform/FakeMprisPlayer.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace glidra {
namespace {

using test::FakeMprisPlayer;
using test::resultOf;
using Delivery = BrowserVideoReply::Delivery;

const QString chromium = QStringLiteral("chromium.desktop");
// Quotes, a backslash and a line break: the token never reaches a player, and
// travels whole between the requests of one session.
const QString token = QStringLiteral("to\"k'en\\\n;");

// The page-style answer as one line, e.g. {"duration":60,"time":10}.
QString body(const BrowserVideoReply& reply) {
    if (reply.delivery != Delivery::answered) return QStringLiteral("delivery %1").arg(int(reply.delivery));
    return QString::fromUtf8(QJsonDocument::fromJson(reply.body).toJson(QJsonDocument::Compact));
}

struct MprisFixture : ::testing::Test {
    test::PrivateSessionBus bus;
    std::optional<QDBusConnection> playerBus;
    std::vector<std::unique_ptr<FakeMprisPlayer>> players;
    std::optional<linux_platform::MprisBrowserVideoChannel> channel;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        channel.emplace(bus.connect(QStringLiteral("glidra-mpris-adapter")));
    }

    FakeMprisPlayer& addPlayer(const QString& suffix, const QString& desktopEntry) {
        // Each player is a client of its own, as each browser is.
        auto connection = bus.connect(QStringLiteral("glidra-mpris-player-") + suffix);
        auto player = std::make_unique<FakeMprisPlayer>();
        player->desktopEntry = desktopEntry;
        EXPECT_TRUE(player->publish(connection, suffix)) << suffix.toStdString();
        players.push_back(std::move(player));
        return *players.back();
    }

    QString send(const QString& desktopId, const QString& operation, std::optional<double> target = std::nullopt) {
        auto reply = resultOf(channel->send(desktopId, BrowserVideoRequest{operation, token, target}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return reply->has_value(); }, 20000)) << operation.toStdString();
        return reply->has_value() ? body(**reply) : QStringLiteral("no answer");
    }
};

TEST_F(MprisFixture, ScrubsTheFrontBrowsersPlayer) {
    auto& player = addPlayer(QStringLiteral("chromium.instance4242"), QStringLiteral("chromium"));
    EXPECT_EQ(send(chromium, QStringLiteral("begin")), QStringLiteral(R"({"duration":60,"time":10})"));
    EXPECT_EQ(send(chromium, QStringLiteral("seek"), 22.5), QStringLiteral(R"({"duration":60,"time":22.5})"));
    EXPECT_EQ(send(chromium, QStringLiteral("seek"), 75), QStringLiteral(R"({"duration":60,"time":60})"));
    EXPECT_EQ(player.setPositionCalls, (std::vector<FakeMprisPlayer::SetPositionCall>{{player.trackId, 22'500'000},
                                                                                      {player.trackId, 60'000'000}}));
    EXPECT_EQ(send(chromium, QStringLiteral("end")), QStringLiteral(R"({"duration":60,"time":60})"));
    EXPECT_EQ(send(chromium, QStringLiteral("seek"), 1), QStringLiteral(R"({"error":"changed"})"));
}

TEST_F(MprisFixture, ChoosesThePlayerOfTheFrontBrowser) {
    // A player that does not give its desktop entry is known by its bus name.
    auto& firefox = addPlayer(QStringLiteral("firefox.instance_1_7"), QString());
    firefox.position = 5'000'000;
    auto& pausedChromium = addPlayer(QStringLiteral("chromium.instance10"), QStringLiteral("chromium"));
    pausedChromium.playbackStatus = QStringLiteral("Paused");
    pausedChromium.position = 1'000'000;
    auto& playingChromium = addPlayer(QStringLiteral("chromium.instance11"), QStringLiteral("chromium"));
    playingChromium.position = 2'000'000;
    auto& chrome = addPlayer(QStringLiteral("chrome.instance12"), QStringLiteral("google-chrome"));
    chrome.playbackStatus = QStringLiteral("Paused");
    chrome.position = 3'000'000;

    const struct {
        const char* desktopId;
        const char* answer;
    } cases[] = {
        {"firefox-esr.desktop", R"({"duration":60,"time":5})"},
        {"firefox.desktop", R"({"duration":60,"time":5})"},
        {"chromium.desktop", R"({"duration":60,"time":2})"},       // the playing one
        {"google-chrome.desktop", R"({"duration":60,"time":3})"},  // its own, though paused
        {"vlc.desktop", "delivery 5"},                             // not a browser: never asked
    };
    for (const auto& c : cases) {
        EXPECT_EQ(send(QLatin1String(c.desktopId), QStringLiteral("begin")), QLatin1String(c.answer)) << c.desktopId;
    }
}

TEST_F(MprisFixture, AnswersAsThePageScriptDoes) {
    EXPECT_EQ(send(chromium, QStringLiteral("begin")), QStringLiteral(R"({"error":"noVideo"})"));

    auto& player = addPlayer(QStringLiteral("chromium.instance1"), QStringLiteral("chromium"));
    player.canSeek = false;
    EXPECT_EQ(send(chromium, QStringLiteral("begin")), QStringLiteral(R"({"error":"notSeekable"})"));
    player.canSeek = true;
    player.length.reset();  // a live stream
    EXPECT_EQ(send(chromium, QStringLiteral("begin")), QStringLiteral(R"({"error":"notSeekable"})"));
    player.length = 60'000'000;

    // The page moves to another video between two requests.
    EXPECT_EQ(send(chromium, QStringLiteral("begin")), QStringLiteral(R"({"duration":60,"time":10})"));
    player.trackId = QStringLiteral("/org/chromium/MediaPlayer2/TrackList/Track2");
    EXPECT_EQ(send(chromium, QStringLiteral("seek"), 20), QStringLiteral(R"({"error":"changed"})"));
    EXPECT_TRUE(player.setPositionCalls.empty());

    // The browser goes away.
    EXPECT_EQ(send(chromium, QStringLiteral("begin")), QStringLiteral(R"({"duration":60,"time":10})"));
    QDBusConnection::disconnectFromBus(QStringLiteral("glidra-mpris-player-chromium.instance1"));
    EXPECT_EQ(send(chromium, QStringLiteral("seek"), 20), QStringLiteral(R"({"error":"changed"})"));
}

TEST(MprisBrowserVideoChannelTest, WithoutASessionBusEveryRequestFails) {
    linux_platform::MprisBrowserVideoChannel channel(QDBusConnection(QStringLiteral("glidra-never-connected")));
    auto reply = resultOf(channel.send(chromium, BrowserVideoRequest{QStringLiteral("begin"), token, std::nullopt}));
    ASSERT_TRUE(reply->has_value());
    EXPECT_EQ((*reply)->delivery, Delivery::failed);
}

}  // namespace
}  // namespace glidra
