#include "gestures/MultiTouchRecognizer.h"
#include "gestures/TrackpadClickRecognizer.h"
#include "platform/evdev/DriverTouchLists.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/FrameAssembler.h"

#include "support/FrameBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glidra {
namespace {

// What the recognizers make of a real touchpad recording: every gesture
// reported, in order, joined by "; " ("none" when nothing is). Physical
// presses go through the click recognizer the way the click monitor drives it.
// Both judge the pad by the size its axes give, as the engine does.
std::string replay(const std::string& name) {
    const auto read =
        evdev::EvemuReader::readFile(std::string(GLIDRA_TEST_DATA_DIR) + "/recordings/" + name + ".events");
    if (!read.ok()) return "unreadable: " + read.error().describe();

    const TouchSurface surface = TouchSurface::of(read.recording().device.surfaceDimensions());
    MultiTouchRecognizer recognizer;
    recognizer.surface = surface;
    TrackpadClickRecognizer clicks;
    std::string seen;
    auto report = [&seen](const std::optional<GestureDescriptor>& gesture) {
        if (gesture) seen += (seen.empty() ? "" : "; ") + test::describe(gesture);
    };
    for (const evdev::Frame& frame : evdev::FrameAssembler::assemble(read.recording())) {
        // What the bridge keeps of what a touchpad source delivers: the
        // touching contacts.
        for (const std::vector<DriverTouch>& touches : evdev::driverTouchLists(frame)) {
            std::vector<TouchPoint> points;
            for (const DriverTouch& t : touches) {
                if (t.state == 4) points.push_back(TouchPoint{t.identifier, t.x, t.y, t.pressure});
            }
            report(recognizer.update(points, std::nullopt, frame.time));
            clicks.update(points, frame.time, surface);
        }
        for (const evdev::Frame::ButtonChange& change : frame.buttonChanges) {
            if (change.pressed) {
                clicks.hasClaimedContactSession = true;
                clicks.downTime = frame.time;
                clicks.origins = clicks.points;
                clicks.dragged = false;
            } else {
                report(clicks.resolve(frame.time));
            }
        }
    }
    return seen.empty() ? "none" : seen;
}

TEST(RecordingReplayTest, RecognisesWhatThePersonDid) {
    struct Case {
        const char* recording;
        const char* expected;
    };
    const Case cases[] = {
        {"CyPS2_Cypress_Trackpad.two_finger_tap", "tap 2 down 1"},
        // The pad has two slots; the third finger exists only in its finger
        // count, and still counts.
        {"CyPS2_Cypress_Trackpad.three_finger_tap", "tap 3 left 1"},
        // Fingers resting, then a physical press: a click, not a tap.
        {"CyPS2_Cypress_Trackpad.two_finger_press", "click 2 right 1"},
        {"CyPS2_Cypress_Trackpad.three_finger_press", "click 3 right 1"},
        {"AlpsPS2_ALPS_GlidePoint.right-edge-scroll", "swipe 1 up 1"},
        // The fingers rest half a second before sliding, which makes it a
        // hold-swipe by the recognizer's rules.
        {"Wacom_Bamboo_16FG_4x5_Finger_double-top-swipe", "holdSwipe 2 right 1"},
        // Half a second at rest, then two turns that end about 0.26 from the
        // start: too open for a circle, far enough for a (hold-)swipe.
        {"Wacom_Bamboo_16FG_4x5_Finger_single-center-circle", "holdSwipe 1 up 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recording);
        EXPECT_EQ(replay(c.recording), c.expected);
    }
}

TEST(RecordingReplayTest, ScrollingIsNeverATap) {
    for (const char* recording : {
             "SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-horizontal",
             "SynPS2_Synaptics_TouchPad.hp8470p.edge-scroll-vertical",
             "SynPS2_Synaptics_TouchPad.hp8470p.two-finger-scroll-horizontal",
             "SynPS2_Synaptics_TouchPad.two-finger-vert-scroll",
         }) {
        const std::string seen = replay(recording);
        EXPECT_EQ(seen.find("unreadable"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("tap"), std::string::npos) << recording << ": " << seen;
    }
}

TEST(RecordingReplayTest, AlpsLandingJitterIsNotReadAsAGesture) {
    // The person tapped (once, twice, with two fingers), but this pad reports
    // each landing as a slide of 0.04 to 0.09 within 20 ms, beyond the travel
    // threshold of every level: the recognizer reports nothing rather than a
    // wrong gesture.
    for (const char* recording : {
             "AlpsPS2_ALPS_GlidePoint.single-tap",
             "AlpsPS2_ALPS_GlidePoint.double-tap",
             "AlpsPS2_ALPS_GlidePoint.2-finger-tap",
         }) {
        EXPECT_EQ(replay(recording), "none") << recording;
    }
}

}  // namespace
}  // namespace glidra
