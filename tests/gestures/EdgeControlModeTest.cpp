#include "gestures/EdgeControlMode.h"

#include "gestures/EnumCaseTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace glidra {
namespace {

using T = GestureTrigger;
using A = GestureAction;
using M = EdgeControlMode;
using Bindings = std::vector<GestureBinding>;

GestureBinding bind(GestureTrigger trigger, GestureAction action) {
    GestureBinding binding;
    binding.trigger = trigger;
    binding.action = action;
    return binding;
}

ApplicationTarget app(const char* name) {
    return ApplicationTarget{QStringLiteral("/Applications/%1.app").arg(QLatin1String(name)),
                             QStringLiteral("com.example.%1").arg(QLatin1String(name)), QString::fromLatin1(name)};
}

std::string describe(M mode, EdgeLocation edge) {
    return (enumRaw(mode) + QLatin1Char('/') + enumRaw(edge)).toStdString();
}

TEST(EdgeControlModeTest, CasesTitlesAndActions) {
    test::expectEnumCases<EdgeControlMode>({{"brightness", "亮度"},
                                            {"keyboardBrightness", "键盘背光"},
                                            {"volume", "音量"},
                                            {"video", "视频进度"},
                                            {"music", "切换歌曲"},
                                            {"tabs", "切换标签页"},
                                            {"application", "打开指定应用"},
                                            {"disabled", "关闭"},
                                            {"custom", "分别设置两个方向…"}},
                                           [](EdgeControlMode m) { return title(m); });
    using Pair = std::array<GestureAction, 2>;
    EXPECT_EQ(actions(M::brightness), (Pair{A::brightnessDown, A::brightnessUp}));
    EXPECT_EQ(actions(M::keyboardBrightness), (Pair{A::keyboardBrightnessDown, A::keyboardBrightnessUp}));
    EXPECT_EQ(actions(M::volume), (Pair{A::volumeDown, A::volumeUp}));
    EXPECT_EQ(actions(M::video), (Pair{A::scrubVideo, A::scrubVideo}));
    EXPECT_EQ(actions(M::music), (Pair{A::previousTrack, A::nextTrack}));
    EXPECT_EQ(actions(M::tabs), (Pair{A::previousTab, A::nextTab}));
    EXPECT_EQ(actions(M::application), (Pair{A::openApplication, A::openApplication}));
    EXPECT_EQ(actions(M::disabled), (Pair{A::none, A::none}));
    EXPECT_EQ(actions(M::custom), std::nullopt);
}

// Every preset on every edge: the edge's two triggers take the pair in order,
// the other 14 bindings stay exactly as they were, and inference reads the
// preset back.
TEST(EdgeControlModeTest, ApplyThenInferEveryPresetOnEveryEdge) {
    const Bindings defaults = GestureBinding::defaultBindings();
    for (const EdgeLocation edge : enumAllCases<EdgeLocation>()) {
        const auto edgeTriggers = triggers(edge);
        for (const M mode : enumAllCases<EdgeControlMode>()) {
            if (mode == M::custom) continue;
            SCOPED_TRACE(describe(mode, edge));
            const Bindings applied = apply(mode, defaults, edge);
            ASSERT_EQ(applied.size(), defaults.size());
            for (size_t i = 0; i < applied.size(); ++i) {
                if (defaults[i].trigger == edgeTriggers[0]) {
                    EXPECT_EQ(applied[i], bind(edgeTriggers[0], (*actions(mode))[0]));
                } else if (defaults[i].trigger == edgeTriggers[1]) {
                    EXPECT_EQ(applied[i], bind(edgeTriggers[1], (*actions(mode))[1]));
                } else {
                    EXPECT_EQ(applied[i], defaults[i]);
                }
            }
            EXPECT_EQ(inferredEdgeControlMode(applied, edge), mode);
            // The other edges keep what the defaults gave them.
            for (const EdgeLocation other : enumAllCases<EdgeLocation>()) {
                if (other != edge) {
                    EXPECT_EQ(inferredEdgeControlMode(applied, other), inferredEdgeControlMode(defaults, other));
                }
            }
        }
    }
}

TEST(EdgeControlModeTest, ApplyBrightnessToTheLeftEdgeOfTheDefaults) {
    Bindings bindings = GestureBinding::defaultBindings();
    bindings[0].action = A::none;        // leftUp
    bindings[1].action = A::toggleMute;  // leftDown
    const Bindings applied = apply(M::brightness, bindings, EdgeLocation::left);
    EXPECT_EQ(applied, GestureBinding::defaultBindings());
}

TEST(EdgeControlModeTest, ApplyKeepsDistanceAndTargetButDropsShortcutAndParameters) {
    GestureBinding up = bind(T::rightUp, A::customShortcut);
    up.slideDistance = SlideDistance{30};
    up.shortcut = KeyboardShortcut{0x31, 0x100000, QStringLiteral("⌘Space"), std::nullopt};
    up.parameters = ActionParameters{std::nullopt, QStringLiteral("example.com"), std::nullopt};
    up.applicationTarget = app("Notes");
    GestureBinding corner = up;
    corner.trigger = T::topRightRight;
    const Bindings bindings{up, bind(T::rightDown, A::openURL), corner};

    const Bindings applied = apply(M::volume, bindings, EdgeLocation::right);
    GestureBinding expectedUp = bind(T::rightUp, A::volumeUp);
    expectedUp.slideDistance = SlideDistance{30};
    expectedUp.applicationTarget = app("Notes");
    EXPECT_EQ(applied, (Bindings{expectedUp, bind(T::rightDown, A::volumeDown), corner}));
}

TEST(EdgeControlModeTest, ApplyEdgeCases) {
    GestureBinding withShortcut = bind(T::topLeft, A::customShortcut);
    withShortcut.shortcut = KeyboardShortcut{0x31, 0x100000, QStringLiteral("⌘Space"), std::nullopt};
    const Bindings bindings{withShortcut, bind(T::leftUp, A::none), bind(T::topLeft, A::openURL)};

    // Custom keeps every binding as it is, settings included.
    EXPECT_EQ(apply(M::custom, bindings, EdgeLocation::top), bindings);
    // A trigger that occurs twice is rewritten both times.
    EXPECT_EQ(
        apply(M::music, bindings, EdgeLocation::top),
        (Bindings{bind(T::topLeft, A::previousTrack), bind(T::leftUp, A::none), bind(T::topLeft, A::previousTrack)}));
    // A list without the edge's triggers comes back unchanged.
    EXPECT_EQ(apply(M::volume, bindings, EdgeLocation::bottom), bindings);
    EXPECT_EQ(apply(M::volume, Bindings{}, EdgeLocation::bottom), Bindings{});
}

TEST(EdgeControlModeTest, DefaultsInferOnePresetPerEdge) {
    const Bindings defaults = GestureBinding::defaultBindings();
    EXPECT_EQ(inferredEdgeControlMode(defaults, EdgeLocation::left), M::brightness);
    EXPECT_EQ(inferredEdgeControlMode(defaults, EdgeLocation::right), M::volume);
    EXPECT_EQ(inferredEdgeControlMode(defaults, EdgeLocation::top), M::music);
    EXPECT_EQ(inferredEdgeControlMode(defaults, EdgeLocation::bottom), M::tabs);
}

TEST(EdgeControlModeTest, InferenceFromActions) {
    struct Case {
        const char* name;
        Bindings bindings;
        M expected;
    };
    GestureBinding slowDown = bind(T::leftDown, A::brightnessDown);
    slowDown.slideDistance = SlideDistance{80};
    slowDown.shortcut = KeyboardShortcut{0x31, 0, QStringLiteral("Space"), std::nullopt};
    slowDown.parameters = ActionParameters{std::nullopt, QStringLiteral("example.com"), std::nullopt};
    const Case cases[] = {
        {"reversed pair", {bind(T::leftDown, A::brightnessUp), bind(T::leftUp, A::brightnessDown)}, M::custom},
        {"order in the list does not matter",
         {bind(T::leftUp, A::volumeUp), bind(T::leftDown, A::volumeDown)},
         M::volume},
        {"video", {bind(T::leftDown, A::scrubVideo), bind(T::leftUp, A::scrubVideo)}, M::video},
        {"disabled", {bind(T::leftDown, A::none), bind(T::leftUp, A::none)}, M::disabled},
        {"half a pair", {bind(T::leftDown, A::none), bind(T::leftUp, A::volumeUp)}, M::custom},
        {"one trigger missing", {bind(T::leftDown, A::none)}, M::custom},
        {"one trigger missing, other video", {bind(T::leftUp, A::scrubVideo)}, M::custom},
        {"empty list", {}, M::custom},
        {"another edge's triggers", {bind(T::rightDown, A::volumeDown), bind(T::rightUp, A::volumeUp)}, M::custom},
        {"first binding of a trigger counts",
         {bind(T::leftDown, A::volumeDown), bind(T::leftUp, A::volumeUp), bind(T::leftUp, A::none)},
         M::volume},
        {"distance, shortcut and parameters are ignored", {slowDown, bind(T::leftUp, A::brightnessUp)}, M::brightness},
        {"corner triggers are ignored",
         {bind(T::topLeftLeft, A::none), bind(T::leftDown, A::previousTab), bind(T::leftUp, A::nextTab)},
         M::tabs},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inferredEdgeControlMode(c.bindings, EdgeLocation::left), c.expected) << c.name;
}

TEST(EdgeControlModeTest, ApplicationPairNeedsOneTarget) {
    struct Case {
        const char* name;
        std::optional<ApplicationTarget> lower;
        std::optional<ApplicationTarget> higher;
        M expected;
    };
    ApplicationTarget renamed = app("Notes");
    renamed.name = QStringLiteral("Notizen");
    ApplicationTarget withoutIdentifier = app("Notes");
    withoutIdentifier.bundleIdentifier = std::nullopt;
    const Case cases[] = {
        {"same target", app("Notes"), app("Notes"), M::application},
        {"no target", std::nullopt, std::nullopt, M::application},
        {"different targets", app("Notes"), app("Mail"), M::custom},
        {"target on the lower side only", app("Notes"), std::nullopt, M::custom},
        {"target on the higher side only", std::nullopt, app("Notes"), M::custom},
        {"names differ", app("Notes"), renamed, M::custom},
        {"identifier on one side only", app("Notes"), withoutIdentifier, M::custom},
    };
    for (const auto& c : cases) {
        GestureBinding lower = bind(T::bottomLeft, A::openApplication);
        lower.applicationTarget = c.lower;
        GestureBinding higher = bind(T::bottomRight, A::openApplication);
        higher.applicationTarget = c.higher;
        // A later binding of the same trigger is not looked at.
        GestureBinding later = bind(T::bottomRight, A::openApplication);
        later.applicationTarget = app("Other");
        EXPECT_EQ(inferredEdgeControlMode(Bindings{lower, higher, later}, EdgeLocation::bottom), c.expected) << c.name;
    }

    // Targets only matter for the application pair.
    GestureBinding lower = bind(T::bottomLeft, A::previousTab);
    lower.applicationTarget = app("Notes");
    EXPECT_EQ(inferredEdgeControlMode(Bindings{lower, bind(T::bottomRight, A::nextTab)}, EdgeLocation::bottom),
              M::tabs);
}

}  // namespace
}  // namespace glidra
