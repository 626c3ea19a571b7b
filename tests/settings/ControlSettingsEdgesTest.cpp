#include "settings/ControlSettings.h"

#include "platform/sim/SimUserDefaults.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QSignalSpy>

#include <algorithm>

namespace glidra {
namespace {

namespace key = settings_key;

const EdgeLocation allEdges[] = {EdgeLocation::left, EdgeLocation::right, EdgeLocation::top, EdgeLocation::bottom};

// What each edge amounts to with the default bindings.
EdgeControlMode defaultMode(EdgeLocation edge) {
    switch (edge) {
        case EdgeLocation::left:
            return EdgeControlMode::brightness;
        case EdgeLocation::right:
            return EdgeControlMode::volume;
        case EdgeLocation::top:
            return EdgeControlMode::music;
        case EdgeLocation::bottom:
            return EdgeControlMode::tabs;
    }
    return EdgeControlMode::custom;
}

GestureBinding& bindingFor(std::vector<GestureBinding>& bindings, GestureTrigger trigger) {
    return *std::find_if(bindings.begin(), bindings.end(),
                         [&](const GestureBinding& b) { return b.trigger == trigger; });
}

GestureBinding bindingFor(const ControlSettings& settings, GestureTrigger trigger) {
    auto bindings = settings.bindings();
    return bindingFor(bindings, trigger);
}

std::vector<GestureBinding> withoutEdge(std::vector<GestureBinding> bindings, EdgeLocation edge) {
    const auto edgeTriggers = triggers(edge);
    std::erase_if(bindings, [&](const GestureBinding& b) {
        return std::find(edgeTriggers.begin(), edgeTriggers.end(), b.trigger) != edgeTriggers.end();
    });
    return bindings;
}

ApplicationTarget editor() {
    return ApplicationTarget{QStringLiteral("/usr/share/applications/editor.desktop"), QStringLiteral("editor.desktop"),
                             QStringLiteral("Editor")};
}

// The edge's two triggers given actions of their own, which fit no preset.
std::vector<GestureBinding> perDirection(std::vector<GestureBinding> bindings, EdgeLocation edge) {
    const auto [lower, higher] = triggers(edge);
    bindingFor(bindings, lower).action = GestureAction::openFinder;
    bindingFor(bindings, lower).slideDistance = SlideDistance{40};
    bindingFor(bindings, higher).action = GestureAction::missionControl;
    bindingFor(bindings, higher).slideDistance = SlideDistance{20};
    return bindings;
}

// The edge's bindings in list order.
std::vector<GestureBinding> currentEdge(const std::vector<GestureBinding>& bindings, EdgeLocation edge) {
    const auto edgeTriggers = triggers(edge);
    std::vector<GestureBinding> result;
    std::copy_if(bindings.begin(), bindings.end(), std::back_inserter(result), [&](const GestureBinding& b) {
        return std::find(edgeTriggers.begin(), edgeTriggers.end(), b.trigger) != edgeTriggers.end();
    });
    return result;
}

// What an archive accepts of the stored edge configurations: known names,
// never merged with custom, and split bindings (in any order) for exactly
// the edge's two triggers.
void expectArchivable(const ControlSettings& settings) {
    for (const auto& [name, configuration] : settings.edgeConfigurations()) {
        SCOPED_TRACE(name.toStdString());
        const auto edge = enumFromRaw<EdgeLocation>(name);
        ASSERT_TRUE(edge.has_value());
        EXPECT_FALSE(!configuration.isSplit && configuration.mergedMode == EdgeControlMode::custom);
        if (!configuration.splitBindings) continue;
        ASSERT_EQ(configuration.splitBindings->size(), 2u);
        QSet<GestureTrigger> stored;
        for (const GestureBinding& binding : *configuration.splitBindings) stored.insert(binding.trigger);
        const auto edgeTriggers = triggers(*edge);
        EXPECT_EQ(stored, (QSet<GestureTrigger>{edgeTriggers[0], edgeTriggers[1]}));
    }
}

class ControlSettingsEdges : public ::testing::Test {
protected:
    sim::SimUserDefaults defaults;
    ControlSettings settings{defaults};
};

TEST_F(ControlSettingsEdges, AnEdgeWithoutEntryIsDerivedFromTheBindings) {
    for (const EdgeLocation edge : allEdges) {
        EXPECT_EQ(settings.edgeConfiguration(edge), (EdgeConfiguration{false, defaultMode(edge), std::nullopt}));
    }

    auto bindings = settings.bindings();
    bindingFor(bindings, GestureTrigger::leftDown).action = GestureAction::openFinder;
    bindingFor(bindings, GestureTrigger::rightDown).action = GestureAction::keyboardBrightnessDown;
    bindingFor(bindings, GestureTrigger::rightUp).action = GestureAction::keyboardBrightnessUp;
    settings.setBindings(bindings);
    // Bindings that fit no preset make a split edge showing the default mode.
    EXPECT_EQ(settings.edgeConfiguration(EdgeLocation::left),
              (EdgeConfiguration{true, EdgeControlMode::brightness, std::nullopt}));
    EXPECT_EQ(settings.edgeConfiguration(EdgeLocation::right),
              (EdgeConfiguration{false, EdgeControlMode::keyboardBrightness, std::nullopt}));

    const EdgeConfiguration stored{true, EdgeControlMode::video, std::nullopt};
    settings.setEdgeConfigurations({{QStringLiteral("right"), stored}});
    EXPECT_EQ(settings.edgeConfiguration(EdgeLocation::right), stored);
}

TEST_F(ControlSettingsEdges, AModeRewritesOnlyItsEdgeAndWritesBindingsFirst) {
    for (const EdgeLocation edge : allEdges) {
        SCOPED_TRACE(enumRaw(edge).toStdString());
        const auto before = settings.bindings();
        defaults.clearLog();
        QStringList signalOrder;
        const auto bindingsConnection = QObject::connect(&settings, &ControlSettings::bindingsChanged,
                                                         [&] { signalOrder << QStringLiteral("bindings"); });
        const auto edgesConnection = QObject::connect(&settings, &ControlSettings::edgeConfigurationsChanged,
                                                      [&] { signalOrder << QStringLiteral("edges"); });

        settings.setEdgeMode(EdgeControlMode::video, edge);

        QObject::disconnect(bindingsConnection);
        QObject::disconnect(edgesConnection);
        for (const GestureTrigger trigger : triggers(edge)) {
            EXPECT_EQ(bindingFor(settings, trigger).action, GestureAction::scrubVideo);
        }
        EXPECT_EQ(withoutEdge(settings.bindings(), edge), withoutEdge(before, edge));
        EXPECT_EQ(settings.edgeConfiguration(edge), (EdgeConfiguration{false, EdgeControlMode::video, std::nullopt}));
        EXPECT_EQ(defaults.writtenKeys(), (QStringList{key::bindings, key::edgeConfigurations}));
        EXPECT_EQ(signalOrder, (QStringList{QStringLiteral("bindings"), QStringLiteral("edges")}));
    }
    expectArchivable(settings);
}

TEST_F(ControlSettingsEdges, CustomModeAndARepeatedSplitDoNothing) {
    settings.setEdgeSplit(true, EdgeLocation::left);
    const auto bindings = settings.bindings();
    const auto configurations = settings.edgeConfigurations();
    defaults.clearLog();
    QSignalSpy bindingsChanged(&settings, &ControlSettings::bindingsChanged);
    QSignalSpy edgesChanged(&settings, &ControlSettings::edgeConfigurationsChanged);

    settings.setEdgeMode(EdgeControlMode::custom, EdgeLocation::right);
    settings.setEdgeSplit(true, EdgeLocation::left);
    settings.setEdgeSplit(false, EdgeLocation::top);  // derived as merged already

    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    EXPECT_EQ(bindingsChanged.count(), 0);
    EXPECT_EQ(edgesChanged.count(), 0);
    EXPECT_EQ(settings.bindings(), bindings);
    EXPECT_EQ(settings.edgeConfigurations(), configurations);
}

TEST_F(ControlSettingsEdges, SplittingAndMergingEachEdgeKeepsWhatTheOtherStateNeeds) {
    for (const EdgeLocation edge : allEdges) {
        SCOPED_TRACE(enumRaw(edge).toStdString());
        const auto [lower, higher] = triggers(edge);

        // Splitting a never-split edge changes no binding.
        const auto merged = settings.bindings();
        defaults.clearLog();
        settings.setEdgeSplit(true, edge);
        EXPECT_EQ(settings.bindings(), merged);
        EXPECT_EQ(defaults.writtenKeys(), QStringList{key::edgeConfigurations});
        EXPECT_EQ(settings.edgeConfiguration(edge), (EdgeConfiguration{true, defaultMode(edge), std::nullopt}));

        const auto split = perDirection(settings.bindings(), edge);
        settings.setBindings(split);

        // Merging into a mode keeps the two directions for later; the merged
        // bindings take the slide distance of the edge's first binding in
        // list order.
        settings.setEdgeMode(EdgeControlMode::volume, edge);
        const GestureBinding& first = *std::find_if(split.begin(), split.end(), [&](const GestureBinding& b) {
            return b.trigger == lower || b.trigger == higher;
        });
        EXPECT_EQ(bindingFor(settings, lower).action, GestureAction::volumeDown);
        EXPECT_EQ(bindingFor(settings, higher).action, GestureAction::volumeUp);
        EXPECT_EQ(bindingFor(settings, lower).slideDistance, first.slideDistance);
        EXPECT_EQ(bindingFor(settings, higher).slideDistance, first.slideDistance);
        const EdgeConfiguration afterMerge = settings.edgeConfiguration(edge);
        EXPECT_FALSE(afterMerge.isSplit);
        EXPECT_EQ(afterMerge.mergedMode, EdgeControlMode::volume);
        ASSERT_TRUE(afterMerge.splitBindings.has_value());
        EXPECT_EQ(
            QSet<GestureTrigger>({afterMerge.splitBindings->at(0).trigger, afterMerge.splitBindings->at(1).trigger}),
            (QSet<GestureTrigger>{lower, higher}));

        // Splitting again brings the two directions back exactly.
        settings.setEdgeSplit(true, edge);
        EXPECT_EQ(settings.bindings(), split);
        EXPECT_EQ(settings.edgeConfiguration(edge).mergedMode, EdgeControlMode::volume);

        // And merging again returns to the mode.
        settings.setEdgeSplit(false, edge);
        EXPECT_EQ(bindingFor(settings, lower).action, GestureAction::volumeDown);
        EXPECT_EQ(bindingFor(settings, higher).slideDistance, first.slideDistance);
        EXPECT_EQ(settings.edgeConfiguration(edge).mergedMode, EdgeControlMode::volume);
        EXPECT_FALSE(settings.edgeConfiguration(edge).isSplit);
        expectArchivable(settings);
    }
}

TEST_F(ControlSettingsEdges, MergingNeverStoresTheCustomMode) {
    for (const EdgeLocation edge : allEdges) {
        SCOPED_TRACE(enumRaw(edge).toStdString());
        const auto [lower, higher] = triggers(edge);
        const auto defaults = GestureBinding::defaultBindings();

        // A split edge with custom as its merged mode, as an imported archive
        // may hold it, whose directions fit no preset: it merges into the
        // edge's default mode.
        settings.setBindings(perDirection(defaults, edge));
        settings.setEdgeConfigurations(
            {{enumRaw(edge), EdgeConfiguration{true, EdgeControlMode::custom, std::nullopt}}});
        settings.setEdgeSplit(false, edge);
        EXPECT_EQ(settings.edgeConfiguration(edge).mergedMode, defaultMode(edge));
        EXPECT_EQ(bindingFor(settings, lower).action, defaultAction(lower));
        EXPECT_EQ(bindingFor(settings, higher).action, defaultAction(higher));
        EXPECT_EQ(withoutEdge(settings.bindings(), edge), withoutEdge(defaults, edge));
        expectArchivable(settings);

        // Directions that do fit a preset merge into it.
        auto tabs = defaults;
        bindingFor(tabs, lower).action = GestureAction::previousTab;
        bindingFor(tabs, higher).action = GestureAction::nextTab;
        settings.setBindings(tabs);
        settings.setEdgeConfigurations(
            {{enumRaw(edge), EdgeConfiguration{true, EdgeControlMode::custom, std::nullopt}}});
        settings.setEdgeSplit(false, edge);
        EXPECT_EQ(settings.edgeConfiguration(edge),
                  (EdgeConfiguration{false, EdgeControlMode::tabs, currentEdge(tabs, edge)}));
        expectArchivable(settings);
    }
}

TEST_F(ControlSettingsEdges, AnEdgeDerivedAsSplitMergesIntoItsDefaultMode) {
    settings.setBindings(perDirection(settings.bindings(), EdgeLocation::top));
    ASSERT_TRUE(settings.edgeConfiguration(EdgeLocation::top).isSplit);
    settings.setEdgeSplit(false, EdgeLocation::top);
    EXPECT_EQ(settings.edgeConfiguration(EdgeLocation::top).mergedMode, EdgeControlMode::music);
    EXPECT_EQ(bindingFor(settings, GestureTrigger::topRight).action, GestureAction::nextTrack);
    expectArchivable(settings);
}

TEST_F(ControlSettingsEdges, CornerTriggersAreNeverTouched) {
    auto bindings = settings.bindings();
    for (GestureBinding& binding : bindings) {
        if (!edgeLocation(binding.trigger)) binding.action = GestureAction::showDesktop;
    }
    settings.setBindings(bindings);
    const auto corners = [](std::vector<GestureBinding> list) {
        std::erase_if(list, [](const GestureBinding& b) { return edgeLocation(b.trigger).has_value(); });
        return list;
    };
    const auto before = corners(settings.bindings());

    // A stored split entry that strays beyond its edge restores only the
    // edge's own triggers.
    GestureBinding stray;
    stray.trigger = GestureTrigger::topLeftLeft;
    stray.action = GestureAction::openFinder;
    GestureBinding leftUp;
    leftUp.trigger = GestureTrigger::leftUp;
    leftUp.action = GestureAction::missionControl;
    settings.setEdgeConfigurations(
        {{QStringLiteral("left"),
          EdgeConfiguration{false, EdgeControlMode::brightness, std::vector<GestureBinding>{stray, leftUp}}}});
    settings.setEdgeSplit(true, EdgeLocation::left);
    EXPECT_EQ(bindingFor(settings, GestureTrigger::leftUp).action, GestureAction::missionControl);

    for (const EdgeLocation edge : allEdges) {
        settings.setEdgeMode(EdgeControlMode::application, edge);
        settings.setEdgeSplit(true, edge);
        settings.setEdgeSplit(false, edge);
        settings.setEdgeMode(EdgeControlMode::disabled, edge);
    }
    EXPECT_EQ(corners(settings.bindings()), before);
}

TEST_F(ControlSettingsEdges, EdgeBindingsKeepTheFirstDistanceAndApplicationTarget) {
    auto bindings = settings.bindings();
    bindingFor(bindings, GestureTrigger::leftUp).slideDistance = SlideDistance{30};  // first of the edge in the list
    bindingFor(bindings, GestureTrigger::leftDown).slideDistance = SlideDistance{50};
    bindingFor(bindings, GestureTrigger::leftDown).applicationTarget = editor();
    bindingFor(bindings, GestureTrigger::leftDown).parameters = ActionParameters{};
    settings.setBindings(bindings);
    defaults.clearLog();

    const auto result = settings.edgeBindings(EdgeLocation::left, EdgeControlMode::application);
    auto expected = bindings;
    for (const GestureTrigger trigger : {GestureTrigger::leftUp, GestureTrigger::leftDown}) {
        GestureBinding rewritten;
        rewritten.trigger = trigger;
        rewritten.action = GestureAction::openApplication;
        rewritten.slideDistance = SlideDistance{30};
        rewritten.applicationTarget = editor();
        bindingFor(expected, trigger) = rewritten;
    }
    EXPECT_EQ(result, expected);
    EXPECT_EQ(settings.bindings(), bindings);  // only a preview
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
}

}  // namespace
}  // namespace glidra
