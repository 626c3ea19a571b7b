#include "gestures/MultiTouchRecognizer.h"

#include "gestures/RecognizerRuns.h"
#include "support/FrameBuilder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace glidra {
namespace {

using test::Frame;
using test::FrameBuilder;
using test::frames;
using test::gist;
using test::run;
using Level = GestureRecognitionLevel;

// Recognised on a pad of the given size, or of unknown size.
std::string recogniseOn(std::optional<SurfaceDimensions> pad, const std::vector<Frame>& sequence,
                        Level level = Level::standard) {
    MultiTouchRecognizer recognizer;
    recognizer.recognitionLevel = level;
    recognizer.surface = TouchSurface::of(pad);
    return run(recognizer, sequence);
}

constexpr SurfaceDimensions laptopPad{73, 48};

TEST(MultiTouchRecognizerSurfaceTest, OnAPadOfKnownSizeATapMayDriftTheReferencePadsMillimetres) {
    // One finger drifts (dx, dy) millimetres in 80 ms and lifts 50 ms later
    // (so that none of the drift is its lifting). The tolerance is
    // today's travel threshold on a 160 x 100 mm pad: 4 mm across and 2.5 mm
    // up and down at the standard level, 1.5 mm up and down at the
    // deliberate one; on a larger pad it stays a fraction of the pad.
    struct Case {
        std::optional<SurfaceDimensions> pad;
        float dx;
        float dy;
        Level level;
        const char* expected;
    };
    const SurfaceDimensions large{240, 150};
    const Case cases[] = {
        {laptopPad, 0, 2.0f, Level::standard, "tap 1"},
        {laptopPad, 2.0f, 0, Level::standard, "tap 1"},
        {laptopPad, 1.5f, -1.5f, Level::standard, "tap 1"},
        {laptopPad, 0, 2.6f, Level::standard, "none"},
        {laptopPad, -4.1f, 0, Level::standard, "none"},
        {laptopPad, 0, 1.4f, Level::deliberate, "tap 1"},
        {laptopPad, 0, 1.6f, Level::deliberate, "none"},
        // The same fractions on a pad that does not say its size: as ever.
        {std::nullopt, 0, 2.0f, Level::standard, "none"},
        {std::nullopt, 2.0f, 0, Level::standard, "none"},
        // 0.025 of 150 mm is 3.75 mm.
        {large, 0, 3.7f, Level::standard, "tap 1"},
        {large, 0, 3.8f, Level::standard, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.pad ? "on a known pad" : "on an unknown pad") << " drift " << c.dx << ", "
                                        << c.dy << " " << enumRow(c.level).raw);
        const SurfaceDimensions size = c.pad.value_or(laptopPad);
        const auto sequence =
            frames().touch(1, 0.5f, 0.5f).at(0).moveBy(1, c.dx / size.width, c.dy / size.height).over(0.08, 4).up(0.13);
        EXPECT_EQ(gist(recogniseOn(c.pad, sequence, c.level)), c.expected);
    }
}

TEST(MultiTouchRecognizerSurfaceTest, OnAPadOfKnownSizeAFingerJoinsATapThatSettledAMillimetreAndAHalf) {
    // The first finger settles 1.5 mm upwards in the 20 ms before the second
    // lands; the second settles as much; one lifts 15 ms before the other.
    const float settle = 1.5f / laptopPad.height;
    const auto sequence = frames()
                              .touch(1, 0.4f, 0.5f)
                              .at(0)
                              .moveBy(1, 0, settle)
                              .over(0.02, 2)
                              .touch(2, 0.65f, 0.5f)
                              .at(0.025)
                              .moveBy(2, 0, settle)
                              .over(0.045, 2)
                              .lift(2)
                              .at(0.065)
                              .up(0.08);
    EXPECT_EQ(gist(recogniseOn(laptopPad, sequence)), "tap 2");
    EXPECT_EQ(gist(recogniseOn(std::nullopt, sequence)), "none");
}

TEST(MultiTouchRecognizerSurfaceTest, OnAPadOfKnownSizeDirectionsAreTheAnglesTheHandMade) {
    // On a 100 x 60 mm pad: 20 mm left and 7 mm up is 19 degrees off the
    // horizontal, a plain left, though as fractions (0.2, 0.117) it would be a
    // diagonal; at 40 degrees it is a diagonal either way.
    const SurfaceDimensions chromebook{100, 60};
    auto three = [](float dx, float dy) {
        FrameBuilder f;
        for (int i = 1; i <= 3; ++i) f.touch(i, 0.5f + 0.15f * float(i - 1), 0.3f);
        f.at(0);
        for (int i = 1; i <= 3; ++i) f.moveBy(i, dx, dy);
        return f.over(0.2, 10).up(0.21);
    };
    // One finger holds still while the other slides.
    auto anchored = [](float dx, float dy) {
        return frames().touch(1, 0.2f, 0.3f).touch(2, 0.7f, 0.3f).at(0).moveBy(2, dx, dy).over(0.2, 10).up(0.21);
    };
    struct Case {
        const char* what;
        std::vector<Frame> sequence;
        const char* onTheMillimetres;
        const char* onTheFractions;
    };
    const Case cases[] = {
        {"19 degrees", three(-0.2f, 7.0f / 60), "swipe 3 left", "swipe 3 upLeft"},
        {"40 degrees", three(-0.2f, 16.8f / 60), "swipe 3 upLeft", "swipe 3 upLeft"},
        {"anchored, 19 degrees", anchored(-0.2f, 7.0f / 60), "anchorSwipe 2 left", "anchorSwipe 2 upLeft"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(gist(recogniseOn(chromebook, c.sequence)), c.onTheMillimetres);
        EXPECT_EQ(gist(recogniseOn(std::nullopt, c.sequence)), c.onTheFractions);
    }
}

}  // namespace
}  // namespace glidra
