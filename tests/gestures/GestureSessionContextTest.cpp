#include "gestures/GestureSessionContext.h"

#include <gtest/gtest.h>

#include <vector>

namespace glidra {
namespace {

TEST(GestureSessionContextTest, DefaultContext) {
    const GestureSessionContext context;
    EXPECT_FALSE(context.app.has_value());
    EXPECT_EQ(context.modifiers, 0u);
    EXPECT_TRUE(context.startPoints.empty());
    EXPECT_EQ(context.regionWidth, 0.08f);
}

TEST(GestureSessionContextTest, Centroid) {
    EXPECT_FALSE(centroid({}).has_value());

    const std::vector<TouchPoint> one{{7, 0.3f, 0.6f, 420}};
    EXPECT_EQ(centroid(one), (TouchPoint{0, 0.3f, 0.6f, 0}));

    // Summed in list order in single precision, divided by the count as a float.
    const std::vector<TouchPoint> three{{1, 0.1f, 0.7f, 10}, {2, 0.2f, 0.8f, 20}, {3, 0.3f, 0.95f, 30}};
    const float x = ((0.0f + 0.1f) + 0.2f) + 0.3f;
    const float y = ((0.0f + 0.7f) + 0.8f) + 0.95f;
    EXPECT_EQ(centroid(three), (TouchPoint{0, x / 3.0f, y / 3.0f, 0}));
}

TEST(GestureSessionContextTest, SessionModifiersKeepShiftControlOptionCommand) {
    constexpr std::uint64_t capsLock = 0x10000, shift = 0x20000, control = 0x40000, option = 0x80000,
                            command = 0x100000, fn = 0x800000, deviceBits = 0x108;
    struct Case {
        std::uint64_t held;
        bool switcherShown;
        std::uint64_t recorded;
    };
    const Case cases[] = {
        {command | shift | capsLock, false, command | shift},
        {command | shift | capsLock, true, shift},
        {option | control | fn | deviceBits, false, option | control},
        {command, true, 0},
        {0, false, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GestureSessionContext::sessionModifiers(c.held, c.switcherShown), c.recorded)
            << std::hex << c.held << (c.switcherShown ? " with switcher" : "");
    }
}

TEST(GestureSessionContextTest, StartPointsKeepEachFingersFirstPosition) {
    const std::vector<TouchPoint> first{{4, 0.2f, 0.3f, 50}, {2, 0.4f, 0.3f, 60}};
    auto context = GestureSessionContext::opening(QStringLiteral("org.kde.dolphin"), 0x120000, false, first, 0.1);
    EXPECT_EQ(context.app, QStringLiteral("org.kde.dolphin"));
    EXPECT_EQ(context.modifiers, 0x120000u);
    EXPECT_EQ(context.startPoints, first);
    EXPECT_EQ(context.regionWidth, 0.1f);

    // The fingers move; then a third finger joins in the third frame.
    context.recordContacts(std::vector<TouchPoint>{{4, 0.25f, 0.35f, 80}, {2, 0.45f, 0.35f, 80}});
    EXPECT_EQ(context.startPoints, first);
    context.recordContacts(std::vector<TouchPoint>{{9, 0.6f, 0.5f, 30}, {4, 0.3f, 0.4f, 80}, {2, 0.5f, 0.4f, 80}});
    const std::vector<TouchPoint> expected{{4, 0.2f, 0.3f, 50}, {2, 0.4f, 0.3f, 60}, {9, 0.6f, 0.5f, 30}};
    EXPECT_EQ(context.startPoints, expected);
    // A finger that lifted and was reported again keeps its first position too.
    context.recordContacts(std::vector<TouchPoint>{{2, 0.9f, 0.9f, 10}});
    EXPECT_EQ(context.startPoints, expected);

    EXPECT_EQ(context.startCentroid(), centroid(expected));
}

}  // namespace
}  // namespace glidra
