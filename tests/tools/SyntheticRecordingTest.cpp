#include "replay/Replay.h"
#include "support/FrameBuilder.h"
#include "support/RecordingBuilder.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace glidra::replay
