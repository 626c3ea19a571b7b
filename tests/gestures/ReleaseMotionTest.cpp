#include "gestures/ReleaseMotion.h"

#include <gtest/gtest.h>

#include <vector>

namespace glidra {
namespace {

// A pad of 100 x 50 mm: 0.01 across is 1 mm.
const TouchSurface kPad = TouchSurface::of(SurfaceDimensions{100, 50});

struct Sample {
    double time;
    float x;  // of finger 1, at y 0.5
    float pressure;
};

// Records one finger through `samples`, the stillness measure being how far
// it went from where it started, in millimetres.
ReleaseMotion recorded(const std::vector<Sample>& samples) {
    ReleaseMotion motion;
    float farthest = 0;
    for (const Sample& s : samples) {
        farthest = std::max(farthest, kPad.millimetres(s.x - samples.front().x, 0));
        const TouchPoint finger{1, s.x, 0.5f, s.pressure};
        motion.record(s.time, std::span(&finger, 1), farthest);
    }
    return motion;
}

TEST(ReleaseMotionTest, OnlyAFingerLeavingTheSurfaceInTheLastFortyMillisecondsIsLeftOut) {
    // Still at 0.50 until 80 ms, then moving; the touch ends at `end`.
    struct Case {
        const char* what;
        std::vector<Sample> samples;
        double end;
        float judged;
    };
    const std::vector<Sample> stillFor80 = {{0.00, 0.50f, 40}, {0.04, 0.50f, 40}, {0.08, 0.50f, 40}};
    const auto then = [&stillFor80](std::vector<Sample> more) {
        std::vector<Sample> all = stillFor80;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const Case cases[] = {
        {"nothing recorded", {}, 0.1, 0},
        {"a roll of 4 mm, pressing less and less", then({{0.09, 0.52f, 30}, {0.10, 0.54f, 20}}), 0.12, 0},
        {"the same roll pressing as hard", then({{0.09, 0.52f, 40}, {0.10, 0.54f, 40}}), 0.12, 4},
        {"the same roll pressing harder for a moment", then({{0.09, 0.52f, 45}, {0.10, 0.54f, 20}}), 0.12, 4},
        {"a roll of 8.1 mm", then({{0.09, 0.54f, 30}, {0.10, 0.581f, 20}}), 0.12, 8.1f},
        {"a roll of 7.9 mm", then({{0.09, 0.54f, 30}, {0.10, 0.579f, 20}}), 0.12, 0},
        // The frame 40 ms before the end stands for where the finger was then.
        {"motion that began before the last 40 ms", then({{0.09, 0.52f, 30}, {0.10, 0.54f, 20}}), 0.13, 2},
        {"a pad that reports no pressure",
         {{0.00, 0.50f, 0}, {0.08, 0.50f, 0}, {0.09, 0.52f, 0}, {0.10, 0.54f, 0}},
         0.12,
         0},
        {"a touch younger than 40 ms", {{0.00, 0.50f, 40}, {0.01, 0.52f, 30}, {0.02, 0.53f, 20}}, 0.03, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NEAR(recorded(c.samples).judgedStillness(c.end, kPad), c.judged, 1e-4);
    }
}

TEST(ReleaseMotionTest, AFingerThatWasNotThereFortyMillisecondsBeforeIsNoRoll) {
    ReleaseMotion motion;
    const TouchPoint one{1, 0.5f, 0.5f, 40};
    const TouchPoint both[] = {{1, 0.5f, 0.5f, 30}, {2, 0.6f, 0.5f, 30}};
    motion.record(0.00, std::span(&one, 1), 0);
    motion.record(0.05, std::span(&one, 1), 0);
    motion.record(0.09, both, 3);
    EXPECT_FLOAT_EQ(motion.judgedStillness(0.10, kPad), 3);
    motion.clear();
    EXPECT_FLOAT_EQ(motion.judgedStillness(0.10, kPad), 0);
}

TEST(ReleaseMotionTest, AtAHighFrameRateTheOldestFrameKeptStandsForTheStartOfTheWindow) {
    // 1000 frames a second: the frames kept cover less than 40 ms. Still for
    // 100 ms, then 0.1 mm a frame for 30 ms, pressing less and less.
    std::vector<Sample> samples;
    for (int i = 0; i <= 100; ++i) samples.push_back({0.001 * i, 0.50f, 40});
    for (int i = 1; i <= 30; ++i) samples.push_back({0.1 + 0.001 * i, 0.50f + 0.001f * float(i), 40 - float(i)});
    const ReleaseMotion motion = recorded(samples);
    // The oldest kept is 23 frames back: what came before it counts, 0.7 mm.
    EXPECT_NEAR(motion.judgedStillness(0.131, kPad), 0.7f, 1e-3);
}

}  // namespace
}  // namespace glidra
