#include "gestures/GestureRule.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <initializer_list>
#include <limits>

namespace glidra {
namespace {

using Kind = GestureDescriptor::Kind;
using Rect = NormalizedRegionRect;

constexpr float nan = std::numeric_limits<float>::quiet_NaN();

std::optional<TouchPoint> at(float x, float y) { return TouchPoint{0, x, y, 0}; }

std::string describe(const std::optional<TouchPoint>& point) {
    if (!point) return "none";
    return "(" + std::to_string(point->x) + ", " + std::to_string(point->y) + ")";
}

// --- preset regions ----------------------------------------------------------

TEST(GestureRegionContainsTest, PointsBelongToTheirBandOrCorner) {
    const float w = 0.1f;
    struct Case {
        std::optional<TouchPoint> point;
        std::optional<GestureRegion> region;  // the one region besides anywhere; none: no region
    };
    const Case cases[] = {
        {at(0.05f, 0.5f), GestureRegion::left},
        {at(0.05f, 0.95f), GestureRegion::topLeft},
        {at(0.5f, 0.5f), GestureRegion::center},
        // Exactly at w or 1 - w belongs to the band, not the centre.
        {at(0.1f, 0.5f), GestureRegion::left},
        {at(0.9f, 0.5f), GestureRegion::right},
        {at(0.5f, 0.1f), GestureRegion::bottom},
        {at(0.5f, 0.9f), GestureRegion::top},
        // ... and at both, to the corner.
        {at(0.1f, 0.1f), GestureRegion::bottomLeft},
        {at(0.1f, 0.9f), GestureRegion::topLeft},
        {at(0.9f, 0.9f), GestureRegion::topRight},
        {at(0.9f, 0.1f), GestureRegion::bottomRight},
        {at(0, 0), GestureRegion::bottomLeft},
        {at(1, 1), GestureRegion::topRight},
        {at(1, 0.5f), GestureRegion::right},
        {at(0.11f, 0.89f), GestureRegion::center},
        // Off the pad, not finite, or no point at all: only anywhere.
        {at(0.5f, 1.2f), std::nullopt},
        {at(-0.01f, 0.5f), std::nullopt},
        {at(nan, 0.5f), std::nullopt},
        {at(0.5f, std::numeric_limits<float>::infinity()), std::nullopt},
        {std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        for (const GestureRegion region : enumAllCases<GestureRegion>()) {
            const bool expected = region == GestureRegion::anywhere || region == c.region;
            EXPECT_EQ(contains(region, c.point, w), expected)
                << describe(c.point) << " in " << enumRaw(region).toStdString();
        }
    }
}

TEST(GestureRegionContainsTest, BoundaryIsComputedInSinglePrecision) {
    // The premise: in double arithmetic 0.9f lies short of 1 - 0.1f.
    ASSERT_LT(double(0.9f), 1.0 - double(0.1f));
    EXPECT_TRUE(contains(GestureRegion::right, at(0.9f, 0.5f), 0.1f));
    EXPECT_TRUE(contains(GestureRegion::top, at(0.5f, 0.9f), 0.1f));
    EXPECT_TRUE(contains(GestureRegion::topRight, at(0.9f, 0.9f), 0.1f));
    EXPECT_FALSE(contains(GestureRegion::center, at(0.9f, 0.5f), 0.1f));
}

TEST(GestureRegionContainsTest, NinePresetsTileThePad) {
    const GestureRegion nine[] = {GestureRegion::center,   GestureRegion::left,       GestureRegion::right,
                                  GestureRegion::top,      GestureRegion::bottom,     GestureRegion::topLeft,
                                  GestureRegion::topRight, GestureRegion::bottomLeft, GestureRegion::bottomRight};
    for (const float w : {0.08f, 0.1f, 0.25f}) {
        for (int i = 0; i <= 100; ++i) {
            for (int j = 0; j <= 100; ++j) {
                const auto point = at(float(i) / 100.0f, float(j) / 100.0f);
                int holders = 0;
                for (const GestureRegion region : nine) holders += contains(region, point, w) ? 1 : 0;
                ASSERT_EQ(holders, 1) << describe(point) << " at width " << w;
            }
        }
    }
}

// --- rule regions ------------------------------------------------------------

TEST(GestureRuleTest, MatchesRegion) {
    auto customRule = [](std::optional<Rect> single, std::optional<std::vector<Rect>> list) {
        GestureRule rule;
        rule.region = GestureRegion::custom;
        rule.customRegion = single;
        rule.customRegions = std::move(list);
        return rule;
    };
    GestureRule nilRegion;
    GestureRule leftRegion;
    leftRegion.region = GestureRegion::left;
    const GestureRule lowerLeft = customRule(Rect{0, 0, 0.5f, 0.5f}, std::nullopt);
    const GestureRule overlapping = customRule(std::nullopt, std::vector<Rect>{{0, 0, 0.6f, 1}, {0.4f, 0, 1, 1}});
    const GestureRule disjoint = customRule(std::nullopt, std::vector<Rect>{{0, 0, 0.3f, 0.3f}, {0.7f, 0.7f, 1, 1}});
    // The list takes the place of the single rectangle, even when empty.
    const GestureRule listWins = customRule(Rect{0, 0, 0.2f, 0.2f}, std::vector<Rect>{{0.5f, 0.5f, 1, 1}});
    const GestureRule emptyList = customRule(Rect{0, 0, 1, 1}, std::vector<Rect>{});
    const GestureRule noRects = customRule(std::nullopt, std::nullopt);
    const GestureRule tooThin = customRule(Rect{0.2f, 0.2f, 0.21f, 0.8f}, std::nullopt);

    struct Case {
        const char* name;
        const GestureRule& rule;
        std::optional<TouchPoint> point;
        bool matches;
    };
    const Case cases[] = {
        {"nil region, centre", nilRegion, at(0.5f, 0.5f), true},
        {"nil region, off the pad", nilRegion, at(0.5f, 1.2f), true},
        {"nil region, no point", nilRegion, std::nullopt, true},
        {"left preset, on the edge", leftRegion, at(0.05f, 0.5f), true},
        {"left preset, centre", leftRegion, at(0.5f, 0.5f), false},
        {"single rect, inside", lowerLeft, at(0.25f, 0.25f), true},
        {"single rect, on its corner", lowerLeft, at(0.5f, 0.5f), true},
        {"single rect, outside", lowerLeft, at(0.6f, 0.25f), false},
        {"single rect, no point", lowerLeft, std::nullopt, false},
        {"single rect, not finite", lowerLeft, at(nan, 0.25f), false},
        {"two rects, in both", overlapping, at(0.5f, 0.5f), true},
        {"two rects, in the first only", overlapping, at(0.3f, 0.5f), false},
        {"two rects, in the second only", overlapping, at(0.7f, 0.5f), false},
        {"disjoint rects, in the first", disjoint, at(0.2f, 0.2f), false},
        {"disjoint rects, in the second", disjoint, at(0.8f, 0.8f), false},
        {"list over single, single's area", listWins, at(0.1f, 0.1f), false},
        {"list over single, list's area", listWins, at(0.7f, 0.7f), true},
        {"empty list", emptyList, at(0.5f, 0.5f), false},
        {"custom without rects", noRects, at(0.5f, 0.5f), false},
        {"invalid rect", tooThin, at(0.205f, 0.5f), false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rule.matchesRegion(c.point, 0.1f), c.matches) << c.name;
}

TEST(GestureRuleTest, Specificity) {
    struct Case {
        const char* app;
        std::optional<GestureRegion> region;
        int specificity;
    };
    const Case cases[] = {
        {"", std::nullopt, 0},
        {"", GestureRegion::anywhere, 0},
        {"", GestureRegion::topLeft, 1},
        {"", GestureRegion::custom, 1},
        {"com.apple.Safari", std::nullopt, 2},
        {"com.apple.Safari", GestureRegion::anywhere, 2},
        {"com.apple.Safari", GestureRegion::custom, 3},
    };
    for (const auto& c : cases) {
        GestureRule rule;
        rule.appBundleID = QString::fromUtf8(c.app);
        rule.region = c.region;
        EXPECT_EQ(rule.specificity(), c.specificity)
            << c.app << " / " << (c.region ? enumRaw(*c.region).toStdString() : "nil");
    }
}

TEST(GestureRuleTest, RegionTitle) {
    GestureRule rule;
    EXPECT_EQ(rule.regionTitle(), QStringLiteral("全触控板"));
    rule.region = GestureRegion::bottomRight;
    EXPECT_EQ(rule.regionTitle(), QStringLiteral("右下角"));
    rule.region = GestureRegion::custom;
    EXPECT_EQ(rule.regionTitle(), QStringLiteral("未选择区域"));
    rule.customRegion = Rect{0.1f, 0.2f, 0.6f, 0.7f};
    EXPECT_EQ(rule.regionTitle(), QStringLiteral("自定义区域"));
    rule.customRegions = std::vector<Rect>{{0, 0, 0.3f, 0.3f}, {0.7f, 0.7f, 1, 1}};
    EXPECT_EQ(rule.regionTitle(), QStringLiteral("没有交叉区域"));
    rule.customRegions = std::vector<Rect>{{0.1f, 0.1f, 0.6f, 0.6f}, {0.2f, 0.2f, 0.9f, 0.9f}};
    EXPECT_EQ(rule.regionTitle(), QStringLiteral("交叉区域"));
}

// --- tap deferral ------------------------------------------------------------

GestureRule tapRule(qint64 fingers, qint64 tapCount) {
    GestureRule rule;
    rule.gesture = {Kind::tap, fingers, GestureDescriptor::Direction::right, tapCount};
    rule.action = GestureAction::copy;
    return rule;
}

GestureRule tapSwipeRule(qint64 fingers) {
    GestureRule rule = tapRule(fingers, 1);
    rule.gesture.kind = Kind::tapSwipe;
    return rule;
}

class TapDeferralTest : public ::testing::Test {
protected:
    // Two fingers landed in the middle of the pad while Safari was in front.
    GestureSessionContext context{
        QStringLiteral("com.apple.Safari"), 0, {{1, 0.45f, 0.5f, 0}, {2, 0.55f, 0.5f, 0}}, 0.08f};

    double deferral(std::initializer_list<GestureRule> rules, qint64 tapCount = 1, qint64 fingers = 2) const {
        const std::vector<GestureRule> list(rules);
        return GestureRule::tapDeferralInterval(fingers, tapCount, list, context);
    }
};

TEST_F(TapDeferralTest, FurtherTapsAndTapSwipesHoldTheTapBack) {
    EXPECT_EQ(deferral({}), 0.0);
    EXPECT_EQ(deferral({tapRule(2, 2), tapSwipeRule(2)}, 1), 0.4);
    // After the second tap only the tap-swipe still waits.
    EXPECT_EQ(deferral({tapRule(2, 2), tapSwipeRule(2)}, 2), 0.4);
    EXPECT_EQ(deferral({tapRule(2, 2)}, 1), 0.36);
    EXPECT_EQ(deferral({tapRule(2, 2)}, 2), 0.0);
    EXPECT_EQ(deferral({tapRule(2, 3)}, 2), 0.36);
    EXPECT_EQ(deferral({tapRule(2, 1)}, 1), 0.0);
    // Order does not matter: the longer wait wins.
    EXPECT_EQ(deferral({tapSwipeRule(2), tapRule(2, 2)}, 1), 0.4);
    GestureRule swipe = tapRule(2, 1);
    swipe.gesture.kind = Kind::swipe;
    EXPECT_EQ(deferral({swipe}), 0.0);
}

TEST_F(TapDeferralTest, OnlyRulesThatCountInThisSessionDefer) {
    auto variant = [](auto change) {
        GestureRule rule = tapSwipeRule(2);
        change(rule);
        return rule;
    };
    struct Case {
        const char* name;
        GestureRule rule;
        double expected;
    };
    const Case cases[] = {
        {"plain", variant([](GestureRule&) {}), 0.4},
        {"no action", variant([](GestureRule& r) { r.action = GestureAction::none; }), 0.0},
        {"disabled", variant([](GestureRule& r) { r.isEnabled = false; }), 0.0},
        {"three fingers", variant([](GestureRule& r) { r.gesture.fingers = 3; }), 0.0},
        {"needs Command", variant([](GestureRule& r) { r.requiredModifiers = 0x100000; }), 0.0},
        {"front application", variant([](GestureRule& r) { r.appBundleID = QStringLiteral("com.apple.Safari"); }), 0.4},
        {"other application", variant([](GestureRule& r) { r.appBundleID = QStringLiteral("com.apple.Notes"); }), 0.0},
        {"centre region", variant([](GestureRule& r) { r.region = GestureRegion::center; }), 0.4},
        {"left region", variant([](GestureRule& r) { r.region = GestureRegion::left; }), 0.0},
        {"custom around the start", variant([](GestureRule& r) {
             r.region = GestureRegion::custom;
             r.customRegion = Rect{0.4f, 0.4f, 0.6f, 0.6f};
         }),
         0.4},
    };
    for (const auto& c : cases) EXPECT_EQ(deferral({c.rule}), c.expected) << c.name;
}

TEST_F(TapDeferralTest, SessionConditionsDecide) {
    GestureRule forSafari = tapSwipeRule(2);
    forSafari.appBundleID = QStringLiteral("com.apple.Safari");
    context.app.reset();
    EXPECT_EQ(deferral({forSafari}), 0.0) << "an application rule never counts without a front application";
    EXPECT_EQ(deferral({tapSwipeRule(2)}), 0.4);

    // Modifiers must be equal, not merely included.
    context.modifiers = 0x100000;
    EXPECT_EQ(deferral({tapSwipeRule(2)}), 0.0);
    GestureRule withCommand = tapSwipeRule(2);
    withCommand.requiredModifiers = 0x100000;
    EXPECT_EQ(deferral({withCommand}), 0.4);

    // The region is judged at the start centroid with the session's width.
    GestureRule rightEdge = withCommand;
    rightEdge.region = GestureRegion::right;
    context.startPoints = {{1, 0.85f, 0.5f, 0}, {2, 0.95f, 0.5f, 0}};
    EXPECT_EQ(deferral({rightEdge}), 0.0);
    context.regionWidth = 0.1f;
    EXPECT_EQ(deferral({rightEdge}), 0.4);
    context.startPoints.clear();
    EXPECT_EQ(deferral({rightEdge}), 0.0);
    EXPECT_EQ(deferral({withCommand}), 0.4);
}

// --- list, titles and validation ----------------------------------------------

TEST(GestureRuleTest, NewRule) {
    const GestureRule rule;
    EXPECT_FALSE(rule.id.isNull());
    EXPECT_NE(GestureRule().id, rule.id);
    EXPECT_TRUE(rule.isEnabled);
    EXPECT_EQ(rule.gesture, (GestureDescriptor{Kind::swipe, 3, GestureDescriptor::Direction::right, 1}));
    EXPECT_FALSE(rule.customRegion || rule.customRegions || rule.region);
    EXPECT_EQ(rule.requiredModifiers, 0u);
    EXPECT_TRUE(rule.appBundleID.isEmpty());
    EXPECT_EQ(rule.action, GestureAction::none);
    EXPECT_FALSE(rule.parameters || rule.applicationTarget || rule.shortcut);
}

TEST(GestureRuleTest, UpsertingReplacesByIdOrAppends) {
    const GestureRule a, b, c;
    const std::vector<GestureRule> rules{a, b, c};

    GestureRule changed = b;
    changed.action = GestureAction::paste;
    changed.isEnabled = false;
    EXPECT_EQ(upserting(rules, changed), (std::vector<GestureRule>{a, changed, c}));

    const GestureRule added;
    EXPECT_EQ(upserting(rules, added), (std::vector<GestureRule>{a, b, c, added}));
    EXPECT_EQ(upserting({}, added), std::vector<GestureRule>{added});
}

TEST(GestureRuleTest, ActionTitleAndValidationMessage) {
    auto rule = [](GestureAction action, std::optional<ActionParameters> parameters = std::nullopt) {
        GestureRule r;
        r.action = action;
        r.parameters = std::move(parameters);
        return r;
    };
    auto website = [](const char* text) { return ActionParameters{std::nullopt, QString::fromUtf8(text), {}}; };
    const ActionParameters report{ResourceTarget{QStringLiteral("/home/u/报告.pdf"), QStringLiteral("报告.pdf"), {}},
                                  std::nullopt, std::nullopt};
    const ActionParameters daily{std::nullopt, std::nullopt,
                                 ShortcutTarget{QStringLiteral("A1"), QStringLiteral("日报")}};

    GestureRule application = rule(GestureAction::openApplication);
    GestureRule safari = application;
    safari.applicationTarget = ApplicationTarget{QStringLiteral("/Applications/Safari.app"),
                                                 QStringLiteral("com.apple.Safari"), QStringLiteral("Safari")};
    GestureRule shortcut = rule(GestureAction::customShortcut);
    GestureRule copyShortcut = shortcut;
    copyShortcut.shortcut = KeyboardShortcut{8, 0x100000, QStringLiteral("⌘C"), std::nullopt};
    // A shortcut set on an action that does not read it changes nothing.
    GestureRule copyWithShortcut = rule(GestureAction::copy);
    copyWithShortcut.shortcut = copyShortcut.shortcut;

    const QString fileMessage = QStringLiteral("请先选择要打开的文件。");
    const QString folderMessage = QStringLiteral("请先选择要打开的文件夹。");
    const QString urlMessage = QStringLiteral("请输入有效网址，例如 example.com。");
    struct Case {
        const char* name;
        GestureRule rule;
        QString title;
        std::optional<QString> message;
    };
    const Case cases[] = {
        {"none", rule(GestureAction::none), title(GestureAction::none), QStringLiteral("请选择一个动作。")},
        {"plain action", rule(GestureAction::copy), title(GestureAction::copy), std::nullopt},
        {"plain action with a shortcut", copyWithShortcut, title(GestureAction::copy), std::nullopt},
        {"url of three blanks", rule(GestureAction::openURL, website("   ")), QStringLiteral("   "), urlMessage},
        {"url typed bare", rule(GestureAction::openURL, website(" example.com")), QStringLiteral(" example.com"),
         std::nullopt},
        {"url without parameters", rule(GestureAction::openURL), title(GestureAction::openURL), urlMessage},
        {"folder without resource", rule(GestureAction::openFolder, ActionParameters{}),
         title(GestureAction::openFolder), folderMessage},
        {"file without parameters", rule(GestureAction::openFile), title(GestureAction::openFile), fileMessage},
        {"file", rule(GestureAction::openFile, report), QStringLiteral("打开 报告.pdf"), std::nullopt},
        {"application missing", application, QStringLiteral("打开 应用"), QStringLiteral("请先选择应用。")},
        {"application", safari, QStringLiteral("打开 Safari"), std::nullopt},
        {"shortcut missing", shortcut, title(GestureAction::customShortcut), QStringLiteral("请先设置快捷键。")},
        {"shortcut recorded by an earlier version", copyShortcut, QStringLiteral("Super+C"), std::nullopt},
        {"shortcuts app missing", rule(GestureAction::runShortcut), QStringLiteral("运行 快捷指令"),
         QStringLiteral("请先选择快捷指令。")},
        {"shortcuts app", rule(GestureAction::runShortcut, daily), QStringLiteral("运行 日报"), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rule.actionTitle(), c.title) << c.name;
        EXPECT_EQ(c.rule.validationMessage(), c.message) << c.name;
    }
}

TEST(GestureRuleTest, ResolvedParameters) {
    GestureRule rule;
    EXPECT_EQ(rule.resolvedParameters(), ActionParameters{});
    rule.parameters = ActionParameters{std::nullopt, QStringLiteral("example.com"), std::nullopt};
    EXPECT_EQ(rule.resolvedParameters(), *rule.parameters);
}

// --- JSON --------------------------------------------------------------------

QJsonObject parse(const char* text) { return QJsonDocument::fromJson(QByteArray(text)).object(); }

constexpr const char* minimalRule = R"({
    "id": "5a0c6d7e-1b2f-4c3d-9e8f-0a1b2c3d4e5f",
    "isEnabled": false,
    "gesture": {"kind": "tap", "fingers": 2, "direction": "up", "tapCount": 2},
    "requiredModifiers": 1048576,
    "appBundleID": "com.apple.finder",
    "action": "quickLook",
    "region": null,
    "futureKey": 1
})";

TEST(GestureRuleJsonTest, MinimalObjectDecodesWithOptionalsAbsent) {
    const auto decoded = GestureRule::fromJson(parse(minimalRule), JsonPath());
    ASSERT_TRUE(decoded.ok()) << decoded.error().describe().toStdString();
    const GestureRule& rule = decoded.value();
    EXPECT_EQ(rule.id, QUuid(QStringLiteral("5A0C6D7E-1B2F-4C3D-9E8F-0A1B2C3D4E5F")));
    EXPECT_FALSE(rule.isEnabled);
    EXPECT_EQ(rule.gesture, (GestureDescriptor{Kind::tap, 2, GestureDescriptor::Direction::up, 2}));
    EXPECT_EQ(rule.requiredModifiers, 0x100000u);
    EXPECT_EQ(rule.appBundleID, QStringLiteral("com.apple.finder"));
    EXPECT_EQ(rule.action, GestureAction::quickLook);
    EXPECT_FALSE(rule.customRegion || rule.customRegions || rule.region);
    EXPECT_FALSE(rule.parameters || rule.applicationTarget || rule.shortcut);

    // Written back: the six required keys only, the id in upper case.
    const QJsonObject encoded = rule.toJson().toObject();
    EXPECT_EQ(encoded.keys(),
              (QStringList{"action", "appBundleID", "gesture", "id", "isEnabled", "requiredModifiers"}));
    EXPECT_EQ(encoded.value(u"id").toString(), QStringLiteral("5A0C6D7E-1B2F-4C3D-9E8F-0A1B2C3D4E5F"));
    EXPECT_EQ(encoded.value(u"requiredModifiers"), QJsonValue(1048576));
}

TEST(GestureRuleJsonTest, EveryFieldRoundTrips) {
    GestureRule rule;
    rule.isEnabled = false;
    rule.gesture = {Kind::anchorSwipe, 2, GestureDescriptor::Direction::downLeft, 1};
    rule.customRegion = Rect{0.1f, 0.2f, 0.4f, 0.5f};
    rule.customRegions = std::vector<Rect>{{0, 0, 0.5f, 0.5f}, {0.25f, 0.25f, 0.75f, 0.75f}};
    rule.region = GestureRegion::custom;
    rule.requiredModifiers = 0x120000;
    rule.appBundleID = QStringLiteral("org.mozilla.firefox");
    rule.action = GestureAction::openFile;
    rule.parameters = ActionParameters{
        ResourceTarget{QStringLiteral("/tmp/a.txt"), QStringLiteral("a.txt"), QByteArray("\x00\x01\xff", 3)},
        QStringLiteral("  example.com"), ShortcutTarget{QStringLiteral("S1"), QStringLiteral("日报")}};
    rule.applicationTarget = ApplicationTarget{QStringLiteral("/usr/share/applications/firefox.desktop"), std::nullopt,
                                               QStringLiteral("Firefox")};
    rule.shortcut = KeyboardShortcut{0, 0, QStringLiteral("键盘背光调亮"), ShortcutMediaKey::keyboardBrightnessUp};

    const QJsonObject encoded = rule.toJson().toObject();
    EXPECT_EQ(encoded.size(), 12);
    EXPECT_EQ(encoded.value(u"id").toString(), rule.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(encoded.value(u"region").toString(), QStringLiteral("custom"));

    // Through text, as the settings file stores it.
    const QByteArray text = QJsonDocument(encoded).toJson(QJsonDocument::Compact);
    const auto decoded = GestureRule::fromJson(QJsonDocument::fromJson(text).object(), JsonPath());
    ASSERT_TRUE(decoded.ok()) << decoded.error().describe().toStdString();
    EXPECT_EQ(decoded.value(), rule);
}

TEST(GestureRuleJsonTest, DecodingFailuresNameTheKey) {
    struct Case {
        const char* name;
        const char* key;          // removed, or replaced
        const char* replacement;  // JSON text for `key`, when set instead of removed
        JsonError::Kind kind;
        const char* path;
    };
    const Case cases[] = {
        {"no appBundleID", "appBundleID", nullptr, JsonError::Kind::missingKey, "rules[0].appBundleID"},
        {"null id", "id", "null", JsonError::Kind::missingKey, "rules[0].id"},
        {"no direction", "gesture", R"({"kind": "swipe", "fingers": 3, "tapCount": 1})", JsonError::Kind::missingKey,
         "rules[0].gesture.direction"},
        {"modifiers as text", "requiredModifiers", R"("1048576")", JsonError::Kind::typeMismatch,
         "rules[0].requiredModifiers"},
        {"negative modifiers", "requiredModifiers", "-1", JsonError::Kind::outOfRange, "rules[0].requiredModifiers"},
        {"unknown action", "action", R"("flyAway")", JsonError::Kind::dataCorrupted, "rules[0].action"},
        {"unknown region", "region", R"("middle")", JsonError::Kind::dataCorrupted, "rules[0].region"},
        {"bad custom rectangle", "customRegions", R"([{"minX": 0, "minY": 0, "maxX": 1}])", JsonError::Kind::missingKey,
         "rules[0].customRegions[0].maxY"},
    };
    for (const auto& c : cases) {
        QJsonObject object = parse(minimalRule);
        if (c.replacement) {
            object.insert(QString::fromUtf8(c.key),
                          QJsonDocument::fromJson(QByteArray("[") + c.replacement + "]").array().at(0));
        } else {
            object.remove(QString::fromUtf8(c.key));
        }
        const auto decoded = GestureRule::fromJson(object, JsonPath(QStringLiteral("rules")).index(0));
        ASSERT_FALSE(decoded.ok()) << c.name;
        EXPECT_EQ(decoded.error().kind, c.kind) << c.name;
        EXPECT_EQ(decoded.error().path, QString::fromUtf8(c.path)) << c.name;
    }
}

}  // namespace
}  // namespace glidra
