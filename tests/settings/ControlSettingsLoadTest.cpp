#include "settings/ControlSettings.h"

#include "platform/sim/SimUserDefaults.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <functional>
#include <limits>

namespace glidra {
namespace {

namespace key = settings_key;

QByteArray compact(const QJsonValue& json) {
    return json.isArray() ? QJsonDocument(json.toArray()).toJson(QJsonDocument::Compact)
                          : QJsonDocument(json.toObject()).toJson(QJsonDocument::Compact);
}

GestureRule missionControlRule() {
    GestureRule rule;
    rule.gesture = GestureDescriptor{GestureDescriptor::Kind::swipe, 4, GestureDescriptor::Direction::up, 1};
    rule.action = GestureAction::missionControl;
    return rule;
}

// Two rules this version reads and one from a newer version, whose action it
// does not know.
QByteArray rulesWithAFutureAction() {
    QJsonObject future = missionControlRule().toJson().toObject();
    future.insert(u"action", QStringLiteral("summonTheMoon"));
    return compact(QJsonArray{missionControlRule().toJson(), future, missionControlRule().toJson()});
}

// The same around a rule whose rectangle has lost a coordinate, as JSON
// writes a number it cannot hold.
QByteArray rulesWithANullCoordinate() {
    GestureRule damaged = missionControlRule();
    damaged.region = GestureRegion::custom;
    damaged.customRegion = NormalizedRegionRect{0.25f, 0, 1, 1};
    QJsonObject json = damaged.toJson().toObject();
    QJsonObject region = json.value(u"customRegion").toObject();
    region.insert(u"minX", QJsonValue::Null);
    json.insert(u"customRegion", region);
    return compact(QJsonArray{missionControlRule().toJson(), json, missionControlRule().toJson()});
}

// Both fixtures above hold two rules this version reads.
void expectTheTwoReadableRules(const ControlSettings& settings) {
    ASSERT_EQ(settings.rules().size(), 2u);
    for (const GestureRule& rule : settings.rules()) EXPECT_EQ(rule.action, GestureAction::missionControl);
}

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Equal stored values, a NaN counting as equal to a NaN.
bool sameStored(const std::optional<DefaultsValue>& a, const DefaultsValue& b) {
    if (!a) return false;
    const auto* x = std::get_if<double>(&*a);
    const auto* y = std::get_if<double>(&b);
    if (x && y) return *x == *y || (std::isnan(*x) && std::isnan(*y));
    return *a == b;
}

// One stored value of one key, what it loads as, and which keys loading
// writes. Loading never changes the key itself.
struct LoadCase {
    const char* name;
    QLatin1StringView key;
    DefaultsValue stored;
    std::function<void(const ControlSettings&)> expect;
    QStringList written;
};

std::vector<LoadCase> loadCases() {
    using S = const ControlSettings&;
    const auto setAside = [](QLatin1StringView k) { return QStringList{key::unreadableCopy(k)}; };
    const QByteArray notJson("{\"left\": ");
    return {
        // recognitionLevel
        {"level raw value",
         key::recognitionLevel,
         QStringLiteral("deliberate"),
         [](S s) { EXPECT_EQ(s.recognitionLevel(), GestureRecognitionLevel::deliberate); },
         {}},
        {"level unknown case",
         key::recognitionLevel,
         QStringLiteral("Deliberate"),
         [](S s) { EXPECT_EQ(s.recognitionLevel(), GestureRecognitionLevel::standard); },
         {}},
        {"level wrong kind",
         key::recognitionLevel,
         std::int64_t(2),
         [](S s) { EXPECT_EQ(s.recognitionLevel(), GestureRecognitionLevel::standard); },
         {}},
        // disabledApplications
        {"disabled list",
         key::disabledApplications,
         QByteArray(R"([{"bundleIdentifier":"com.example.Game","name":"Game"},{"bundleIdentifier":"b","name":"B"}])"),
         [](S s) {
             EXPECT_EQ(s.disabledApplications(),
                       (std::vector<DisabledApplication>{{QStringLiteral("com.example.Game"), QStringLiteral("Game")},
                                                         {QStringLiteral("b"), QStringLiteral("B")}}));
         },
         {}},
        {"disabled entry without name", key::disabledApplications,
         QByteArray(R"([{"bundleIdentifier":"a","name":"A"},{"bundleIdentifier":"b"}])"),
         [](S s) {
             EXPECT_EQ(s.disabledApplications(),
                       (std::vector<DisabledApplication>{{QStringLiteral("a"), QStringLiteral("A")}}));
         },
         setAside(key::disabledApplications)},
        {"disabled not JSON", key::disabledApplications, notJson,
         [](S s) { EXPECT_TRUE(s.disabledApplications().empty()); }, setAside(key::disabledApplications)},
        {"disabled as a string", key::disabledApplications, QStringLiteral("[]"),
         [](S s) { EXPECT_TRUE(s.disabledApplications().empty()); }, setAside(key::disabledApplications)},
        // typingProtectionEnabled: only a Boolean counts
        {"typing false",
         key::typingProtectionEnabled,
         false,
         [](S s) { EXPECT_FALSE(s.typingProtectionEnabled()); },
         {}},
        {"typing string",
         key::typingProtectionEnabled,
         QStringLiteral("false"),
         [](S s) { EXPECT_TRUE(s.typingProtectionEnabled()); },
         {}},
        {"typing number",
         key::typingProtectionEnabled,
         std::int64_t(0),
         [](S s) { EXPECT_TRUE(s.typingProtectionEnabled()); },
         {}},
        // operationHintPosition
        {"position raw value",
         key::operationHintPosition,
         QStringLiteral("menuBarIcon"),
         [](S s) { EXPECT_EQ(s.operationHintPosition(), HUDPosition::menuBarIcon); },
         {}},
        {"position unknown",
         key::operationHintPosition,
         QStringLiteral("left"),
         [](S s) { EXPECT_EQ(s.operationHintPosition(), HUDPosition::bottom); },
         {}},
        {"position as data",
         key::operationHintPosition,
         QByteArray("top"),
         [](S s) { EXPECT_EQ(s.operationHintPosition(), HUDPosition::bottom); },
         {}},
        // showOperationHints
        {"hints false", key::showOperationHints, false, [](S s) { EXPECT_FALSE(s.showOperationHints()); }, {}},
        {"hints number", key::showOperationHints, 0.0, [](S s) { EXPECT_TRUE(s.showOperationHints()); }, {}},
        // configurationBeforeImport: only its presence as data is read
        {"backup data",
         key::configurationBeforeImport,
         QByteArray("garbage"),
         [](S s) { EXPECT_TRUE(s.hasConfigurationBackup()); },
         {}},
        {"backup as a string",
         key::configurationBeforeImport,
         QStringLiteral("{}"),
         [](S s) { EXPECT_FALSE(s.hasConfigurationBackup()); },
         {}},
        // forcePressLevel
        {"force raw value",
         key::forcePressLevel,
         QStringLiteral("light"),
         [](S s) { EXPECT_EQ(s.forcePressLevel(), ForcePressLevel::light); },
         {}},
        {"force unknown",
         key::forcePressLevel,
         QStringLiteral("hard"),
         [](S s) { EXPECT_EQ(s.forcePressLevel(), ForcePressLevel::standard); },
         {}},
        // edgeConfigurations: names are not checked here
        {"edges",
         key::edgeConfigurations,
         QByteArray(
             R"({"left":{"isSplit":false,"mergedMode":"volume"},"middle":{"isSplit":true,"mergedMode":"custom"}})"),
         [](S s) {
             ASSERT_EQ(s.edgeConfigurations().size(), 2u);
             EXPECT_EQ(s.edgeConfigurations().at(QStringLiteral("left")),
                       (EdgeConfiguration{false, EdgeControlMode::volume, std::nullopt}));
             EXPECT_EQ(s.edgeConfigurations().at(QStringLiteral("middle")).mergedMode, EdgeControlMode::custom);
         },
         {}},
        {"edges unknown mode", key::edgeConfigurations,
         QByteArray(R"({"left":{"isSplit":false,"mergedMode":"volume"},"top":{"isSplit":false,"mergedMode":"zoom"}})"),
         [](S s) {
             ASSERT_EQ(s.edgeConfigurations().size(), 1u);
             EXPECT_EQ(s.edgeConfigurations().at(QStringLiteral("left")).mergedMode, EdgeControlMode::volume);
         },
         setAside(key::edgeConfigurations)},
        {"edges an array", key::edgeConfigurations, QByteArray("[]"),
         [](S s) { EXPECT_TRUE(s.edgeConfigurations().empty()); }, setAside(key::edgeConfigurations)},
        // freeformRules
        {"rules",
         key::rules,
         compact(QJsonArray{missionControlRule().toJson()}),
         [](S s) {
             ASSERT_EQ(s.rules().size(), 1u);
             EXPECT_EQ(s.rules()[0].action, GestureAction::missionControl);
         },
         {}},
        // One rule this version cannot read costs no other.
        {"rules with a future action", key::rules, rulesWithAFutureAction(), expectTheTwoReadableRules,
         setAside(key::rules)},
        {"rules with a null coordinate", key::rules, rulesWithANullCoordinate(), expectTheTwoReadableRules,
         setAside(key::rules)},
        {"rules an object", key::rules, QByteArray("{}"), [](S s) { EXPECT_TRUE(s.rules().empty()); },
         setAside(key::rules)},
        // gestureBindings
        {"bindings not JSON", key::bindings, notJson,
         [](S s) { EXPECT_EQ(s.bindings(), GestureBinding::defaultBindings()); }, setAside(key::bindings)},
        {"bindings with a future trigger", key::bindings,
         QByteArray(R"([{"trigger":"leftUp","action":"volumeUp"},{"trigger":"middleUp","action":"none"}])"),
         [](S s) {
             auto expected = GestureBinding::defaultBindings();
             expected[0].action = GestureAction::volumeUp;
             EXPECT_EQ(s.bindings(), expected);
         },
         setAside(key::bindings)},
        // sensitivity: clamped in memory only
        {"sensitivity in range", key::sensitivity, 2.25, [](S s) { EXPECT_EQ(s.sensitivity(), 2.25); }, {}},
        {"sensitivity integer above",
         key::sensitivity,
         std::int64_t(7),
         [](S s) { EXPECT_EQ(s.sensitivity(), 3.0); },
         {}},
        {"sensitivity below", key::sensitivity, 0.1, [](S s) { EXPECT_EQ(s.sensitivity(), 0.5); }, {}},
        {"sensitivity NaN", key::sensitivity, nan, [](S s) { EXPECT_EQ(s.sensitivity(), 1.5); }, {}},
        {"sensitivity infinite", key::sensitivity, infinity, [](S s) { EXPECT_EQ(s.sensitivity(), 1.5); }, {}},
        {"sensitivity -infinite", key::sensitivity, -infinity, [](S s) { EXPECT_EQ(s.sensitivity(), 1.5); }, {}},
        {"sensitivity string",
         key::sensitivity,
         QStringLiteral("2.0"),
         [](S s) { EXPECT_EQ(s.sensitivity(), 1.5); },
         {}},
        {"sensitivity Boolean", key::sensitivity, true, [](S s) { EXPECT_EQ(s.sensitivity(), 1.5); }, {}},
        // edgeWidth
        {"edge width in range", key::edgeWidth, 0.12, [](S s) { EXPECT_EQ(s.edgeWidth(), 0.12); }, {}},
        {"edge width below", key::edgeWidth, 0.001, [](S s) { EXPECT_EQ(s.edgeWidth(), 0.02); }, {}},
        {"edge width integer zero", key::edgeWidth, std::int64_t(0), [](S s) { EXPECT_EQ(s.edgeWidth(), 0.02); }, {}},
        {"edge width above", key::edgeWidth, 0.5, [](S s) { EXPECT_EQ(s.edgeWidth(), 0.3); }, {}},
        {"edge width NaN", key::edgeWidth, nan, [](S s) { EXPECT_EQ(s.edgeWidth(), 0.08); }, {}},
        {"edge width as data", key::edgeWidth, QByteArray("0.2"), [](S s) { EXPECT_EQ(s.edgeWidth(), 0.08); }, {}},
        // the store's own Boolean reading
        {"pointer lock true",
         key::locksPointerDuringEdgeAdjustments,
         true,
         [](S s) { EXPECT_TRUE(s.locksPointerDuringEdgeAdjustments()); },
         {}},
        {"pointer lock zero",
         key::locksPointerDuringEdgeAdjustments,
         0.0,
         [](S s) { EXPECT_FALSE(s.locksPointerDuringEdgeAdjustments()); },
         {}},
        {"pointer lock YES",
         key::locksPointerDuringEdgeAdjustments,
         QStringLiteral("YES"),
         [](S s) { EXPECT_TRUE(s.locksPointerDuringEdgeAdjustments()); },
         {}},
        {"restore number 2", key::restoreEnabled, std::int64_t(2), [](S s) { EXPECT_TRUE(s.restoreEnabled()); }, {}},
        {"restore false", key::restoreEnabled, false, [](S s) { EXPECT_FALSE(s.restoreEnabled()); }, {}},
        {"restore data", key::restoreEnabled, QByteArray("1"), [](S s) { EXPECT_FALSE(s.restoreEnabled()); }, {}},
    };
}

TEST(ControlSettingsLoad, AnEmptyStoreLoadsEveryDefaultAndWritesNothing) {
    sim::SimUserDefaults defaults;
    const ControlSettings settings(defaults);
    EXPECT_EQ(settings.recognitionLevel(), GestureRecognitionLevel::standard);
    EXPECT_EQ(settings.forcePressLevel(), ForcePressLevel::standard);
    EXPECT_TRUE(settings.disabledApplications().empty());
    EXPECT_TRUE(settings.typingProtectionEnabled());
    EXPECT_TRUE(settings.showOperationHints());
    EXPECT_EQ(settings.operationHintPosition(), HUDPosition::bottom);
    EXPECT_FALSE(settings.hasConfigurationBackup());
    EXPECT_TRUE(settings.edgeConfigurations().empty());
    EXPECT_TRUE(settings.rules().empty());
    EXPECT_EQ(settings.bindings(), GestureBinding::defaultBindings());
    EXPECT_EQ(settings.sensitivity(), 1.5);
    EXPECT_EQ(settings.edgeWidth(), 0.08);
    EXPECT_FALSE(settings.locksPointerDuringEdgeAdjustments());
    EXPECT_FALSE(settings.restoreEnabled());
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    EXPECT_TRUE(defaults.removedKeys().isEmpty());
}

TEST(ControlSettingsLoad, EachKeyLoadsItsValueOrItsDefault) {
    for (const LoadCase& c : loadCases()) {
        SCOPED_TRACE(c.name);
        sim::SimUserDefaults defaults;
        defaults.preload(c.key, c.stored);
        const ControlSettings settings(defaults);
        c.expect(settings);
        EXPECT_EQ(defaults.writtenKeys(), c.written);
        EXPECT_TRUE(defaults.removedKeys().isEmpty());
        EXPECT_TRUE(sameStored(defaults.value(c.key), c.stored));
        // What could not be loaded is set aside as it was stored, kind and all.
        for (const QString& written : c.written) EXPECT_TRUE(sameStored(defaults.value(written), c.stored));
    }
}

TEST(ControlSettingsLoad, StoredBindingsTakeTheirPlaceAmongTheDefaultsByTrigger) {
    sim::SimUserDefaults defaults;
    // Stored out of order, with leftUp twice and most triggers missing.
    defaults.preload(key::bindings, QByteArray(R"([
        {"trigger":"bottomRightRight","action":"missionControl"},
        {"trigger":"leftUp","action":"volumeUp","slideDistance":30},
        {"trigger":"rightDown","action":"none"},
        {"trigger":"leftUp","action":"playPause"}])"));
    const ControlSettings settings(defaults);

    auto expected = GestureBinding::defaultBindings();
    expected[0].action = GestureAction::volumeUp;
    expected[0].slideDistance = SlideDistance{30};
    expected[3].action = GestureAction::none;
    expected[15].action = GestureAction::missionControl;
    EXPECT_EQ(settings.bindings(), expected);
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
}

TEST(ControlSettingsLoad, LegacyKeysAreRemoved) {
    sim::SimUserDefaults defaults;
    defaults.preload(QStringLiteral("gesturePresetUndo"), QByteArray("x"));
    defaults.preload(QStringLiteral("starterGestureUndo"), true);
    const ControlSettings settings(defaults);
    EXPECT_FALSE(defaults.value(QStringLiteral("gesturePresetUndo")));
    EXPECT_FALSE(defaults.value(QStringLiteral("starterGestureUndo")));
    EXPECT_EQ(defaults.removedKeys(),
              (QStringList{QStringLiteral("gesturePresetUndo"), QStringLiteral("starterGestureUndo")}));
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
}

TEST(ControlSettingsLoad, TheFinderQuickLookRuleIsMigratedAndWrittenOnce) {
    GestureRule quickLook;
    quickLook.gesture =
        GestureDescriptor{GestureDescriptor::Kind::forcePress, 1, GestureDescriptor::Direction::right, 1};
    quickLook.action = GestureAction::quickLook;
    quickLook.appBundleID = QStringLiteral("com.apple.finder");
    sim::SimUserDefaults defaults;
    defaults.preload(key::rules, compact(QJsonArray{missionControlRule().toJson(), quickLook.toJson()}));

    const ControlSettings settings(defaults);
    ASSERT_EQ(settings.rules().size(), 2u);
    EXPECT_EQ(settings.rules()[1].gesture,
              (GestureDescriptor{GestureDescriptor::Kind::tap, 3, GestureDescriptor::Direction::right, 1}));
    EXPECT_EQ(settings.rules()[1].id, quickLook.id);
    EXPECT_EQ(defaults.writtenKeys(), QStringList{key::rules});

    defaults.clearLog();
    const ControlSettings reloaded(defaults);
    EXPECT_EQ(reloaded.rules(), settings.rules());
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
}

TEST(ControlSettingsLoad, CustomRegionListsAreFoldedIntoTheirIntersection) {
    using R = NormalizedRegionRect;
    struct Case {
        const char* name;
        std::optional<GestureRegion> region;
        std::optional<R> single;
        std::vector<R> list;
        std::optional<R> expectedSingle;
        std::optional<std::vector<R>> expectedList;
    };
    const Case cases[] = {
        {"overlapping",
         GestureRegion::custom,
         std::nullopt,
         {R{0, 0, 0.6f, 1}, R{0.4f, 0, 1, 1}},
         R{0.4f, 0, 0.6f, 1},
         std::nullopt},
        {"disjoint stays",
         GestureRegion::custom,
         R{0, 0, 0.5f, 0.5f},
         {R{0, 0, 0.3f, 1}, R{0.7f, 0, 1, 1}},
         R{0, 0, 0.5f, 0.5f},
         std::vector<R>{R{0, 0, 0.3f, 1}, R{0.7f, 0, 1, 1}}},
        {"preset region",
         GestureRegion::top,
         R{0.1f, 0.1f, 0.2f, 0.2f},
         {R{0, 0, 1, 1}},
         R{0.1f, 0.1f, 0.2f, 0.2f},
         std::nullopt},
        {"no region", std::nullopt, std::nullopt, {R{0, 0, 1, 1}}, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GestureRule rule = missionControlRule();
        rule.region = c.region;
        rule.customRegion = c.single;
        rule.customRegions = c.list;
        sim::SimUserDefaults defaults;
        defaults.preload(key::rules, compact(QJsonArray{rule.toJson()}));

        const ControlSettings settings(defaults);
        ASSERT_EQ(settings.rules().size(), 1u);
        EXPECT_EQ(settings.rules()[0].customRegion, c.expectedSingle);
        EXPECT_EQ(settings.rules()[0].customRegions, c.expectedList);
        const bool changed = c.expectedList != c.list;
        EXPECT_EQ(defaults.writtenKeys(), changed ? QStringList{key::rules} : QStringList{});
        if (changed) {
            const ControlSettings reloaded(defaults);
            EXPECT_EQ(reloaded.rules(), settings.rules());
        }
    }
}

TEST(ControlSettingsLoad, DataThatCannotBeLoadedSurvivesLaterEdits) {
    const QByteArray rules = rulesWithAFutureAction();
    const QByteArray bindings(R"([{"trigger":"leftUp","action":"volumeUp"},{"trigger":"leftUp","action":"warp"}])");
    const QByteArray edges(R"({"left":{"isSplit":"yes","mergedMode":"volume"}})");
    const QByteArray applications(R"([{"bundleIdentifier":"com.example.Game"}])");
    sim::SimUserDefaults defaults;
    defaults.preload(key::rules, rules);
    defaults.preload(key::bindings, bindings);
    defaults.preload(key::edgeConfigurations, edges);
    defaults.preload(key::disabledApplications, applications);

    {
        ControlSettings settings(defaults);
        EXPECT_EQ(settings.rules().size(), 2u);
        EXPECT_EQ(settings.bindings()[0].action, GestureAction::volumeUp);
        // A round of edits replaces every one of the four keys.
        settings.setEdgeMode(EdgeControlMode::volume, EdgeLocation::left);
        settings.setEdgeSplit(true, EdgeLocation::top);
        settings.setRules({missionControlRule()});
        settings.setDisabledApplications({{QStringLiteral("a"), QStringLiteral("A")}});
        for (const QLatin1StringView k :
             {key::rules, key::bindings, key::edgeConfigurations, key::disabledApplications}) {
            EXPECT_TRUE(defaults.writtenKeys().contains(QString(k))) << QString(k).toStdString();
        }
    }

    defaults.clearLog();
    const ControlSettings reloaded(defaults);
    EXPECT_EQ(reloaded.rules().size(), 1u);
    EXPECT_EQ(reloaded.edgeConfiguration(EdgeLocation::left).mergedMode, EdgeControlMode::volume);
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    EXPECT_EQ(defaults.value(key::unreadableCopy(key::rules)), DefaultsValue(rules));
    EXPECT_EQ(defaults.value(key::unreadableCopy(key::bindings)), DefaultsValue(bindings));
    EXPECT_EQ(defaults.value(key::unreadableCopy(key::edgeConfigurations)), DefaultsValue(edges));
    EXPECT_EQ(defaults.value(key::unreadableCopy(key::disabledApplications)), DefaultsValue(applications));
}

TEST(ControlSettingsLoad, TheSameUnreadableDataIsSetAsideOnlyOnce) {
    sim::SimUserDefaults defaults;
    defaults.preload(key::rules, rulesWithAFutureAction());
    { const ControlSettings first(defaults); }
    EXPECT_EQ(defaults.writtenKeys(), QStringList{key::unreadableCopy(key::rules)});
    defaults.clearLog();
    { const ControlSettings second(defaults); }
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());

    // Newer unreadable data replaces the older copy.
    defaults.preload(key::rules, QByteArray("[1]"));
    { const ControlSettings third(defaults); }
    EXPECT_EQ(defaults.value(key::unreadableCopy(key::rules)), DefaultsValue(QByteArray("[1]")));
}

TEST(ControlSettingsLoad, WhatTheStoreCouldNotReadIsToldUntilDismissed) {
    sim::SimUserDefaults defaults;
    const QString notice = QStringLiteral("设置文件已损坏，已原样保留为 /kept，现使用默认设置。");
    defaults.setUnreadableNotice(notice);
    ControlSettings settings(defaults);
    EXPECT_EQ(settings.unreadableNotice(), notice);
    // Writing does not clear it: the settings it speaks of are still the
    // defaults.
    settings.setSensitivity(2.0);
    EXPECT_EQ(settings.unreadableNotice(), notice);

    QSignalSpy changed(&settings, &ControlSettings::unreadableNoticeChanged);
    settings.dismissUnreadableNotice();
    settings.dismissUnreadableNotice();
    EXPECT_TRUE(settings.unreadableNotice().isEmpty());
    EXPECT_EQ(changed.count(), 1);
    sim::SimUserDefaults whole;
    EXPECT_TRUE(ControlSettings(whole).unreadableNotice().isEmpty());
}

}  // namespace
}  // namespace glidra
