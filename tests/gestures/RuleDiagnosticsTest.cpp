#include "gestures/RuleDiagnostics.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace glidra {
namespace {

using GK = GestureDescriptor::Kind;
using Dir = GestureDescriptor::Direction;
using Rect = NormalizedRegionRect;

constexpr float edge = 0.1f;
constexpr std::uint64_t command = 0x100000;
constexpr std::uint64_t option = 0x80000;
constexpr std::uint64_t control = 0x40000;
constexpr std::uint64_t shift = 0x20000;

GestureDescriptor gesture(GK kind, qint64 fingers, Dir direction = Dir::right, qint64 tapCount = 1) {
    return {kind, fingers, direction, tapCount};
}

const GestureDescriptor threeTap = gesture(GK::tap, 3);

struct RuleBuilder {
    GestureRule rule;
    explicit RuleBuilder(GestureDescriptor g = threeTap, GestureAction action = GestureAction::missionControl) {
        rule.gesture = g;
        rule.action = action;
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

TEST(RuleDiagnosticsTest, RequiredModifiersText) {
    struct Case {
        std::uint64_t flags;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {command, "Super"},
        {command | shift, "Shift+Super"},
        {shift | control | option | command, "Ctrl+Alt+Shift+Super"},
        {control | option, "Ctrl+Alt"},
        // Caps Lock and Fn are no keys a rule asks for.
        {0x10000 | 0x800000, ""},
        {0x800000 | shift, "Shift"},
    };
    for (const auto& c : cases) EXPECT_EQ(requiredModifiersText(c.flags), QString::fromUtf8(c.text)) << c.flags;
}

// --- Finder quick-look migration -------------------------------------------------

GestureRule finderQuickLook() {
    return RuleBuilder(gesture(GK::forcePress, 1), GestureAction::quickLook).app("com.apple.finder");
}

GestureRule migrated(GestureRule rule) {
    rule.gesture = gesture(GK::tap, 3);
    return rule;
}

TEST(RuleDiagnosticsTest, MigrationAppliesOrIsRefusedByItsNeighbour) {
    struct Case {
        const char* name;
        std::optional<GestureRule> neighbour;
        bool rewritten;
    };
    const Case cases[] = {
        {"alone", std::nullopt, true},
        {"all-apps three-finger tap", RuleBuilder(), true},
        {"all-apps three-finger tap, disabled, no action", RuleBuilder(threeTap, GestureAction::none).disabled(), true},
        {"three-finger tap of another app", RuleBuilder().app("com.apple.Safari"), true},
        {"three-finger double tap in Finder", RuleBuilder(gesture(GK::tap, 3, Dir::right, 2)).app("com.apple.finder"),
         true},
        {"three-finger tap in Finder with a modifier", RuleBuilder().app("com.apple.finder").modifiers(command), true},
        {"three-finger tap in Finder", RuleBuilder().app("com.apple.finder"), false},
        // Disabled rules count as enabled: turning one on later must not set
        // up a clash.
        {"three-finger tap in Finder, disabled", RuleBuilder().app("com.apple.finder").disabled(), false},
        {"three-finger tap in Finder's left band", RuleBuilder().app("com.apple.finder").region(GestureRegion::left),
         false},
    };
    for (const auto& c : cases) {
        std::vector<GestureRule> rules;
        if (c.neighbour) rules.push_back(*c.neighbour);
        rules.push_back(finderQuickLook());
        auto expected = rules;
        if (c.rewritten) expected.back() = migrated(expected.back());
        EXPECT_EQ(migrateFinderQuickLookRules(rules, edge), expected) << c.name;
    }
}

TEST(RuleDiagnosticsTest, MigrationTouchesOnlyQualifyingRules) {
    GestureRule disabled = finderQuickLook();
    disabled.isEnabled = false;
    GestureRule withCustomFields = finderQuickLook();
    withCustomFields.region = GestureRegion::anywhere;
    withCustomFields.customRegion = Rect{0, 0, 0.5f, 0.5f};

    GestureRule otherAction = finderQuickLook();
    otherAction.action = GestureAction::copy;
    GestureRule twoFingers = finderQuickLook();
    twoFingers.gesture.fingers = 2;
    GestureRule inRegion = finderQuickLook();
    inRegion.region = GestureRegion::left;
    GestureRule withModifier = finderQuickLook();
    withModifier.requiredModifiers = option;
    GestureRule allApps = finderQuickLook();
    allApps.appBundleID.clear();
    GestureRule upperCaseApp = finderQuickLook();
    upperCaseApp.appBundleID = QStringLiteral("com.apple.Finder");

    const std::vector<GestureRule> untouched = {otherAction, twoFingers, inRegion, withModifier, allApps, upperCaseApp};
    for (const auto& rule : untouched) {
        EXPECT_EQ(migrateFinderQuickLookRules(std::vector{rule}, edge), std::vector{rule});
    }

    // A disabled rule is rewritten and stays disabled; custom fields ride along.
    EXPECT_EQ(migrateFinderQuickLookRules(std::vector{disabled}, edge), std::vector{migrated(disabled)});
    EXPECT_EQ(migrateFinderQuickLookRules(std::vector{withCustomFields}, edge),
              std::vector{migrated(withCustomFields)});
}

TEST(RuleDiagnosticsTest, MigrationSeesEarlierRewrites) {
    // The first rewrite turns the second candidate's tap into a duplicate.
    const std::vector<GestureRule> rules = {finderQuickLook(), RuleBuilder(gesture(GK::swipe, 3)), finderQuickLook()};
    const std::vector<GestureRule> expected = {migrated(rules[0]), rules[1], rules[2]};
    const auto once = migrateFinderQuickLookRules(rules, edge);
    EXPECT_EQ(once, expected);
    EXPECT_EQ(migrateFinderQuickLookRules(once, edge), once);
}

// --- Miss diagnosis ---------------------------------------------------------------

TEST(RuleDiagnosticsTest, MissDiagnosis) {
    const std::optional<TouchPoint> middle = TouchPoint{0, 0.5f, 0.5f, 0};
    const std::optional<TouchPoint> leftEdge = TouchPoint{0, 0.05f, 0.5f, 0};
    const std::optional<TouchPoint> onRectEdge = TouchPoint{0, 0.5f, 0.25f, 0};
    const std::optional<QString> finder = QStringLiteral("com.apple.finder");
    const std::optional<QString> noApp;
    const std::vector<Rect> square = {{0.25f, 0.25f, 0.5f, 0.5f}};

    struct Case {
        const char* name;
        std::vector<GestureRule> rules;
        GestureDescriptor performed;
        std::uint64_t held;
        std::optional<QString> app;
        std::optional<TouchPoint> start;
        std::optional<const char*> text;
    };
    const Case cases[] = {
        {"no rules", {}, threeTap, 0, finder, middle, "还没有绑定这个手势"},
        {"other direction",
         {RuleBuilder(gesture(GK::swipe, 3, Dir::left))},
         gesture(GK::swipe, 3, Dir::right),
         0,
         finder,
         middle,
         "还没有绑定这个手势"},
        {"other tap count",
         {RuleBuilder(gesture(GK::tap, 3, Dir::right, 2))},
         threeTap,
         0,
         finder,
         middle,
         "还没有绑定这个手势"},
        {"disabled rule", {RuleBuilder().disabled()}, threeTap, 0, finder, middle, "这个手势未启用或尚未选择动作"},
        {"rule without action",
         {RuleBuilder(threeTap, GestureAction::none)},
         threeTap,
         0,
         finder,
         middle,
         "这个手势未启用或尚未选择动作"},
        {"rule for another app",
         {RuleBuilder().app("com.apple.Safari")},
         threeTap,
         0,
         finder,
         middle,
         "当前应用不适用"},
        {"app rule, no front app",
         {RuleBuilder().app("com.apple.finder")},
         threeTap,
         0,
         noApp,
         middle,
         "当前应用不适用"},
        {"needs command", {RuleBuilder().modifiers(command)}, threeTap, 0, finder, middle, "需要同时按住 Super"},
        {"first rule names the keys",
         {RuleBuilder().modifiers(command | shift), RuleBuilder().modifiers(option)},
         threeTap,
         control,
         finder,
         middle,
         "需要同时按住 Shift+Super"},
        {"needs no keys", {RuleBuilder()}, threeTap, option, finder, middle, "请松开键盘组合键再试"},
        {"left band, started in the middle",
         {RuleBuilder().region(GestureRegion::left)},
         threeTap,
         0,
         finder,
         middle,
         "起点不在触发区域内"},
        {"left band, started there",
         {RuleBuilder().region(GestureRegion::left)},
         threeTap,
         0,
         finder,
         leftEdge,
         std::nullopt},
        {"custom, on the rectangle's edge",
         {RuleBuilder().custom(square)},
         threeTap,
         0,
         finder,
         onRectEdge,
         std::nullopt},
        {"custom, no start point",
         {RuleBuilder().custom(square)},
         threeTap,
         0,
         finder,
         std::nullopt,
         "起点不在触发区域内"},
        {"anywhere, no start point", {RuleBuilder()}, threeTap, 0, noApp, std::nullopt, std::nullopt},
        {"held keys no rule wants",
         {RuleBuilder().region(GestureRegion::right),
          RuleBuilder().app("com.apple.finder").region(GestureRegion::left)},
         threeTap,
         command,
         finder,
         leftEdge,
         "请松开键盘组合键再试"},
        {"app rule in its app",
         {RuleBuilder().app("com.apple.finder").modifiers(command)},
         threeTap,
         command,
         finder,
         middle,
         std::nullopt},
        {"second rule fires",
         {RuleBuilder().region(GestureRegion::right), RuleBuilder().region(GestureRegion::left)},
         threeTap,
         0,
         finder,
         leftEdge,
         std::nullopt},
    };
    for (const auto& c : cases) {
        const auto text = missDiagnosis(c.rules, c.performed, c.held, c.app, c.start, edge);
        const std::optional<QString> expected =
            c.text ? std::optional<QString>(QString::fromUtf8(*c.text)) : std::nullopt;
        EXPECT_EQ(text, expected) << c.name;
    }
}

}  // namespace
}  // namespace glidra
