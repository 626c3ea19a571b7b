#include "executors/SystemVolume.h"
#include "platform/sim/SimAudioDevices.h"
#include "support/NoticePrinter.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using sim::SimAudioDevices;
using Write = SimAudioDevices::Write;

constexpr AudioDeviceId kSpeaker = 7;

AudioAddress out(AudioControl control, int element) { return {control, AudioScope::output, element}; }
const AudioAddress kMainVolume = out(AudioControl::volume, 0);
const AudioAddress kMainMute = out(AudioControl::mute, 0);
const AudioAddress kLeftVolume = out(AudioControl::volume, 1);
const AudioAddress kRightVolume = out(AudioControl::volume, 2);
const AudioAddress kLeftMute = out(AudioControl::mute, 1);
const AudioAddress kRightMute = out(AudioControl::mute, 2);

struct SystemVolumeTest : ::testing::Test {
    SimAudioDevices devices;
    SystemVolume volume{devices};

    void SetUp() override { devices.setDefaultDevice(AudioScope::output, kSpeaker); }
    float level(const AudioAddress& address) { return *devices.control(kSpeaker, address).value; }
};

TEST_F(SystemVolumeTest, AMainElementIsAdjustedAloneAndClampedToTheRange) {
    devices.addMainDevice(kSpeaker, AudioScope::output, 0.5f, false);
    devices.addStereoDevice(kSpeaker, AudioScope::output, 0.2f, 0.3f);

    EXPECT_EQ(volume.adjustOutput(0.25f), 0.75f);
    EXPECT_EQ(level(kLeftVolume), 0.2f) << "channels stay when the main element answers";
    EXPECT_EQ(level(kRightVolume), 0.3f);
    EXPECT_EQ(volume.adjustOutput(0.5f), 1.0f);
    EXPECT_EQ(volume.adjustOutput(-3.0f), 0.0f);
    EXPECT_EQ(level(kMainVolume), 0.0f);
}

TEST_F(SystemVolumeTest, ChannelsAreAdjustedWhenTheMainElementIsNotSettableAndTheirMeanIsReported) {
    struct Case {
        const char* name;
        SimAudioDevices::Control main;
    };
    for (const Case& c : {Case{"not settable", {false, 0.9f, false}}, Case{"query fails", {std::nullopt, 0.9f, false}},
                          Case{"unreadable", {true, std::nullopt, false}}}) {
        SCOPED_TRACE(c.name);
        devices.setControl(kSpeaker, kMainVolume, c.main);
        devices.addStereoDevice(kSpeaker, AudioScope::output, 0.25f, 0.5f);
        devices.clearWrites();
        EXPECT_EQ(volume.adjustOutput(0.125f), 0.5f);
        EXPECT_EQ(devices.writes(),
                  (std::vector<Write>{{kSpeaker, kLeftVolume, 0.375f}, {kSpeaker, kRightVolume, 0.625f}}));
    }
}

TEST_F(SystemVolumeTest, RaisingAboveZeroUnmutesAndLoweringToZeroLeavesTheMuteAlone) {
    devices.addMainDevice(kSpeaker, AudioScope::output, 0.0f, true);
    EXPECT_EQ(volume.adjustOutput(-0.1f), 0.0f);
    EXPECT_EQ(level(kMainMute), 1.0f);
    EXPECT_EQ(volume.adjustOutput(0.0625f), 0.0625f);
    EXPECT_EQ(level(kMainMute), 0.0f);

    devices.control(kSpeaker, kMainMute).writeFails = true;
    EXPECT_EQ(volume.adjustOutput(0.0625f), 0.125f) << "a mute that cannot be cleared does not fail the step";
}

TEST_F(SystemVolumeTest, NoAdjustableOutputGivesNothing) {
    EXPECT_EQ(volume.adjustOutput(0.1f), std::nullopt) << "a device without volume controls";

    devices.addMainDevice(kSpeaker, AudioScope::output, 0.5f, false);
    devices.setDefaultDevice(AudioScope::output, std::nullopt);
    EXPECT_EQ(volume.adjustOutput(0.1f), std::nullopt) << "the default device cannot be read";

    devices.setDefaultDevice(AudioScope::output, kSpeaker);
    devices.control(kSpeaker, kMainVolume).writeFails = true;
    EXPECT_EQ(volume.adjustOutput(0.1f), std::nullopt);
    EXPECT_TRUE(devices.writes().empty());
}

TEST_F(SystemVolumeTest, AFailedChannelWriteEndsTheStepAndKeepsWhatWasWritten) {
    devices.addStereoDevice(kSpeaker, AudioScope::output, 0.25f, 0.5f);
    devices.control(kSpeaker, kRightVolume).writeFails = true;
    EXPECT_EQ(volume.adjustOutput(0.125f), std::nullopt);
    EXPECT_EQ(level(kLeftVolume), 0.375f);
    EXPECT_EQ(level(kRightVolume), 0.5f);
}

TEST_F(SystemVolumeTest, TogglingMuteMutesUnlessEveryElementIsMutedAlready) {
    devices.addStereoDevice(kSpeaker, AudioScope::output, 0.5f, 0.5f);
    devices.control(kSpeaker, kLeftMute).value = 1.0f;
    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::muted);
    EXPECT_EQ(level(kLeftMute), 1.0f);
    EXPECT_EQ(level(kRightMute), 1.0f);
    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::unmuted);
    EXPECT_EQ(level(kLeftMute), 0.0f);
    EXPECT_EQ(level(kRightMute), 0.0f);

    devices.addMainDevice(kSpeaker, AudioScope::output, 0.5f, false);
    devices.clearWrites();
    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::muted);
    EXPECT_EQ(devices.writes(), (std::vector<Write>{{kSpeaker, kMainMute, 1.0f}}));
}

TEST_F(SystemVolumeTest, AToggleThatFailsHalfWayIsRolledBack) {
    devices.addStereoDevice(kSpeaker, AudioScope::output, 0.5f, 0.5f);
    devices.control(kSpeaker, kRightMute).writeFails = true;
    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::failed);
    EXPECT_EQ(level(kLeftMute), 0.0f);
    EXPECT_EQ(devices.writes(), (std::vector<Write>{{kSpeaker, kLeftMute, 1.0f}, {kSpeaker, kLeftMute, 0.0f}}));

    devices.setDefaultDevice(AudioScope::output, std::nullopt);
    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::failed);
    devices.setDefaultDevice(AudioScope::output, 99);
    EXPECT_EQ(volume.toggleOutputMute(), SystemVolume::MuteToggle::failed) << "a device without mute";
}

TEST(SystemVolumeNoticeTest, EachToggleResultHasItsNotice) {
    using Kind = HUDNotice::Kind;
    EXPECT_EQ(SystemVolume::muteNotice(SystemVolume::MuteToggle::muted),
              test::notice("已静音", "speaker.slash.fill", Kind::success));
    EXPECT_EQ(SystemVolume::muteNotice(SystemVolume::MuteToggle::unmuted),
              test::notice("已恢复声音", "speaker.wave.2.fill", Kind::success));
    EXPECT_EQ(SystemVolume::muteNotice(SystemVolume::MuteToggle::failed),
              test::notice("此输出设备不支持静音", "speaker.slash", Kind::error));
}

}  // namespace
}  // namespace glidra
