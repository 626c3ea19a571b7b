#include "gestures/GestureRuleConflict.h"

#include <gtest/gtest.h>

#include <QUuid>

#include <optional>
#include <vector>

namespace glidra {
namespace {

using Kind = GestureRuleConflict::Kind;
using GK = GestureDescriptor::Kind;
using Dir = GestureDescriptor::Direction;
using Rect = NormalizedRegionRect;

constexpr float edge = 0.1f;

GestureDescriptor gesture(GK kind, qint64 fingers, Dir direction = Dir::right, qint64 tapCount = 1) {
    return {kind, fingers, direction, tapCount};
}

// A rule bound to an action, anywhere, for all applications, no modifiers.
struct RuleBuilder {
    GestureRule rule;
    explicit RuleBuilder(GestureDescriptor g = gesture(GK::tap, 3)) {
        rule.gesture = g;
        rule.action = GestureAction::missionControl;
    }
    RuleBuilder& app(const char* bundleID) { return rule.appBundleID = QString::fromLatin1(bundleID), *this; }
    RuleBuilder& region(GestureRegion r) { return rule.region = r, *this; }
    RuleBuilder& custom(std::vector<Rect> rects) {
        rule.region = GestureRegion::custom;
        rule.customRegions = std::move(rects);
        return *this;
    }
    RuleBuilder& modifiers(std::uint64_t flags) { return rule.requiredModifiers = flags, *this; }
    RuleBuilder& disabled() { return rule.isEnabled = false, *this; }
    operator GestureRule() const { return rule; }
};

struct Expected {
    int first;
    int second;
    int winner;
    Kind kind;
};

void expectConflicts(const std::vector<GestureRuleConflict>& actual, const std::vector<GestureRule>& rules,
                     const std::vector<Expected>& expected) {
    const auto indexOf = [&](const QUuid& id) {
        for (size_t i = 0; i < rules.size(); ++i) {
            if (rules[i].id == id) return static_cast<int>(i);
        }
        return -1;
    };
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "conflict " << i);
        EXPECT_EQ(indexOf(actual[i].firstID), expected[i].first);
        EXPECT_EQ(indexOf(actual[i].secondID), expected[i].second);
        EXPECT_EQ(indexOf(actual[i].winnerID), expected[i].winner);
        EXPECT_EQ(actual[i].kind, expected[i].kind);
    }
}

TEST(GestureRuleConflictTest, DetectAllOverAMixedRuleSet) {
    const std::vector<GestureRule> rules = {
        RuleBuilder(),                                    // 0: all apps, anywhere
        RuleBuilder(),                                    // 1: the same again
        RuleBuilder().app("com.apple.Safari"),            // 2
        RuleBuilder().region(GestureRegion::left),        // 3
        RuleBuilder().disabled(),                         // 4: never takes part
        RuleBuilder().app("com.apple.mail"),              // 5: no clash with Safari's rule
        RuleBuilder().modifiers(0x100000),                // 6: other modifiers
        RuleBuilder(gesture(GK::tap, 3, Dir::right, 2)),  // 7: other tap count
        RuleBuilder().region(GestureRegion::right),       // 8: clear of the left band
    };
    expectConflicts(GestureRuleConflict::detectAll(rules, edge), rules,
                    {
                        {0, 1, 0, Kind::duplicate},
                        {0, 2, 2, Kind::applicationOverride},
                        {0, 3, 3, Kind::regionOverlap},
                        {0, 5, 5, Kind::applicationOverride},
                        {0, 8, 8, Kind::regionOverlap},
                        {1, 2, 2, Kind::applicationOverride},
                        {1, 3, 3, Kind::regionOverlap},
                        {1, 5, 5, Kind::applicationOverride},
                        {1, 8, 8, Kind::regionOverlap},
                        {2, 3, 2, Kind::applicationOverride},
                        {2, 8, 2, Kind::applicationOverride},
                        {3, 5, 5, Kind::applicationOverride},
                        {5, 8, 5, Kind::applicationOverride},
                    });
    EXPECT_TRUE(GestureRuleConflict::detectAll({}, edge).empty());
}

TEST(GestureRuleConflictTest, RegionsOfAConflict) {
    const GestureRule anywhere = RuleBuilder();
    const GestureRule left = RuleBuilder().region(GestureRegion::left);
    const auto conflict = GestureRuleConflict::between(anywhere, left, edge);
    ASSERT_TRUE(conflict);
    const Rect whole{0, 0, 1, 1};
    const Rect leftBand = rect(GestureRegion::left, edge);
    EXPECT_EQ(conflict->winnerID, left.id);
    EXPECT_EQ(conflict->firstRegion, whole);
    EXPECT_EQ(conflict->secondRegion, leftBand);
    EXPECT_EQ(conflict->intersection, leftBand);
    EXPECT_EQ(conflict->firstRegions, std::vector<Rect>{whole});
    EXPECT_EQ(conflict->secondRegions, std::vector<Rect>{leftBand});
    EXPECT_EQ(conflict->intersections, std::vector<Rect>{leftBand});
}

TEST(GestureRuleConflictTest, IdentityIsBothUpperCaseUuids) {
    GestureRule first = RuleBuilder();
    GestureRule second = RuleBuilder();
    first.id = QUuid(QStringLiteral("{0f8e2c1a-3b4d-4e5f-8a9b-0c1d2e3f4a5b}"));
    second.id = QUuid(QStringLiteral("{a1b2c3d4-e5f6-4789-abcd-ef0123456789}"));
    const auto conflict = GestureRuleConflict::between(first, second, edge);
    ASSERT_TRUE(conflict);
    EXPECT_EQ(conflict->id(),
              QStringLiteral("0F8E2C1A-3B4D-4E5F-8A9B-0C1D2E3F4A5BA1B2C3D4-E5F6-4789-ABCD-EF0123456789"));
}

TEST(GestureRuleConflictTest, WhichGesturesCountAsTheSame) {
    struct Case {
        const char* name;
        GestureDescriptor a;
        GestureDescriptor b;
        bool conflicts;
    };
    const Case cases[] = {
        {"swipe directions differ", gesture(GK::swipe, 3, Dir::left), gesture(GK::swipe, 3, Dir::right), false},
        {"anchor-swipe directions differ", gesture(GK::anchorSwipe, 2, Dir::up), gesture(GK::anchorSwipe, 2, Dir::down),
         false},
        {"tap counts differ", gesture(GK::tap, 2, Dir::right, 1), gesture(GK::tap, 2, Dir::right, 2), false},
        {"finger counts differ", gesture(GK::pinchIn, 3), gesture(GK::pinchIn, 4), false},
        {"kinds differ", gesture(GK::pinchIn, 3), gesture(GK::pinchOut, 3), false},
        {"pinch ignores direction", gesture(GK::pinchIn, 3, Dir::up), gesture(GK::pinchIn, 3, Dir::down), true},
        {"swipe ignores tap count", gesture(GK::swipe, 3, Dir::up, 1), gesture(GK::swipe, 3, Dir::up, 2), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GestureRuleConflict::between(RuleBuilder(c.a), RuleBuilder(c.b), edge).has_value(), c.conflicts)
            << c.name;
    }
}

TEST(GestureRuleConflictTest, ApplicationsAndRegionsDecideTheKind) {
    struct Case {
        const char* name;
        GestureRule first;
        GestureRule second;
        std::optional<Kind> kind;
        bool secondWins;
    };
    const Case cases[] = {
        {"both anywhere", RuleBuilder(), RuleBuilder().region(GestureRegion::anywhere), Kind::duplicate, false},
        {"later names an app", RuleBuilder(), RuleBuilder().app("a"), Kind::applicationOverride, true},
        {"earlier names an app", RuleBuilder().app("a"), RuleBuilder(), Kind::applicationOverride, false},
        {"different apps", RuleBuilder().app("a"), RuleBuilder().app("b"), std::nullopt, false},
        {"same app", RuleBuilder().app("a"), RuleBuilder().app("a"), Kind::duplicate, false},
        {"app and region beat app", RuleBuilder().app("a"), RuleBuilder().app("a").region(GestureRegion::top),
         Kind::regionOverlap, true},
        {"app beats region", RuleBuilder().region(GestureRegion::top), RuleBuilder().app("a"),
         Kind::applicationOverride, true},
        {"disjoint presets", RuleBuilder().region(GestureRegion::left), RuleBuilder().region(GestureRegion::center),
         std::nullopt, false},
        {"same custom rectangles", RuleBuilder().custom({{0, 0, 0.5f, 0.5f}}),
         RuleBuilder().custom({{0, 0, 0.5f, 0.5f}}), Kind::duplicate, false},
        {"custom in the older single form", RuleBuilder().custom({{0, 0, 0.5f, 0.5f}}),
         [] {
             GestureRule r = RuleBuilder().region(GestureRegion::custom);
             r.customRegion = Rect{0, 0, 0.5f, 0.5f};
             return r;
         }(),
         Kind::duplicate, false},
        // Equal rectangles reached through different region settings are still
        // two different settings.
        {"custom equal to a preset", RuleBuilder().region(GestureRegion::left),
         RuleBuilder().custom({rect(GestureRegion::left, edge)}), Kind::regionOverlap, false},
        {"custom rectangles touching", RuleBuilder().custom({{0, 0, 0.5f, 0.5f}}),
         RuleBuilder().custom({{0.5f, 0, 1, 0.5f}}), std::nullopt, false},
        {"custom overlap of 0.000002", RuleBuilder().custom({{0, 0, 0.500002f, 0.5f}}),
         RuleBuilder().custom({{0.5f, 0, 1, 0.5f}}), Kind::regionOverlap, false},
        {"custom without a common area", RuleBuilder(), RuleBuilder().custom({{0, 0, 0.3f, 0.3f}, {0.7f, 0.7f, 1, 1}}),
         std::nullopt, false},
        {"custom without rectangles", RuleBuilder(), RuleBuilder().region(GestureRegion::custom), std::nullopt, false},
        {"modifiers differ", RuleBuilder().modifiers(0x100000), RuleBuilder().modifiers(0x120000), std::nullopt, false},
        {"second disabled", RuleBuilder(), RuleBuilder().disabled(), std::nullopt, false},
        {"first disabled", RuleBuilder().disabled(), RuleBuilder(), std::nullopt, false},
    };
    for (const auto& c : cases) {
        const auto conflict = GestureRuleConflict::between(c.first, c.second, edge);
        ASSERT_EQ(conflict.has_value(), c.kind.has_value()) << c.name;
        if (!conflict) continue;
        EXPECT_EQ(conflict->kind, *c.kind) << c.name;
        EXPECT_EQ(conflict->winnerID, c.secondWins ? c.second.id : c.first.id) << c.name;
    }
}

TEST(GestureRuleConflictTest, SameRuleTwiceIsNoConflict) {
    const GestureRule rule = RuleBuilder();
    EXPECT_FALSE(GestureRuleConflict::between(rule, rule, edge));
}

TEST(GestureRuleConflictTest, ConflictsForRuleKeepListOrder) {
    const std::vector<GestureRule> rules = {
        RuleBuilder(),                              // 0
        RuleBuilder().disabled(),                   // 1
        RuleBuilder().region(GestureRegion::left),  // 2
        RuleBuilder(gesture(GK::swipe, 3)),         // 3: another gesture
        RuleBuilder().app("a"),                     // 4
    };

    // A new rule goes to the end, so it is second in every pair.
    const GestureRule added = RuleBuilder();
    auto withAdded = rules;
    withAdded.push_back(added);
    expectConflicts(GestureRuleConflict::conflictsForRule(added, rules, edge), withAdded,
                    {
                        {0, 5, 0, Kind::duplicate},
                        {2, 5, 2, Kind::regionOverlap},
                        {4, 5, 4, Kind::applicationOverride},
                    });

    // An edited rule is judged in its own place, with its new content.
    GestureRule edited = rules[3];
    edited.gesture = gesture(GK::tap, 3);
    auto withEdited = rules;
    withEdited[3] = edited;
    expectConflicts(GestureRuleConflict::conflictsForRule(edited, rules, edge), withEdited,
                    {
                        {0, 3, 0, Kind::duplicate},
                        {2, 3, 2, Kind::regionOverlap},
                        {3, 4, 4, Kind::applicationOverride},
                    });

    // The old content of an edited rule no longer counts.
    GestureRule movedAway = rules[0];
    movedAway.gesture = gesture(GK::swipe, 3, Dir::up);
    EXPECT_TRUE(GestureRuleConflict::conflictsForRule(movedAway, rules, edge).empty());

    GestureRule disabledEdit = rules[0];
    disabledEdit.isEnabled = false;
    EXPECT_TRUE(GestureRuleConflict::conflictsForRule(disabledEdit, rules, edge).empty());
    EXPECT_TRUE(GestureRuleConflict::conflictsForRule(RuleBuilder().disabled(), rules, edge).empty());
}

TEST(GestureRuleConflictTest, EffectiveRegions) {
    using Rects = std::vector<Rect>;
    EXPECT_EQ(effectiveRegions(RuleBuilder(), edge), (Rects{Rect{0, 0, 1, 1}}));
    EXPECT_EQ(effectiveRegions(RuleBuilder().region(GestureRegion::bottom), 0.5f), (Rects{Rect{0.3f, 0, 0.7f, 0.3f}}));
    EXPECT_EQ(effectiveRegions(RuleBuilder().custom({{0, 0, 0.6f, 0.6f}, {0.5f, 0.5f, 1, 1}}), edge),
              (Rects{Rect{0.5f, 0.5f, 0.6f, 0.6f}}));
    EXPECT_TRUE(effectiveRegions(RuleBuilder().custom({{0, 0, 0.5f, 0.5f}, {0.49f, 0, 1, 1}}), edge).empty());
    EXPECT_TRUE(effectiveRegions(RuleBuilder().region(GestureRegion::custom), edge).empty());
}

}  // namespace
}  // namespace glidra
