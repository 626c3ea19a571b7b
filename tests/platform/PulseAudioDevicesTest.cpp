#include "executors/MicrophoneMuteController.h"
#include "executors/SystemVolume.h"
#include "platform/linux/PulseAudioDevices.h"
#include "support/NoticePrinter.h"
#include "support/PrivatePulseAudio.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

namespace glidra {
namespace {

using linux_platform::PulseAudioDevices;
using test::PrivatePulseAudio;
using test::SoundServer;

constexpr int kWaitMs = 10000;

// Each test against both servers a Debian desktop runs: GNOME's PipeWire,
// which scripts/test installs, and Plasma's PulseAudio where the machine has
// it (it conflicts with GNOME's PipeWire packages, so it is never installed
// for the tests).
class PulseAudioDevicesTest : public ::testing::TestWithParam<SoundServer> {
protected:
    static void TearDownTestSuite() { servers().clear(); }

    void SetUp() override {
        const SoundServer kind = GetParam();
        if (const QString missing = PrivatePulseAudio::missing(kind); !missing.isEmpty()) {
            GTEST_SKIP() << PrivatePulseAudio::nameOf(kind) << " skipped: " << missing.toStdString();
        }
        auto& server = servers()[kind];
        if (!server) server = std::make_unique<PrivatePulseAudio>(test::ServiceAccess::ownUser, QString(), kind);
        pulse = server.get();
        ASSERT_TRUE(pulse->isRunning()) << pulse->error().toStdString();
        devices = std::make_unique<PulseAudioDevices>(pulse->server());
        ASSERT_TRUE(QTest::qWaitFor([this] { return devices->isReady(); }, kWaitMs));
    }

    // One server of each kind for the suite.
    static std::map<SoundServer, std::unique_ptr<PrivatePulseAudio>>& servers() {
        static std::map<SoundServer, std::unique_ptr<PrivatePulseAudio>> started;
        return started;
    }

    // Waits for the adapter's copy to catch up with a change made outside.
    bool waitForValue(AudioScope scope, AudioControl control, float expected) {
        return QTest::qWaitFor(
            [&] {
                const auto device = devices->defaultDevice(scope);
                return device && devices->value(*device, {control, scope, 0}) == expected;
            },
            kWaitMs);
    }

    PrivatePulseAudio* pulse = nullptr;
    std::unique_ptr<PulseAudioDevices> devices;
};

TEST_P(PulseAudioDevicesTest, VolumeStepsAndMuteReachTheDefaultSink) {
    ASSERT_TRUE(
        pulse->pactl({QStringLiteral("set-sink-volume"), QStringLiteral("glidra_out"), QStringLiteral("32768")}));
    ASSERT_TRUE(pulse->pactl({QStringLiteral("set-sink-mute"), QStringLiteral("glidra_out"), QStringLiteral("0")}));
    ASSERT_TRUE(waitForValue(AudioScope::output, AudioControl::volume, 0.5f));
    const AudioDeviceId sink = *devices->defaultDevice(AudioScope::output);
    EXPECT_NE(sink, 0u);
    EXPECT_EQ(devices->isSettable(sink, {AudioControl::volume, AudioScope::output, 2}), true);
    EXPECT_EQ(devices->isSettable(sink, {AudioControl::mute, AudioScope::output, 1}), false);
    EXPECT_EQ(devices->value(sink, {AudioControl::volume, AudioScope::output, 1}), 0.5f);

    SystemVolume volume(*devices);
    EXPECT_EQ(volume.adjustOutput(0.125f), 0.625f);
    EXPECT_EQ(volume.adjustOutput(0.125f), 0.75f) << "a quick second step builds on the first";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return pulse->volumes("sink", "glidra_out") == std::vector<int>{49152, 49152};
        },
        kWaitMs));

    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::muted);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pulse->muted("sink", "glidra_out") == true; }, kWaitMs));
    EXPECT_EQ(volume.adjustOutput(-0.0625f), 0.6875f);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pulse->muted("sink", "glidra_out") == false; }, kWaitMs))
        << "a level above zero unmutes";
}

TEST_P(PulseAudioDevicesTest, TheMicrophoneIsMutedWatchedAndRestored) {
    ASSERT_TRUE(pulse->pactl({QStringLiteral("set-source-mute"), QStringLiteral("glidra_in"), QStringLiteral("0")}));
    ASSERT_TRUE(waitForValue(AudioScope::input, AudioControl::mute, 0.0f));

    test::SimTime time;
    MicrophoneMuteController microphone(*devices, time.scheduler);
    EXPECT_EQ(microphone.toggle().kind, HUDNotice::Kind::success);
    EXPECT_TRUE(microphone.isMuted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return pulse->muted("source", "glidra_in") == true; }, kWaitMs));

    // The user unmutes it with another program.
    ASSERT_TRUE(pulse->pactl({QStringLiteral("set-source-mute"), QStringLiteral("glidra_in"), QStringLiteral("0")}));
    ASSERT_TRUE(waitForValue(AudioScope::input, AudioControl::mute, 0.0f));
    time.advanceBy(MicrophoneMuteController::kMonitorInterval);
    EXPECT_FALSE(microphone.isMuted());
    EXPECT_TRUE(microphone.isActive());

    ASSERT_TRUE(pulse->pactl({QStringLiteral("set-source-mute"), QStringLiteral("glidra_in"), QStringLiteral("1")}));
    ASSERT_TRUE(waitForValue(AudioScope::input, AudioControl::mute, 1.0f));
    EXPECT_EQ(microphone.restore().kind, HUDNotice::Kind::success);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pulse->muted("source", "glidra_in") == false; }, kWaitMs));
}

// A program that ends right after a restore must know when the server has
// it: the settled answer comes once the server does, and not before.
TEST_P(PulseAudioDevicesTest, AWriteIsSettledOnlyOnceTheServerHasIt) {
    ASSERT_TRUE(pulse->pactl({QStringLiteral("set-source-mute"), QStringLiteral("glidra_in"), QStringLiteral("0")}));
    ASSERT_TRUE(waitForValue(AudioScope::input, AudioControl::mute, 0.0f));
    const AudioDeviceId source = *devices->defaultDevice(AudioScope::input);

    EXPECT_EQ(test::waitForResult(devices->writesSettled(), kWaitMs), true) << "nothing outstanding";
    for (const float muted : {1.0f, 0.0f, 1.0f}) {
        ASSERT_TRUE(devices->setValue(source, {AudioControl::mute, AudioScope::input, 0}, muted));
    }
    auto settled = test::resultOf(devices->writesSettled());
    EXPECT_FALSE(settled->has_value()) << "the server has not answered yet";
    ASSERT_TRUE(test::waitFor(settled, kWaitMs));
    EXPECT_EQ(*settled, true);
    // Read at once: no waiting for the server to catch up.
    EXPECT_EQ(pulse->muted("source", "glidra_in"), true);
}

TEST_P(PulseAudioDevicesTest, AServerThatGoesAwayLeavesTheWaitUnsettled) {
    auto own = std::make_unique<PrivatePulseAudio>(test::ServiceAccess::ownUser, QString(), GetParam());
    ASSERT_TRUE(own->isRunning()) << own->error().toStdString();
    PulseAudioDevices adapter(own->server(), nullptr, 60000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return adapter.isReady(); }, kWaitMs));
    const AudioDeviceId sink = *adapter.defaultDevice(AudioScope::output);
    ASSERT_TRUE(adapter.setValue(sink, {AudioControl::mute, AudioScope::output, 0}, 1.0f));
    auto settled = test::resultOf(adapter.writesSettled());
    // Stopped before the adapter's event loop has sent the write.
    own.reset();
    ASSERT_TRUE(test::waitFor(settled, kWaitMs));
    EXPECT_EQ(*settled, false);
}

INSTANTIATE_TEST_SUITE_P(OnEachServer, PulseAudioDevicesTest,
                         ::testing::Values(SoundServer::pipewire, SoundServer::pulseaudio),
                         [](const ::testing::TestParamInfo<SoundServer>& info) {
                             return std::string(PrivatePulseAudio::nameOf(info.param));
                         });

TEST(PulseAudioDevicesAbsentTest, AnAbsentServerIsAskedForLessAndLessOften) {
    const struct {
        int failures;
        int delayMs;
    } cases[] = {{1, 2000}, {2, 4000}, {3, 8000}, {4, 16000}, {5, 32000}, {6, 60000}, {7, 60000}, {1000, 60000}};
    for (const auto& c : cases) {
        EXPECT_EQ(PulseAudioDevices::reconnectDelayMs(c.failures), c.delayMs) << c.failures << " failures";
    }
    EXPECT_EQ(PulseAudioDevices::reconnectDelayMs(3, 50000), 60000);
}

TEST(PulseAudioDevicesAbsentTest, AServerThatStartsLaterIsConnectedWhenItsSocketAppears) {
    QTemporaryDir runtime;
    // The socket's folder does not exist yet either, as before a first start.
    const QString folder = runtime.filePath(QStringLiteral("pulse"));
    // A minute before the next attempt: only the socket's appearing can
    // connect within the wait below.
    PulseAudioDevices devices(QStringLiteral("unix:") + folder + QStringLiteral("/native"), nullptr, 60000);
    QCoreApplication::processEvents();
    ASSERT_FALSE(devices.isReady());

    ASSERT_TRUE(QDir().mkpath(folder));
    PrivatePulseAudio pulse(test::ServiceAccess::ownUser, folder);
    if (!pulse.isRunning()) GTEST_SKIP() << "no private PulseAudio daemon: " << pulse.error().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return devices.isReady(); }, kWaitMs));
}

TEST(PulseAudioDevicesAbsentTest, NoServerMeansEveryControlFails) {
    QTemporaryDir nowhere;
    PulseAudioDevices devices(QStringLiteral("unix:") + nowhere.filePath(QStringLiteral("no-such-socket")));
    QCoreApplication::processEvents();
    EXPECT_FALSE(devices.isReady());
    EXPECT_EQ(devices.defaultDevice(AudioScope::output), std::nullopt);
    EXPECT_EQ(SystemVolume(devices).adjustOutput(0.1f), std::nullopt);
    EXPECT_EQ(SystemVolume(devices).toggleOutputMute(), SystemVolume::MuteToggle::failed);
    test::SimTime time;
    MicrophoneMuteController microphone(devices, time.scheduler);
    EXPECT_EQ(microphone.toggle().kind, HUDNotice::Kind::error);
}

}  // namespace
}  // namespace glidra
