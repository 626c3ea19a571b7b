#include "settings/ControlSettings.h"

#include "platform/sim/ManualClock.h"
#include "platform/sim/SimUserDefaults.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

#include <map>

namespace glidra {
namespace {

using Error = ConfigurationArchiveError;
using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

GestureRule makeRule(Kind kind, qint64 fingers, GestureAction action) {
    GestureRule rule;
    rule.gesture = GestureDescriptor{kind, fingers, Direction::up, 1};
    rule.action = action;
    return rule;
}

NormalizedRegionRect rect(float minX, float minY, float maxX, float maxY) { return {minX, minY, maxX, maxY}; }

// Something of every kind the archive carries, none of it a default.
void makeRich(ControlSettings& settings) {
    GestureRule file = makeRule(Kind::tap, 2, GestureAction::openFile);
    file.gesture.tapCount = 3;
    file.parameters = ActionParameters{
        ResourceTarget{QStringLiteral("/home/me/文档/plan.txt"), QStringLiteral("plan.txt"), QByteArray("\x01\x02", 2)},
        std::nullopt, std::nullopt};
    file.region = GestureRegion::custom;
    file.customRegion = rect(0.25f, 0.25f, 0.75f, 0.75f);
    file.requiredModifiers = 0x100000 | 0x20000;

    GestureRule app = makeRule(Kind::pinchOut, 4, GestureAction::openApplication);
    app.applicationTarget = ApplicationTarget{QStringLiteral("/usr/share/applications/org.gnome.Terminal.desktop"),
                                              QStringLiteral("org.gnome.Terminal"), QStringLiteral("终端")};
    app.appBundleID = QStringLiteral("org.mozilla.firefox");
    app.isEnabled = false;

    GestureRule shortcut = makeRule(Kind::holdSwipe, 3, GestureAction::customShortcut);
    shortcut.gesture.direction = Direction::downLeft;
    shortcut.shortcut = KeyboardShortcut{0x23, 0x100000, QStringLiteral("⌘P"), std::nullopt};
    shortcut.region = GestureRegion::topRight;

    GestureRule web = makeRule(Kind::circle, 1, GestureAction::openURL);
    web.parameters = ActionParameters{std::nullopt, QStringLiteral("https://example.com/a/b?c=d"),
                                      ShortcutTarget{QStringLiteral("id/1"), QStringLiteral("名字")}};
    settings.setRules({file, app, shortcut, web});

    auto bindings = GestureBinding::defaultBindings();
    bindings[2].action = GestureAction::mouseScrollUp;
    bindings[2].slideDistance = SlideDistance{40};
    bindings[3].action = GestureAction::customShortcut;
    bindings[3].shortcut = KeyboardShortcut{0, 0, QStringLiteral("静音"), ShortcutMediaKey::mute};
    bindings[9].action = GestureAction::openApplication;
    bindings[9].applicationTarget = ApplicationTarget{QStringLiteral("/opt/app"), std::nullopt, QStringLiteral("App")};
    settings.setBindings(bindings);

    EdgeConfiguration right;
    right.isSplit = true;
    right.mergedMode = EdgeControlMode::volume;
    right.splitBindings = std::vector<GestureBinding>{bindings[3], bindings[2]};
    EdgeConfiguration top;
    top.mergedMode = EdgeControlMode::tabs;
    settings.setEdgeConfigurations({{QStringLiteral("right"), right}, {QStringLiteral("top"), top}});

    settings.setSensitivity(2.25);
    settings.setEdgeWidth(0.125);
    settings.setForcePressLevel(ForcePressLevel::firm);
    settings.setShowOperationHints(false);
    settings.setRecognitionLevel(GestureRecognitionLevel::relaxed);
    settings.setDisabledApplications({{QStringLiteral("org.gnome.Terminal"), QStringLiteral("终端")},
                                      {QStringLiteral("com.example.Game"), QStringLiteral("Game")}});
    settings.setTypingProtectionEnabled(false);
    settings.setOperationHintPosition(HUDPosition::menuBarIcon);
    settings.setLocksPointerDuringEdgeAdjustments(true);
}

// Every stored key with its value.
std::map<QString, DefaultsValue> storedValues(const sim::SimUserDefaults& defaults) {
    std::map<QString, DefaultsValue> values;
    for (const QString& key : defaults.keys()) values.emplace(key, *defaults.value(key));
    return values;
}

ConfigurationArchive fixtureArchive(const char* name) {
    QFile file(QStringLiteral(GLIDRA_TEST_DATA_DIR "/archives/") + QLatin1StringView(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    auto archive = ConfigurationArchive::decode(file);
    EXPECT_TRUE(archive.ok());
    return archive.value();
}

class ConfigurationImport : public ::testing::Test {
protected:
    sim::ManualClock clock;
};

TEST_F(ConfigurationImport, ExportedRichConfigurationImportsWhole) {
    sim::SimUserDefaults sourceDefaults;
    ControlSettings source(sourceDefaults);
    makeRich(source);
    const ConfigurationArchive exported = source.makeArchive(clock);
    EXPECT_EQ(exported.exportedAt, QStringLiteral("2026-01-01T00:00:00Z"));
    EXPECT_EQ(exported.appVersion, ConfigurationArchive::currentAppVersion());
    const QByteArray file = exported.encoded().value();

    sim::SimUserDefaults targetDefaults;
    ControlSettings target(targetDefaults);
    const auto archive = ConfigurationArchive::decode(file);
    ASSERT_TRUE(archive.ok()) << enumRaw(archive.error()).toStdString();
    EXPECT_EQ(archive.value(), exported);
    ASSERT_TRUE(target.importConfiguration(archive.value(), clock).ok());

    EXPECT_EQ(target.makeArchive(clock), exported);
    EXPECT_EQ(target.rules(), source.rules());
    EXPECT_TRUE(target.hasConfigurationBackup());
    // And it all survives a restart.
    ControlSettings reloaded(targetDefaults);
    EXPECT_EQ(reloaded.makeArchive(clock), exported);
}

TEST_F(ConfigurationImport, UndoRestoresTheSettingsBeforeTheLastImport) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    const ConfigurationArchive original = settings.makeArchive(clock);

    sim::SimUserDefaults richDefaults;
    ControlSettings rich(richDefaults);
    makeRich(rich);
    const ConfigurationArchive first = rich.makeArchive(clock);
    const ConfigurationArchive second = fixtureArchive("valid-all-fields.json");

    QSignalSpy backupChanges(&settings, &ControlSettings::hasConfigurationBackupChanged);
    ASSERT_TRUE(settings.importConfiguration(first, clock).ok());
    ASSERT_TRUE(settings.importConfiguration(second, clock).ok());
    EXPECT_EQ(backupChanges.count(), 1);

    ASSERT_TRUE(settings.undoLastImport().ok());
    EXPECT_EQ(settings.makeArchive(clock), first);
    EXPECT_FALSE(settings.hasConfigurationBackup());
    EXPECT_FALSE(defaults.value(settings_key::configurationBeforeImport));
    EXPECT_EQ(backupChanges.count(), 2);

    // One level only: the state before the first import is gone.
    const auto again = settings.undoLastImport();
    ASSERT_FALSE(again.ok());
    EXPECT_EQ(again.error(), Error::noBackup);
    EXPECT_EQ(localizedDescription(again.error()), QStringLiteral("没有可恢复的导入前配置。"));
    EXPECT_NE(settings.makeArchive(clock), original);
}

TEST_F(ConfigurationImport, UndoBringsBackARuleChangedAfterExport) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    makeRich(settings);
    const ConfigurationArchive exported = settings.makeArchive(clock);

    auto rules = settings.rules();
    rules[1].action = GestureAction::missionControl;
    settings.setRules(rules);
    ASSERT_TRUE(settings.importConfiguration(exported, clock).ok());
    EXPECT_EQ(settings.rules()[1].action, GestureAction::openApplication);

    ASSERT_TRUE(settings.undoLastImport().ok());
    EXPECT_EQ(settings.rules(), rules);
}

TEST_F(ConfigurationImport, RefusedImportChangesNoStoredKey) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    makeRich(settings);
    // An earlier backup must survive a refused import too.
    ASSERT_TRUE(settings.importConfiguration(settings.makeArchive(clock), clock).ok());

    const ConfigurationArchive valid = fixtureArchive("valid-minimal.json");
    std::vector<std::pair<ConfigurationArchive, Error>> refused;
    auto add = [&](Error error, auto change) {
        ConfigurationArchive archive = valid;
        change(archive);
        refused.emplace_back(archive, error);
    };
    add(Error::invalidFile, [](ConfigurationArchive& a) { a.format = QStringLiteral("glidra"); });
    add(Error::unsupportedVersion, [](ConfigurationArchive& a) { a.schemaVersion = 2; });
    add(Error::invalidValues, [](ConfigurationArchive& a) { a.edgeWidth = std::nan(""); });
    add(Error::invalidValues,
        [](ConfigurationArchive& a) { a.disabledApplications.emplace(1, DisabledApplication{}); });
    add(Error::invalidGestures, [](ConfigurationArchive& a) { a.gestures.push_back(a.gestures[0]); });
    add(Error::invalidEdges, [](ConfigurationArchive& a) { a.bindings.pop_back(); });
    add(Error::invalidEdges, [](ConfigurationArchive& a) {
        a.edges[QStringLiteral("left")] = EdgeConfiguration{false, EdgeControlMode::custom, std::nullopt};
    });

    const auto before = storedValues(defaults);
    const ConfigurationArchive live = settings.makeArchive(clock);
    QSignalSpy rulesChanged(&settings, &ControlSettings::rulesChanged);
    defaults.clearLog();
    for (const auto& [archive, error] : refused) {
        const auto result = settings.importConfiguration(archive, clock);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), error);
    }
    EXPECT_TRUE(defaults.writtenKeys().isEmpty()) << defaults.writtenKeys().join(u' ').toStdString();
    EXPECT_TRUE(defaults.removedKeys().isEmpty());
    EXPECT_EQ(storedValues(defaults), before);
    EXPECT_EQ(settings.makeArchive(clock), live);
    EXPECT_EQ(rulesChanged.count(), 0);
}

TEST_F(ConfigurationImport, CurrentSettingsThatFailTheChecksBlockEveryImport) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    GestureRule apart = makeRule(Kind::tap, 1, GestureAction::missionControl);
    apart.region = GestureRegion::custom;
    apart.customRegions = std::vector{rect(0, 0, 0.3f, 1), rect(0.7f, 0, 1, 1)};
    settings.setRules({apart});
    defaults.clearLog();

    const auto result = settings.importConfiguration(fixtureArchive("valid-minimal.json"), clock);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), Error::invalidGestures);
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
    EXPECT_FALSE(settings.hasConfigurationBackup());
    EXPECT_EQ(settings.rules(), std::vector{apart});
}

TEST_F(ConfigurationImport, AbsentOptionalFieldsKeepTheirValues) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    makeRich(settings);
    defaults.clearLog();

    ConfigurationArchive archive = fixtureArchive("valid-minimal.json");
    ASSERT_TRUE(settings.importConfiguration(archive, clock).ok());
    EXPECT_EQ(settings.disabledApplications().size(), 2u);
    EXPECT_FALSE(settings.showOperationHints());
    EXPECT_EQ(settings.operationHintPosition(), HUDPosition::menuBarIcon);
    EXPECT_TRUE(settings.locksPointerDuringEdgeAdjustments());
    // Kept, but written again.
    EXPECT_TRUE(defaults.writtenKeys().contains(settings_key::disabledApplications));
    EXPECT_TRUE(defaults.writtenKeys().contains(settings_key::showOperationHints));

    archive.disabledApplications = std::vector<DisabledApplication>{};
    ASSERT_TRUE(settings.importConfiguration(archive, clock).ok());
    EXPECT_TRUE(settings.disabledApplications().empty());
}

TEST_F(ConfigurationImport, AppliedRulesAreMigratedAndNormalisedAndBindingOrderKeptUntilReload) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    ConfigurationArchive archive = fixtureArchive("valid-minimal.json");
    archive.gestures[0].region = GestureRegion::custom;
    archive.gestures[0].customRegions = std::vector{rect(0, 0, 0.6f, 1), rect(0.4f, 0, 1, 1)};
    std::reverse(archive.bindings.begin(), archive.bindings.end());
    // An older Finder quick-look rule is brought up to date as on loading.
    GestureRule quickLook = makeRule(Kind::forcePress, 1, GestureAction::quickLook);
    quickLook.appBundleID = QStringLiteral("com.apple.finder");
    archive.gestures.push_back(quickLook);

    ASSERT_TRUE(settings.importConfiguration(archive, clock).ok());
    EXPECT_EQ(settings.rules()[0].customRegion, rect(0.4f, 0, 0.6f, 1));
    EXPECT_FALSE(settings.rules()[0].customRegions);
    ASSERT_EQ(settings.rules().size(), 2u);
    EXPECT_EQ(settings.rules()[1].gesture.kind, Kind::tap);
    EXPECT_EQ(settings.rules()[1].gesture.fingers, 3);
    EXPECT_EQ(settings.bindings(), archive.bindings);

    ControlSettings reloaded(defaults);
    EXPECT_EQ(reloaded.bindings(), GestureBinding::defaultBindings());
}

TEST_F(ConfigurationImport, UndoWithoutAReadableBackup) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    ASSERT_TRUE(settings.importConfiguration(fixtureArchive("valid-all-fields.json"), clock).ok());
    const ConfigurationArchive imported = settings.makeArchive(clock);

    // Removed from outside: nothing to undo, and the flag stays as it was.
    const QByteArray backup = *defaults.data(settings_key::configurationBeforeImport);
    defaults.removeValue(settings_key::configurationBeforeImport);
    EXPECT_EQ(settings.undoLastImport().error(), Error::noBackup);
    EXPECT_TRUE(settings.hasConfigurationBackup());

    // A damaged backup is reported and kept; nothing is applied.
    QByteArray damaged = backup;
    damaged.replace("\"schemaVersion\": 1", "\"schemaVersion\": 9");
    defaults.setValue(settings_key::configurationBeforeImport, damaged);
    EXPECT_EQ(settings.undoLastImport().error(), Error::unsupportedVersion);
    EXPECT_EQ(defaults.data(settings_key::configurationBeforeImport), damaged);
    EXPECT_EQ(settings.makeArchive(clock), imported);
}

TEST_F(ConfigurationImport, AnImportWhoseBackupCannotBeSavedFailsAndChangesNothing) {
    for (const bool earlierBackup : {false, true}) {
        SCOPED_TRACE(earlierBackup);
        sim::SimUserDefaults defaults;
        ControlSettings settings(defaults);
        makeRich(settings);
        if (earlierBackup) {
            ASSERT_TRUE(settings.importConfiguration(settings.makeArchive(clock), clock).ok());
        }
        const auto before = storedValues(defaults);
        const ConfigurationArchive live = settings.makeArchive(clock);
        QSignalSpy rulesChanged(&settings, &ControlSettings::rulesChanged);

        defaults.setFailsWrites(true, QStringLiteral("No space left on device"));
        const auto result = settings.importConfiguration(fixtureArchive("valid-all-fields.json"), clock);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(),
                  ConfigurationTransferError(Error::notSaved, QStringLiteral("No space left on device")));
        EXPECT_EQ(localizedDescription(result.error()), QStringLiteral("无法保存设置：No space left on device"));
        EXPECT_EQ(storedValues(defaults), before);
        EXPECT_EQ(settings.makeArchive(clock), live);
        EXPECT_EQ(settings.hasConfigurationBackup(), earlierBackup);
        EXPECT_EQ(rulesChanged.count(), 0);
        defaults.restart();
        EXPECT_EQ(storedValues(defaults), before);
    }
}

TEST_F(ConfigurationImport, SettingsNotSavedByTheApplyAreReportedAndTheBackupTakesThemBack) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    makeRich(settings);
    const ConfigurationArchive original = settings.makeArchive(clock);
    // The disk fills up once the backup is saved.
    QObject::connect(&settings, &ControlSettings::hasConfigurationBackupChanged, &settings,
                     [&defaults] { defaults.setFailsWrites(true, QStringLiteral("Input/output error")); });

    const ConfigurationArchive archive = fixtureArchive("valid-all-fields.json");
    const auto result = settings.importConfiguration(archive, clock);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error(), ConfigurationTransferError(Error::notSaved, QStringLiteral("Input/output error")));
    // Applied all the same.
    EXPECT_NE(settings.makeArchive(clock), original);
    EXPECT_EQ(settings.bindings(), archive.bindings);
    EXPECT_EQ(settings.lastWriteFailure(), QStringLiteral("Input/output error"));

    // After a restart the import was never saved, and the backup is there.
    defaults.setFailsWrites(false);
    defaults.restart();
    ControlSettings restarted(defaults);
    EXPECT_EQ(restarted.makeArchive(clock), original);
    EXPECT_TRUE(restarted.hasConfigurationBackup());
    ASSERT_TRUE(restarted.undoLastImport().ok());
    EXPECT_EQ(restarted.makeArchive(clock), original);
}

TEST_F(ConfigurationImport, AnUndoThatCannotBeSavedKeepsTheBackup) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    makeRich(settings);
    const ConfigurationArchive original = settings.makeArchive(clock);
    ASSERT_TRUE(settings.importConfiguration(fixtureArchive("valid-all-fields.json"), clock).ok());
    const QByteArray backup = *defaults.data(settings_key::configurationBeforeImport);

    defaults.setFailsWrites(true, QStringLiteral("Read-only file system"));
    const auto failed = settings.undoLastImport();
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(localizedDescription(failed.error()), QStringLiteral("无法保存设置：Read-only file system"));
    EXPECT_TRUE(settings.hasConfigurationBackup());
    EXPECT_EQ(defaults.data(settings_key::configurationBeforeImport), backup);

    defaults.setFailsWrites(false);
    ASSERT_TRUE(settings.undoLastImport().ok());
    EXPECT_EQ(settings.makeArchive(clock), original);
    EXPECT_FALSE(settings.hasConfigurationBackup());
    defaults.restart();
    EXPECT_EQ(ControlSettings(defaults).makeArchive(clock), original);
}

}  // namespace
}  // namespace glidra
