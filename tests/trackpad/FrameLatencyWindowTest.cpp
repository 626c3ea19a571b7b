#include "trackpad/FrameLatencyWindow.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using Summary = FrameLatencyWindow::Summary;

TEST(FrameLatencyWindowTest, AMinuteOfFramesGivesItsMedianAndWorstOnce) {
    FrameLatencyWindow window;
    // Frames every 10 ms from t = 100 s, each handled 2 ms after its stamp,
    // except one slow frame of 30 ms.
    int summaries = 0;
    std::optional<Summary> summary;
    for (int i = 0; i <= 6000; ++i) {
        const double stamp = 100.0 + 0.01 * i;
        const double latency = i == 1234 ? 0.030 : 0.002;
        if (auto closed = window.add(stamp, stamp + latency)) {
            ++summaries;
            summary = closed;
        }
    }
    ASSERT_EQ(summaries, 1);
    EXPECT_NEAR(summary->median, 0.002, 1e-9);
    EXPECT_NEAR(summary->worst, 0.030, 1e-9);
    EXPECT_EQ(summary->frames, 6001u);
}

TEST(FrameLatencyWindowTest, EachWindowStartsAfreshAndTheMedianIsAMeasuredFrame) {
    FrameLatencyWindow window;
    // First window, opened when its first frame was handled: latencies 1, 5
    // and 3 ms; the third frame, handled a minute later, closes it.
    EXPECT_FALSE(window.add(0.0, 0.001));
    EXPECT_FALSE(window.add(30.0, 30.005));
    const auto first = window.add(59.998, 60.001);
    ASSERT_TRUE(first);
    EXPECT_NEAR(first->median, 0.003, 1e-9);
    EXPECT_NEAR(first->worst, 0.005, 1e-9);
    EXPECT_EQ(first->frames, 3u);

    // The next window opens at its own first frame, with none of the last.
    EXPECT_FALSE(window.add(70.0, 70.001));
    EXPECT_FALSE(window.add(100.0, 100.002));
    const auto second = window.add(130.0, 130.001);
    ASSERT_TRUE(second);
    EXPECT_NEAR(second->median, 0.001, 1e-9);
    EXPECT_NEAR(second->worst, 0.002, 1e-9);
    EXPECT_EQ(second->frames, 3u);
}

TEST(FrameLatencyWindowTest, AStampAfterItsHandlingCountsAsNoLatency) {
    FrameLatencyWindow window;
    EXPECT_FALSE(window.add(10.5, 10.0));
    const auto summary = window.add(70.0, 70.0);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->worst, 0.0);
}

TEST(FrameLatencyWindowTest, FramesBeyondTheCapacityStillCountAndKeepTheWorst) {
    FrameLatencyWindow window;
    // More frames than are stored within 50 s, the slowest after the stored
    // ones, then one frame a minute on that closes the window.
    const std::size_t frames = FrameLatencyWindow::kCapacity + 10;
    for (std::size_t i = 0; i < frames; ++i) {
        const double stamp = 50.0 * double(i) / double(frames);
        ASSERT_FALSE(window.add(stamp, stamp + (i == frames - 2 ? 0.050 : 0.004)));
    }
    const auto summary = window.add(61.0, 61.004);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->frames, frames + 1);
    EXPECT_NEAR(summary->worst, 0.050, 1e-9);
    EXPECT_NEAR(summary->median, 0.004, 1e-9);
}

}  // namespace
}  // namespace glidra
