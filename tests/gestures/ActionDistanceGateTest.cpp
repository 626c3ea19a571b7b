#include "gestures/ActionDistanceGate.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace glidra {
namespace {

using T = GestureTrigger;

struct Step {
    T trigger;
    int percent;
    float delta;
};

// "F" or "T" for every step, in order.
std::string run(ActionDistanceGate& gate, const std::vector<Step>& steps) {
    std::string seen;
    for (const Step& s : steps) seen += gate.passes(s.trigger, s.percent, s.delta) ? 'T' : 'F';
    return seen;
}

TEST(ActionDistanceGateTest, AccumulatesPerTriggerUntilTheSlideDistance) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* expected;
        float distance;  // afterwards
    };
    const Case cases[] = {
        {"12 % is reached by 0.05 + 0.05 + 0.02",
         {{T::topRight, 12, 0.05f}, {T::topRight, 12, 0.05f}, {T::topRight, 12, 0.02f}},
         "FFT",
         0.12f},
        {"a step of another trigger starts over",
         {{T::topRight, 12, 0.05f}, {T::topRight, 12, 0.05f}, {T::topLeft, 12, 0.02f}, {T::topLeft, 12, 0.1f}},
         "FFFT",
         0.12f},
        {"the length counts, not its sign", {{T::leftDown, 10, -0.06f}, {T::leftDown, 10, -0.04f}}, "FT", 0.1f},
        {"once passed it keeps passing", {{T::rightUp, 1, 0.02f}, {T::rightUp, 1, 0.001f}}, "TT", 0.021f},
        {"non-finite steps change nothing",
         {{T::bottomLeft, 12, 0.1f}, {T::bottomLeft, 12, nan}, {T::topLeft, 12, inf}, {T::bottomLeft, 12, 0.02f}},
         "FFFT",
         0.12f},
        {"the whole pad", {{T::topRight, 100, 0.5f}, {T::topRight, 100, 0.5f}}, "FT", 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActionDistanceGate gate;
        EXPECT_EQ(run(gate, c.steps), c.expected);
        EXPECT_FLOAT_EQ(gate.distance, c.distance);
        EXPECT_EQ(gate.trigger, c.steps.back().trigger);
    }
}

TEST(ActionDistanceGateTest, ANonFiniteStepLeavesAFreshGateUntouched) {
    ActionDistanceGate gate;
    EXPECT_FALSE(gate.passes(T::leftUp, 0, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(gate, ActionDistanceGate{});
    // A zero distance passes on the first finite step, even an empty one.
    EXPECT_TRUE(gate.passes(T::leftUp, 0, 0));
}

}  // namespace
}  // namespace glidra
