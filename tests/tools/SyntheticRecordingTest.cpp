#include "replay/Replay.h"
#include "support/FrameBuilder.h"
#include "support/RecordingBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace glidra::replay {
namespace {

using test::RecordingBuilder;

// Every gesture the engine reports for a recording, joined by "; ", or "none".
std::string replayed(const RecordingBuilder& pad) {
    std::string seen;
    for (const ReplayedGesture& r : replay(pad.recording(), ReplayOptions{})) {
        seen += (seen.empty() ? "" : "; ") + test::describe(r.gesture);
    }
    return seen.empty() ? "none" : seen;
}

TEST(SyntheticRecordingTest, EventsLostInTheMiddleOfASwipeEndItWithoutAGesture) {
    // One finger slides 0.4 to the right in 20 frames; the kernel may drop
    // the events of one frame on the way.
    auto swipe = [](bool lose) {
        RecordingBuilder pad;
        for (int i = 0; i <= 20; ++i) {
            pad.place(0, 1, 0.2f + 0.02f * float(i), 0.5f).fingers(1);
            if (lose && i == 12) pad.dropped();
            pad.report(0.01 * i);
        }
        pad.lift(0).fingers(0).report(0.21);
        return pad;
    };
    EXPECT_EQ(replayed(swipe(false)), "swipe 1 right 1");
    // What the engine saw up to the loss already makes a swipe, but its end is
    // unknown: nothing is recognised rather than a guess.
    EXPECT_EQ(replayed(swipe(true)), "none");
}

TEST(SyntheticRecordingTest, AFingerCountThatFlickersMidSwipeKeepsTheGesture) {
    // Fingers 0.1 apart slide 0.3 to the right on a two-slot pad; for two
    // frames in the middle the pad counts one finger fewer. A third finger
    // exists only in the count; a second one in a slot comes back with a new
    // tracking id.
    auto swipe = [](int fingers) {
        RecordingBuilder pad;
        std::int32_t secondId = 2;
        for (int i = 0; i <= 15; ++i) {
            const float x = 0.3f + 0.02f * float(i);
            const bool flicker = i == 7 || i == 8;
            pad.place(0, 1, x, 0.4f);
            if (fingers == 2 && flicker) {
                pad.lift(1);
                secondId = 3;
            } else {
                pad.place(1, secondId, x, 0.5f);
            }
            pad.fingers(flicker ? fingers - 1 : fingers).report(0.02 * i);
        }
        pad.lift(0).lift(1).fingers(0).report(0.31);
        return pad;
    };
    EXPECT_EQ(replayed(swipe(3)), "swipe 3 right 1");
    EXPECT_EQ(replayed(swipe(2)), "swipe 2 right 1");
}

}  // namespace
}  // namespace glidra::replay
