#include "gestures/GestureRuleIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace glidra {
namespace {

using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

// Few values of each field, so that rules collide often: ties between equally
// specific rules, an application's rule against a general one, regions that
// hold the centroid and regions that do not, disabled rules among them.
struct RandomRules {
    std::mt19937 random;

    explicit RandomRules(unsigned seed) : random(seed) {}

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    float fraction() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random); }

    Kind kind() {
        const Kind kinds[] = {Kind::tap, Kind::swipe, Kind::forcePress, Kind::tapSwipe, Kind::circle};
        return kinds[pick(5)];
    }
    GestureDescriptor gesture() { return GestureDescriptor{kind(), 1 + pick(3), Direction(pick(3)), 1 + pick(3)}; }
    std::uint64_t modifiers() {
        const std::uint64_t flags[] = {0, 0, 0x20000, 0x100000};
        return flags[pick(4)];
    }
    QString app() {
        const char* apps[] = {"", "", "org.example.Editor", "org.example.Browser"};
        return QString::fromLatin1(apps[pick(4)]);
    }
    NormalizedRegionRect rect() {
        const float x = fraction() * 0.8f;
        const float y = fraction() * 0.8f;
        return NormalizedRegionRect{x, y, x + 0.05f + fraction() * 0.5f, y + 0.05f + fraction() * 0.5f};
    }

    GestureRule rule() {
        GestureRule rule;
        rule.isEnabled = pick(5) != 0;
        rule.gesture = gesture();
        rule.requiredModifiers = modifiers();
        rule.appBundleID = app();
        rule.action = pick(6) == 0 ? GestureAction::none : GestureAction::copy;
        switch (pick(4)) {
            case 0:
                break;
            case 1:
                rule.region = GestureRegion(pick(10));  // every preset, anywhere included
                break;
            case 2:
                rule.region = GestureRegion::custom;
                rule.customRegion = rect();
                break;
            default:
                rule.region = GestureRegion::custom;
                rule.customRegions = std::vector<NormalizedRegionRect>{rect(), rect()};
                if (pick(4) == 0) rule.customRegion = rect();  // replaced by the list
                break;
        }
        return rule;
    }

    GestureSessionContext context() {
        GestureSessionContext context;
        const char* apps[] = {nullptr, "", "org.example.Editor", "org.example.Browser", "org.example.Other"};
        if (const char* app = apps[pick(5)]) context.app = QString::fromLatin1(app);
        context.modifiers = modifiers();
        context.regionWidth = pick(2) == 0 ? 0.08f : 0.2f;
        const int fingers = pick(4);
        for (int i = 0; i < fingers; ++i) {
            // Points on the band edges too, where single precision decides.
            const float x = pick(4) == 0 ? 1.0f - context.regionWidth : fraction();
            context.startPoints.push_back(TouchPoint{i + 1, x, fraction(), 0});
        }
        return context;
    }
};

std::string describe(const GestureRule* rule, std::span<const GestureRule> rules) {
    return rule == nullptr ? std::string("none") : "rule " + std::to_string(rule - rules.data());
}

// The index picks the very rule the linear search of the list picks, and
// holds a tap back as long, over many random lists and gestures.
TEST(GestureRuleIndexTest, PicksTheWinnerOfTheLinearSearch) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        RandomRules random(seed);
        std::vector<GestureRule> rules;
        const int count = 1 + random.pick(60);
        for (int i = 0; i < count; ++i) rules.push_back(random.rule());
        const GestureRuleIndex index(rules);
        for (int trial = 0; trial < 200; ++trial) {
            const GestureDescriptor gesture = random.gesture();
            const GestureSessionContext context = random.context();
            const GestureRule* expected = GestureRule::bestMatch(rules, gesture, context);
            const GestureRule* actual = index.bestMatch(gesture, context);
            ASSERT_EQ(actual, expected) << "seed " << seed << ", trial " << trial << ": " << describe(actual, rules)
                                        << " instead of " << describe(expected, rules);
            // And how long a tap of the gesture's fingers is held back.
            ASSERT_EQ(index.tapDeferralInterval(gesture.fingers, gesture.tapCount, context),
                      GestureRule::tapDeferralInterval(gesture.fingers, gesture.tapCount, rules, context))
                << "seed " << seed << ", trial " << trial;
        }
    }
}

// Equally specific rules: the earlier one wins, whichever group it is in;
// a rule of the application outranks a general one placed before it.
TEST(GestureRuleIndexTest, TiesGoToTheEarlierRule) {
    GestureRule general;
    general.gesture = GestureDescriptor{Kind::swipe, 3, Direction::left, 1};
    general.action = GestureAction::copy;
    GestureRule sameAgain = general;
    sameAgain.action = GestureAction::paste;
    GestureRule region = general;
    region.region = GestureRegion::center;
    GestureRule ofApp = general;
    ofApp.appBundleID = QStringLiteral("org.example.Editor");
    GestureRule ofAppInRegion = ofApp;
    ofAppInRegion.region = GestureRegion::center;

    GestureSessionContext centre;
    centre.app = QStringLiteral("org.example.Editor");
    centre.startPoints = {TouchPoint{1, 0.5f, 0.5f, 0}};
    GestureSessionContext corner = centre;
    corner.startPoints = {TouchPoint{1, 0.02f, 0.02f, 0}};
    GestureSessionContext elsewhere = centre;
    elsewhere.app = QStringLiteral("org.example.Other");

    struct Case {
        const char* name;
        std::vector<GestureRule> rules;
        const GestureSessionContext* context;
        int winner;  // -1 for none
    };
    const Case cases[] = {
        {"equal rules", {general, sameAgain}, &centre, 0},
        {"region over general", {general, region}, &centre, 1},
        {"region missed", {general, region}, &corner, 0},
        {"application over an earlier region", {region, ofApp}, &centre, 1},
        {"application and region", {ofApp, ofAppInRegion, region}, &centre, 1},
        {"another application", {ofApp, ofAppInRegion}, &elsewhere, -1},
        {"another application, general left", {ofApp, general}, &elsewhere, 1},
    };
    const GestureDescriptor swipe{Kind::swipe, 3, Direction::left, 1};
    for (const Case& c : cases) {
        const GestureRuleIndex index(c.rules);
        const GestureRule* winner = index.bestMatch(swipe, *c.context);
        EXPECT_EQ(winner, c.winner < 0 ? nullptr : &c.rules[std::size_t(c.winner)]) << c.name;
        EXPECT_EQ(winner, GestureRule::bestMatch(c.rules, swipe, *c.context)) << c.name;
    }
}

TEST(GestureRuleIndexTest, CoversOnlyTheListItWasBuiltOn) {
    std::vector<GestureRule> rules(3);
    const GestureRuleIndex index(rules);
    EXPECT_TRUE(index.covers(rules));
    std::vector<GestureRule> moved = std::move(rules);
    EXPECT_TRUE(index.covers(moved));
    const std::vector<GestureRule> copy = moved;
    EXPECT_FALSE(index.covers(copy));
    moved.pop_back();
    EXPECT_FALSE(index.covers(moved));
}

}  // namespace
}  // namespace glidra
