#include "executors/MicrophoneMuteController.h"
#include "platform/sim/SimAudioDevices.h"
#include "support/NoticePrinter.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;
using sim::SimAudioDevices;

constexpr AudioDeviceId kMicrophone = 3;
const AudioAddress kMute{AudioControl::mute, AudioScope::input, 0};
const AudioAddress kVolume{AudioControl::volume, AudioScope::input, 0};

const HUDNotice kMuted = test::notice("麦克风已静音", "mic.slash.fill", Kind::success);
const HUDNotice kRestored = test::notice("已恢复麦克风", "mic", Kind::success);
const HUDNotice kFailed = test::notice("无法切换麦克风静音", "mic.slash", Kind::error);

struct MicrophoneMuteControllerTest : ::testing::Test {
    test::SimTime time;
    SimAudioDevices devices;
    MicrophoneMuteController microphone{devices, time.scheduler};

    void SetUp() override {
        devices.setDefaultDevice(AudioScope::input, kMicrophone);
        devices.addMainDevice(kMicrophone, AudioScope::input, 0.75f, false);
    }
    float value(const AudioAddress& address) { return *devices.control(kMicrophone, address).value; }
};

TEST_F(MicrophoneMuteControllerTest, TheMuteSwitchSilencesAndRestoreUnmutes) {
    EXPECT_EQ(microphone.toggle(), kMuted);
    EXPECT_TRUE(microphone.isActive());
    EXPECT_TRUE(microphone.isMuted());
    EXPECT_EQ(value(kMute), 1.0f);
    EXPECT_EQ(value(kVolume), 0.75f) << "the volume is not touched";

    EXPECT_EQ(microphone.toggle(), kRestored);
    EXPECT_FALSE(microphone.isActive());
    EXPECT_FALSE(microphone.isMuted());
    EXPECT_EQ(value(kMute), 0.0f);
    EXPECT_EQ(time.scheduler.pendingCount(), 0u) << "the checks stop";
}

TEST_F(MicrophoneMuteControllerTest, TheVolumeStandsInWhenTheMuteSwitchCannotBeTakenOver) {
    struct Case {
        const char* name;
        SimAudioDevices::Control mute;
    };
    for (const Case& c : {Case{"not settable", {false, 0.0f, false}}, Case{"query fails", {std::nullopt, 0.0f, false}},
                          Case{"unreadable", {true, std::nullopt, false}}, Case{"write fails", {true, 0.0f, true}},
                          Case{"muted already", {true, 1.0f, false}}}) {
        SCOPED_TRACE(c.name);
        devices.setControl(kMicrophone, kMute, c.mute);
        devices.control(kMicrophone, kVolume).value = 0.75f;
        EXPECT_EQ(microphone.toggle(), kMuted);
        EXPECT_EQ(value(kVolume), 0.0f);
        EXPECT_EQ(microphone.restore(), kRestored);
        EXPECT_EQ(value(kVolume), 0.75f) << "the previous volume comes back exactly";
        EXPECT_EQ(devices.control(kMicrophone, kMute).value, c.mute.value);
    }
}

TEST_F(MicrophoneMuteControllerTest, NothingToSilenceGivesTheErrorAndChangesNothing) {
    struct Case {
        const char* name;
        void (*arrange)(SimAudioDevices&);
    };
    const Case cases[] = {
        {"no default input", [](SimAudioDevices& d) { d.setDefaultDevice(AudioScope::input, 0); }},
        {"default input unreadable", [](SimAudioDevices& d) { d.setDefaultDevice(AudioScope::input, std::nullopt); }},
        {"muted and at zero",
         [](SimAudioDevices& d) {
             d.control(kMicrophone, kMute).value = 1.0f;
             d.control(kMicrophone, kVolume).value = 0.0f;
         }},
        {"no settable control",
         [](SimAudioDevices& d) {
             d.control(kMicrophone, kMute).settable = false;
             d.control(kMicrophone, kVolume).settable = false;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::SimTime caseTime;
        SimAudioDevices caseDevices;
        caseDevices.setDefaultDevice(AudioScope::input, kMicrophone);
        caseDevices.addMainDevice(kMicrophone, AudioScope::input, 0.75f, false);
        c.arrange(caseDevices);
        MicrophoneMuteController caseMicrophone(caseDevices, caseTime.scheduler);
        EXPECT_EQ(caseMicrophone.toggle(), kFailed);
        EXPECT_FALSE(caseMicrophone.isActive());
        EXPECT_TRUE(caseDevices.writes().empty());
        EXPECT_EQ(caseTime.scheduler.pendingCount(), 0u);
    }
}

TEST_F(MicrophoneMuteControllerTest, TheChecksFollowTheDeviceWithoutWritingToIt) {
    microphone.toggle();
    devices.clearWrites();

    // The user unmutes in the system's sound settings.
    devices.control(kMicrophone, kMute).value = 0.0f;
    time.advanceBy(0.4);
    EXPECT_TRUE(microphone.isMuted()) << "seen at the next check, not before";
    time.advanceBy(0.1);
    EXPECT_FALSE(microphone.isMuted());
    EXPECT_TRUE(microphone.isActive());

    devices.control(kMicrophone, kMute).value = 1.0f;
    time.advanceBy(0.5);
    EXPECT_TRUE(microphone.isMuted());

    // Another default input: the held device no longer counts as silent.
    devices.addMainDevice(9, AudioScope::input, 0.5f, false);
    devices.setDefaultDevice(AudioScope::input, 9);
    time.advanceBy(0.5);
    EXPECT_FALSE(microphone.isMuted());
    EXPECT_TRUE(devices.writes().empty());

    // The old device is still the one restored.
    EXPECT_EQ(microphone.restore(), kRestored);
    EXPECT_EQ(value(kMute), 0.0f);
}

TEST_F(MicrophoneMuteControllerTest, RestoreLeavesADeviceTheUserChangedAsItIs) {
    microphone.toggle();
    devices.control(kMicrophone, kMute).value = 0.0f;
    devices.clearWrites();
    EXPECT_EQ(microphone.restore(), kRestored);
    EXPECT_TRUE(devices.writes().empty());
}

TEST_F(MicrophoneMuteControllerTest, AFailedRestoreKeepsTheHoldAndTheChecks) {
    microphone.toggle();
    devices.control(kMicrophone, kMute).writeFails = true;
    EXPECT_EQ(microphone.restore(), kFailed);
    EXPECT_TRUE(microphone.isActive());
    time.advanceBy(0.5);
    EXPECT_TRUE(microphone.isMuted());
    EXPECT_EQ(time.scheduler.pendingCount(), 1u);

    devices.control(kMicrophone, kMute).writeFails = false;
    devices.control(kMicrophone, kMute).value = std::nullopt;
    EXPECT_EQ(microphone.toggle(), kFailed) << "an unreadable device cannot be restored";

    devices.control(kMicrophone, kMute).value = 1.0f;
    EXPECT_EQ(microphone.toggle(), kRestored);
    EXPECT_EQ(value(kMute), 0.0f);
}

TEST_F(MicrophoneMuteControllerTest, RestoringWhenIdleTouchesNothing) {
    EXPECT_EQ(microphone.restore(), kRestored);
    EXPECT_TRUE(devices.writes().empty());
}

}  // namespace
}  // namespace glidra
