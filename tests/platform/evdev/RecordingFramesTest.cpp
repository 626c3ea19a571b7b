#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/FrameAssembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace glidra::evdev {
namespace {

const std::string kRecordings = std::string(GLIDRA_TEST_DATA_DIR) + "/recordings/";

Recording load(const std::string& name) {
    auto result = EvemuReader::readFile(kRecordings + name + ".events", {.requireMultitouch = true});
    if (!result.ok()) ADD_FAILURE() << name << ": " << result.error().describe();
    return result.ok() ? std::move(result).recording() : Recording{};
}

// Touch sessions: runs of frames in which some contact touches.
int sessionCount(const std::vector<Frame>& frames) {
    int sessions = 0;
    int previous = 0;
    for (const auto& f : frames) {
        if (f.touchingCount() > 0 && previous == 0) ++sessions;
        previous = f.touchingCount();
    }
    return sessions;
}

int maxTouching(const std::vector<Frame>& frames) {
    int most = 0;
    for (const auto& f : frames) most = std::max(most, f.touchingCount());
    return most;
}

std::vector<const Frame::Contact*> touchingContacts(const std::vector<Frame>& frames) {
    std::vector<const Frame::Contact*> out;
    for (const auto& f : frames) {
        for (const auto& c : f.contacts) {
            if (c.touching) out.push_back(&c);
        }
    }
    return out;
}

TEST(RecordingFramesTest, EveryBundledRecordingReadsAndAssembles) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kRecordings)) {
        if (entry.path().extension() != ".events") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        const auto result = EvemuReader::readFile(entry.path().string(), {.requireMultitouch = true});
        ASSERT_TRUE(result.ok()) << result.error().describe();
        const Recording& recording = result.recording();
        EXPECT_TRUE(recording.hasDeviceHeader);
        EXPECT_FALSE(recording.device.hasDerivedAxes());
        EXPECT_EQ(recording.events.front().time, 0.0);

        const auto frames = FrameAssembler::assemble(recording);
        ASSERT_FALSE(frames.empty());
        double previous = 0;
        for (const auto& f : frames) {
            EXPECT_GE(f.time, previous);
            previous = f.time;
            EXPECT_FALSE(f.interrupted);
            for (const auto& c : f.contacts) {
                EXPECT_TRUE(c.x >= 0 && c.x <= 1 && c.y >= 0 && c.y <= 1) << c.x << ", " << c.y << " at " << f.time;
                // None of these pads measures force: no touch may look like a force press.
                EXPECT_TRUE(c.pressure >= 0 && c.pressure < 200) << c.pressure;
            }
        }
        EXPECT_EQ(frames.back().touchingCount(), 0) << "every recording ends with the fingers lifted";

        // The reader assembles into one frame it keeps: the same frames.
        FrameAssembler assembler(recording.device, FrameAssembler::optionsFor(recording));
        Frame kept;
        std::size_t closed = 0;
        for (const auto& event : recording.events) {
            if (!assembler.feed(event, kept)) continue;
            ASSERT_LT(closed, frames.size());
            EXPECT_EQ(kept, frames[closed]) << "frame " << closed;
            ++closed;
        }
        EXPECT_EQ(closed, frames.size());
    }
    EXPECT_EQ(files, 14);
}

struct Expected {
    const char* name;
    int sessions;
    int maxFingers;
};

class RecordingCountsTest : public testing::TestWithParam<Expected> {};

TEST_P(RecordingCountsTest, ContactCountsMatchWhatTheFingersDid) {
    const auto& expected = GetParam();
    const auto frames = FrameAssembler::assemble(load(expected.name));
    EXPECT_EQ(sessionCount(frames), expected.sessions);
    EXPECT_EQ(maxTouching(frames), expected.maxFingers);
}

INSTANTIATE_TEST_SUITE_P(Recordings, RecordingCountsTest,
                         testing::Values(Expected{"CyPS2_Cypress_Trackpad.two_finger_tap", 1, 2},
                                         Expected{"CyPS2_Cypress_Trackpad.three_finger_tap", 1, 3},
                                         Expected{"CyPS2_Cypress_Trackpad.two_finger_press", 1, 2},
                                         Expected{"CyPS2_Cypress_Trackpad.three_finger_press", 1, 3},
                                         Expected{"AlpsPS2_ALPS_GlidePoint.single-tap", 1, 1},
                                         Expected{"AlpsPS2_ALPS_GlidePoint.double-tap", 2, 1},
                                         Expected{"AlpsPS2_ALPS_GlidePoint.2-finger-tap", 1, 2},
                                         Expected{"AlpsPS2_ALPS_GlidePoint.right-edge-scroll", 1, 1},
                                         Expected{"SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-vertical", 1, 1},
                                         Expected{"SynPS2_Synaptics_TouchPad.two-finger-vert-scroll", 1, 2},
                                         Expected{"Wacom_Bamboo_16FG_4x5_Finger_double-top-swipe", 1, 2},
                                         Expected{"Wacom_Bamboo_16FG_4x5_Finger_single-center-circle", 1, 1}),
                         [](const testing::TestParamInfo<Expected>& info) {
                             std::string name = info.param.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

TEST(RecordingFramesTest, TapsTouchWithAllTheirFingersAtOnce) {
    for (const auto& [name, fingers] : {std::pair{"CyPS2_Cypress_Trackpad.two_finger_tap", 2},
                                        std::pair{"CyPS2_Cypress_Trackpad.three_finger_tap", 3},
                                        std::pair{"AlpsPS2_ALPS_GlidePoint.single-tap", 1}}) {
        SCOPED_TRACE(name);
        const auto frames = FrameAssembler::assemble(load(name));
        ASSERT_FALSE(frames.empty());
        for (std::size_t i = 0; i + 1 < frames.size(); ++i) EXPECT_EQ(frames[i].touchingCount(), fingers) << i;
        EXPECT_LT(frames.back().time, 0.3) << "a tap is short";
    }
}

TEST(RecordingFramesTest, APadWhoseAxesGiveTheirResolutionHasAKnownSize) {
    struct Case {
        const char* recording;
        std::optional<SurfaceDimensions> size;
    };
    const Case cases[] = {
        // 1600 units at 16 a millimetre by 900 at 15.
        {"CyPS2_Cypress_Trackpad.two_finger_tap", SurfaceDimensions{100, 60}},
        // No resolution in the header.
        {"AlpsPS2_ALPS_GlidePoint.single-tap", std::nullopt},
        {"SynPS2_Synaptics_TouchPad.two-finger-vert-scroll", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recording);
        EXPECT_EQ(load(c.recording).device.surfaceDimensions(), c.size);
    }
    // A range without extent or a negative resolution says nothing.
    DeviceDescription device;
    device.axes[kAbsMtPositionX] = AxisRange{0, 1000, 0, 0, 10};
    device.axes[kAbsMtPositionY] = AxisRange{500, 500, 0, 0, 10};
    EXPECT_EQ(device.surfaceDimensions(), std::nullopt);
    device.axes[kAbsMtPositionY] = AxisRange{0, 600, 0, 0, -10};
    EXPECT_EQ(device.surfaceDimensions(), std::nullopt);
    device.axes[kAbsMtPositionY] = AxisRange{-300, 300, 0, 0, 10};
    EXPECT_EQ(device.surfaceDimensions(), (SurfaceDimensions{100, 60}));
}

TEST(RecordingFramesTest, TheThirdFingerOfATwoSlotPadComesFromTheFingerCount) {
    const Recording recording = load("CyPS2_Cypress_Trackpad.three_finger_tap");
    ASSERT_EQ(recording.device.slotCount(), 2);
    const auto frames = FrameAssembler::assemble(recording);
    const auto& first = frames.front().contacts;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_FALSE(first[0].synthesized);
    // Slot 1 names its finger but never places it: with the count beyond the
    // slots, it is counted, like the third one, where the placed finger is.
    for (const auto& counted : {first[1], first[2]}) {
        EXPECT_TRUE(counted.synthesized);
        EXPECT_GE(counted.id, Frame::kSyntheticIdBase);
        EXPECT_FALSE(counted.positionKnown);
        EXPECT_EQ(counted.x, first[0].x);
    }
    for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
        EXPECT_EQ(frames[i].contacts[1].id, first[1].id);
        EXPECT_EQ(frames[i].contacts[2].id, first[2].id);
    }
}

TEST(RecordingFramesTest, TheAlpsSecondFingerArrivesLate) {
    const auto frames = FrameAssembler::assemble(load("AlpsPS2_ALPS_GlidePoint.2-finger-tap"));
    EXPECT_EQ(frames.front().touchingCount(), 1);
    EXPECT_EQ(frames[2].touchingCount(), 2);
}

TEST(RecordingFramesTest, PhysicalPressesArriveWhileTheFingersRest) {
    for (const auto& [name, fingers] : {std::pair{"CyPS2_Cypress_Trackpad.two_finger_press", 2},
                                        std::pair{"CyPS2_Cypress_Trackpad.three_finger_press", 3}}) {
        SCOPED_TRACE(name);
        const auto frames = FrameAssembler::assemble(load(name));
        std::vector<std::pair<Frame::ButtonChange, int>> changes;
        for (const auto& f : frames) {
            for (const auto& change : f.buttonChanges) changes.emplace_back(change, f.touchingCount());
        }
        ASSERT_EQ(changes.size(), 2u);
        EXPECT_EQ(changes[0].first, (Frame::ButtonChange{Frame::Button::right, true}));
        EXPECT_EQ(changes[0].second, fingers);
        EXPECT_FALSE(changes[1].first.pressed);
        EXPECT_FALSE(frames.back().buttons.right);
    }
}

TEST(RecordingFramesTest, EdgeScrollsRunAlongTheirEdges) {
    {
        SCOPED_TRACE("right edge, upwards");
        const auto frames = FrameAssembler::assemble(load("AlpsPS2_ALPS_GlidePoint.right-edge-scroll"));
        const auto touching = touchingContacts(frames);
        ASSERT_FALSE(touching.empty());
        for (const auto* c : touching) EXPECT_GT(c->x, 0.8f);
        EXPECT_GT(touching.back()->y - touching.front()->y, 0.5f) << "the device counts y downwards; ours goes up";
    }
    {
        SCOPED_TRACE("right edge, up and down");
        const auto frames = FrameAssembler::assemble(load("SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-vertical"));
        const auto touching = touchingContacts(frames);
        ASSERT_FALSE(touching.empty());
        const auto [low, high] = std::minmax_element(touching.begin(), touching.end(),
                                                     [](const auto* a, const auto* b) { return a->y < b->y; });
        EXPECT_GT((*high)->y - (*low)->y, 0.5f);
        for (const auto* c : touching) EXPECT_GT(c->x, 0.9f);
    }
    {
        SCOPED_TRACE("bottom edge");
        const auto frames = FrameAssembler::assemble(load("SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-horizontal"));
        EXPECT_EQ(sessionCount(frames), 4);
        // The first session is the long slide along the bottom.
        float minX = 1;
        float maxX = 0;
        for (const auto& f : frames) {
            if (f.time > 1.6) break;
            for (const auto& c : f.contacts) {
                if (!c.touching) continue;
                EXPECT_LT(c.y, 0.15f);
                minX = std::min(minX, c.x);
                maxX = std::max(maxX, c.x);
            }
        }
        EXPECT_GT(maxX - minX, 0.7f);
    }
}

TEST(RecordingFramesTest, ScrollsKeepTheirContacts) {
    const auto frames = FrameAssembler::assemble(load("SynPS2_Synaptics_TouchPad.two-finger-vert-scroll"));
    std::vector<std::int32_t> ids;
    float minY = 1;
    float maxY = 0;
    for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
        const auto& contacts = frames[i].contacts;
        ASSERT_EQ(frames[i].touchingCount(), 2) << frames[i].time;
        std::vector<std::int32_t> now{contacts[0].id, contacts[1].id};
        if (ids.empty()) ids = now;
        EXPECT_EQ(now, ids) << "the same two fingers throughout";
        const float y = (contacts[0].y + contacts[1].y) / 2;
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    EXPECT_GT(maxY - minY, 0.15f);

    const auto horizontal =
        FrameAssembler::assemble(load("SynPS2_Synaptics_TouchPad.hp8470p.two-finger-scroll-horizontal"));
    EXPECT_EQ(maxTouching(horizontal), 2);
    EXPECT_EQ(sessionCount(horizontal), 2);
}

TEST(RecordingFramesTest, TheTopSwipeCrossesThePadInTheUpperHalf) {
    const auto frames = FrameAssembler::assemble(load("Wacom_Bamboo_16FG_4x5_Finger_double-top-swipe"));
    const auto touching = touchingContacts(frames);
    ASSERT_FALSE(touching.empty());
    for (const auto* c : touching) EXPECT_GT(c->y, 0.5f);
    EXPECT_LT(touching.front()->x, 0.1f);
    EXPECT_GT(touching.back()->x, 0.9f);
}

TEST(RecordingFramesTest, TheCircleTurnsAboutTwice) {
    const auto frames = FrameAssembler::assemble(load("Wacom_Bamboo_16FG_4x5_Finger_single-center-circle"));
    const auto touching = touchingContacts(frames);
    ASSERT_GT(touching.size(), 10u);
    double cx = 0;
    double cy = 0;
    for (const auto* c : touching) {
        cx += c->x;
        cy += c->y;
    }
    cx /= static_cast<double>(touching.size());
    cy /= static_cast<double>(touching.size());
    double turned = 0;
    double previous = std::atan2(touching.front()->y - cy, touching.front()->x - cx);
    for (const auto* c : touching) {
        const double angle = std::atan2(c->y - cy, c->x - cx);
        turned += std::remainder(angle - previous, 2 * std::numbers::pi);
        previous = angle;
    }
    const double turns = std::abs(turned) / (2 * std::numbers::pi);
    EXPECT_GT(turns, 1.5);
    EXPECT_LT(turns, 3.0);
}

TEST(RecordingFramesTest, PositionsOutsideTheAdvertisedRangeAreClamped) {
    const Recording recording = load("SynPS2_Synaptics_TouchPad.hp8470p.two-finger-scroll-horizontal");
    const AxisRange x = *recording.device.axis(kAbsMtPositionX);
    const bool beyond = std::any_of(recording.events.begin(), recording.events.end(), [&](const EvdevEvent& e) {
        return e.type == kEvAbs && e.code == kAbsMtPositionX && e.value < x.minimum;
    });
    ASSERT_TRUE(beyond) << "the recording reports x left of its advertised minimum";
    const auto frames = FrameAssembler::assemble(recording);
    const bool atEdge = std::any_of(frames.begin(), frames.end(), [](const Frame& f) {
        return std::any_of(f.contacts.begin(), f.contacts.end(), [](const auto& c) { return c.x == 0.0f; });
    });
    EXPECT_TRUE(atEdge);
}

TEST(RecordingFramesTest, ASynapticsFingerHoversAfterLiftingOff) {
    // The pad keeps tracking a finger that leaves the surface: BTN_TOUCH goes
    // up while the slot keeps its tracking id.
    const auto frames = FrameAssembler::assemble(load("SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-vertical"));
    const auto lifted =
        std::find_if(frames.begin(), frames.end(), [](const Frame& f) { return f.touchingCount() == 0; });
    ASSERT_NE(lifted, frames.end());
    ASSERT_EQ(lifted->contacts.size(), 1u);
    EXPECT_FALSE(lifted->contacts[0].touching);
    EXPECT_EQ(lifted->contacts[0].id, frames.front().contacts[0].id);
    EXPECT_TRUE(frames.back().contacts.empty()) << "and then leaves";
}

}  // namespace
}  // namespace glidra::evdev
