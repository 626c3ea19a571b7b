#include "gestures/ForcePressRecognizer.h"

#include "support/FrameBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace glidra {
namespace {

using test::describe;
using test::Frame;
using test::FrameBuilder;
using test::frames;

constexpr float threshold = 350;
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

// Every force press a sequence fires, with the time of the frame that fired
// it ("forcePress 2 right 1 @0.55"), joined by "; "; "none" when none fires.
std::string run(ForcePressRecognizer& recognizer, const std::vector<Frame>& sequence, float level = threshold) {
    std::string seen;
    for (const Frame& frame : sequence) {
        if (auto pressed = recognizer.update(frame.points, frame.time, level)) {
            if (!seen.empty()) seen += "; ";
            seen += describe(pressed) + " @" + QString::number(frame.time).toStdString();
        }
    }
    return seen.empty() ? "none" : seen;
}

std::string run(const std::vector<Frame>& sequence, float level = threshold) {
    ForcePressRecognizer recognizer;
    return run(recognizer, sequence, level);
}

TEST(ForcePressRecognizerTest, FiresOnceAfterTheDwellAtOrAboveThreshold) {
    struct Case {
        const char* what;
        std::vector<Frame> sequence;
        const char* expected;
    };
    const Case cases[] = {
        {"pressure equal to the threshold counts",
         frames().touch(1, 0.5f, 0.5f, threshold).at(0).at(0.02).at(0.039).at(0.04).at(0.06),
         "forcePress 1 right 1 @0.04"},
        {"pressure just below never does",
         frames().touch(1, 0.5f, 0.5f, std::nextafter(threshold, 0.0f)).at(0).at(0.04).at(0.5), "none"},
        {"the firmest finger decides", frames().touch(1, 0.4f, 0.5f, 10).touch(2, 0.6f, 0.5f, 400).at(0).at(0.05),
         "forcePress 2 right 1 @0.05"},
        {"a dip below restarts the dwell",
         frames()
             .touch(1, 0.5f, 0.5f, 400)
             .at(0)
             .at(0.02)
             .press(1, 300)
             .at(0.03)
             .press(1, 400)
             .at(0.05)
             .at(0.07)
             .at(0.1),
         "forcePress 1 right 1 @0.1"},
        {"a joining finger restarts the dwell",
         frames().touch(1, 0.5f, 0.5f, 400).at(0).touch(2, 0.6f, 0.5f, 0).at(0.03).at(0.05).at(0.08),
         "forcePress 2 right 1 @0.08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run(c.sequence), c.expected);
    }
}

TEST(ForcePressRecognizerTest, FingersLandingTogetherPressOnceUntilTheyLift) {
    // The second finger lands 0.1 s after the first; both drift by 0.05.
    const std::vector<Frame> press = frames()
                                         .touch(1, 0.4f, 0.5f, 50)
                                         .at(0)
                                         .touch(2, 0.6f, 0.5f, 50)
                                         .at(0.1)
                                         .moveBy(1, 0.05f, 0)
                                         .moveBy(2, 0, 0.05f)
                                         .over(0.4, 6)
                                         .press(2, threshold)
                                         .at(0.5)
                                         .at(0.55)
                                         .at(0.6)
                                         .at(0.7);
    ForcePressRecognizer recognizer;
    EXPECT_EQ(run(recognizer, press), "forcePress 2 right 1 @0.55");
    EXPECT_TRUE(recognizer.hasTriggered);

    // Lifting resets it, so the next press fires again.
    EXPECT_EQ(run(recognizer, frames().up(0.8)), "none");
    EXPECT_FALSE(recognizer.hasTriggered);
    EXPECT_EQ(run(recognizer, frames().touch(1, 0.5f, 0.5f, 400).at(1.0).at(1.05)), "forcePress 1 right 1 @1.05");
}

TEST(ForcePressRecognizerTest, AnythingButAStillPressCancelsUntilTheLift) {
    // Each sequence presses firmly for long enough; only the fault stops it.
    auto pressWith = [](auto&& fault) {
        FrameBuilder f;
        f.touch(1, 0.0f, 0.5f, 400).touch(2, 0.3f, 0.5f, 400).at(0);
        fault(f);
        return f.at(0.2).at(0.3).build();
    };
    struct Case {
        const char* what;
        std::vector<Frame> sequence;
        float level = threshold;
    };
    const Case cases[] = {
        {"a finger added 0.2 s later", pressWith([](FrameBuilder& f) { f.touch(3, 0.6f, 0.5f).at(0.2); })},
        {"one of two fingers lifts", pressWith([](FrameBuilder& f) { f.at(0.01).lift(2).at(0.02); })},
        {"a finger swapped for another",
         pressWith([](FrameBuilder& f) { f.at(0.01).lift(2).touch(3, 0.3f, 0.5f, 400).at(0.02); })},
        {"a slide of 0.06", pressWith([](FrameBuilder& f) { f.moveTo(1, 0.06f, 0.5f).at(0.01); })},
        {"a negative pressure", pressWith([](FrameBuilder& f) { f.press(2, -1).at(0.01); })},
        {"a pressure that is not a number", pressWith([](FrameBuilder& f) { f.press(2, nan).at(0.01); })},
        {"five contacts",
         pressWith([](FrameBuilder& f) { f.touch(3, 0.5f, 0.1f).touch(4, 0.6f, 0.1f).touch(5, 0.7f, 0.1f).at(0.01); })},
        {"a contact beyond the edge", pressWith([](FrameBuilder& f) { f.moveTo(1, -0.01f, 0.5f).at(0.01); })},
        {"a timestamp that is not finite",
         pressWith([](FrameBuilder& f) { f.at(std::numeric_limits<double>::infinity()); })},
        {"a threshold of 0", pressWith([](FrameBuilder&) {}), 0},
        {"a threshold that is not a number", pressWith([](FrameBuilder&) {}), nan},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(run(c.sequence, c.level), "none");
    }
    // The same press without a fault, and with a slide just short of 0.06.
    EXPECT_EQ(run(pressWith([](FrameBuilder&) {})), "forcePress 2 right 1 @0.2");
    EXPECT_EQ(run(pressWith([](FrameBuilder& f) { f.moveTo(1, std::nextafter(0.06f, 0.0f), 0.5f).at(0.01); })),
              "forcePress 2 right 1 @0.2");
}

}  // namespace
}  // namespace glidra
