#include "settings/ControlSettings.h"

#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimUserDefaults.h"
#include "settings/SettingsKeys.h"
#include "support/DecimalCommaLocale.h"
#include "support/FilePermissionsEnforced.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace glidra {
namespace {

GestureRule swipeUpRule() {
    GestureRule rule;
    rule.gesture = GestureDescriptor{GestureDescriptor::Kind::swipe, 4, GestureDescriptor::Direction::up, 1};
    rule.action = GestureAction::missionControl;
    rule.region = GestureRegion::top;
    rule.appBundleID = QStringLiteral("com.example.Editor");
    return rule;
}

std::vector<GestureBinding> bindingsWithLeftUpVolume() {
    auto bindings = GestureBinding::defaultBindings();
    bindings[0].action = GestureAction::volumeUp;
    bindings[0].slideDistance = SlideDistance{30};
    return bindings;
}

EdgeConfigurationMap splitCustomLeft() {
    EdgeConfiguration left;
    left.isSplit = true;
    left.mergedMode = EdgeControlMode::custom;
    left.splitBindings = std::vector<GestureBinding>{GestureBinding::defaultBindings()[1]};
    return {{QStringLiteral("left"), left}};
}

// One value per property that differs from what an empty store loads, with
// what its key then holds (nothing for the data keys, whose bytes are
// checked by loading them back).
struct PropertyCase {
    const char* property;
    QVariant changed;
    QLatin1StringView key;
    std::optional<DefaultsValue> stored;
};

std::vector<PropertyCase> propertyCases() {
    namespace key = settings_key;
    return {
        {"recognitionLevel", QVariant::fromValue(GestureRecognitionLevel::deliberate), key::recognitionLevel,
         DefaultsValue(QStringLiteral("deliberate"))},
        {"disabledApplications",
         QVariant::fromValue(
             std::vector<DisabledApplication>{{QStringLiteral("com.example.Game"), QStringLiteral("Game")}}),
         key::disabledApplications, std::nullopt},
        {"edgeConfigurations", QVariant::fromValue(splitCustomLeft()), key::edgeConfigurations, std::nullopt},
        {"rules", QVariant::fromValue(std::vector<GestureRule>{swipeUpRule()}), key::rules, std::nullopt},
        {"bindings", QVariant::fromValue(bindingsWithLeftUpVolume()), key::bindings, std::nullopt},
        {"forcePressLevel", QVariant::fromValue(ForcePressLevel::firm), key::forcePressLevel,
         DefaultsValue(QStringLiteral("firm"))},
        {"typingProtectionEnabled", QVariant(false), key::typingProtectionEnabled, DefaultsValue(false)},
        {"operationHintPosition", QVariant::fromValue(HUDPosition::topRight), key::operationHintPosition,
         DefaultsValue(QStringLiteral("topRight"))},
        {"showOperationHints", QVariant(false), key::showOperationHints, DefaultsValue(false)},
        {"sensitivity", QVariant(2.25), key::sensitivity, DefaultsValue(2.25)},
        {"edgeWidth", QVariant(0.12), key::edgeWidth, DefaultsValue(0.12)},
        {"locksPointerDuringEdgeAdjustments", QVariant(true), key::locksPointerDuringEdgeAdjustments,
         DefaultsValue(true)},
        {"restoreEnabled", QVariant(true), key::restoreEnabled, DefaultsValue(true)},
    };
}

QMetaProperty metaProperty(const ControlSettings& settings, const char* name) {
    const QMetaObject* meta = settings.metaObject();
    return meta->property(meta->indexOfProperty(name));
}

QVariantMap propertyValues(const ControlSettings& settings) {
    QVariantMap values;
    const QMetaObject* meta = settings.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        values.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(&settings));
    }
    return values;
}

TEST(ControlSettings, EveryPropertyWritesItsKeyOnEveryAssignmentAndNotifiesOnlyOnChange) {
    for (const PropertyCase& c : propertyCases()) {
        SCOPED_TRACE(c.property);
        sim::SimUserDefaults defaults;
        ControlSettings settings(defaults);
        const QMetaProperty property = metaProperty(settings, c.property);
        ASSERT_TRUE(property.isValid());
        ASSERT_TRUE(property.hasNotifySignal());
        ASSERT_NE(property.read(&settings), c.changed) << "the case must change the loaded value";
        const QVariantMap before = propertyValues(settings);
        QSignalSpy notified(&settings, property.notifySignal());

        ASSERT_TRUE(property.write(&settings, c.changed));
        EXPECT_EQ(property.read(&settings), c.changed);
        EXPECT_EQ(notified.count(), 1);
        EXPECT_EQ(defaults.writtenKeys(), QStringList{c.key});
        const auto stored = defaults.value(c.key);
        ASSERT_TRUE(stored.has_value());
        if (c.stored) {
            EXPECT_EQ(*stored, *c.stored);
        } else {
            EXPECT_TRUE(std::holds_alternative<QByteArray>(*stored));
        }

        // The same value again: written again, nobody told.
        ASSERT_TRUE(property.write(&settings, c.changed));
        EXPECT_EQ(notified.count(), 1);
        EXPECT_EQ(defaults.writtenKeys(), (QStringList{c.key, c.key}));

        // Only the one property moved.
        QVariantMap after = propertyValues(settings);
        after.insert(QString::fromLatin1(c.property), before.value(QString::fromLatin1(c.property)));
        EXPECT_TRUE(after == before);

        ControlSettings reloaded(defaults);
        EXPECT_EQ(property.read(&reloaded), c.changed);
    }
}

TEST(ControlSettings, SettersStoreWhatTheyAreGivenUnclamped) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    settings.setSensitivity(7);
    settings.setEdgeWidth(0.001);
    EXPECT_EQ(settings.sensitivity(), 7.0);
    EXPECT_EQ(settings.edgeWidth(), 0.001);
    EXPECT_EQ(defaults.value(settings_key::sensitivity), DefaultsValue(7.0));
    EXPECT_EQ(defaults.value(settings_key::edgeWidth), DefaultsValue(0.001));

    std::vector<GestureBinding> fifteen = GestureBinding::defaultBindings();
    fifteen.pop_back();
    settings.setBindings(fifteen);
    EXPECT_EQ(settings.bindings(), fifteen);
}

TEST(ControlSettings, ANaNSensitivityCountsAsAChangeEveryTime) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    QSignalSpy sensitivity(&settings, &ControlSettings::sensitivityChanged);
    QSignalSpy edgeWidth(&settings, &ControlSettings::edgeWidthChanged);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    settings.setSensitivity(nan);
    settings.setSensitivity(nan);
    settings.setEdgeWidth(nan);
    settings.setEdgeWidth(nan);
    EXPECT_EQ(sensitivity.count(), 2);
    EXPECT_EQ(edgeWidth.count(), 2);
}

TEST(ControlSettings, ARuleJsonCannotHoldIsRefusedAndTheOthersAreSaved) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    const GestureRule kept = swipeUpRule();
    GestureRule edited = swipeUpRule();
    edited.region = GestureRegion::custom;
    edited.customRegion = NormalizedRegionRect{0.25f, 0, 0.75f, 1};
    settings.setRules({kept, edited});

    GestureRule infinite = edited;
    infinite.customRegion->maxX = std::numeric_limits<float>::infinity();
    GestureRule notANumber = swipeUpRule();
    notANumber.region = GestureRegion::custom;
    notANumber.customRegions = std::vector{NormalizedRegionRect{0, std::nanf(""), 1, 1}};
    const GestureRule added = swipeUpRule();
    QSignalSpy failure(&settings, &ControlSettings::lastWriteFailureChanged);
    settings.setRules({kept, infinite, notANumber, added});

    // The broken edit leaves its rule as it was, the broken addition is not
    // made, and the rest is stored and saved.
    EXPECT_EQ(settings.rules(), (std::vector{kept, edited, added}));
    EXPECT_EQ(settings.lastWriteFailure(), QStringLiteral("规则的触发区域坐标无效。"));
    EXPECT_EQ(failure.count(), 1);
    defaults.restart();
    EXPECT_EQ(ControlSettings(defaults).rules(), settings.rules());

    settings.saveRules();
    EXPECT_TRUE(settings.lastWriteFailure().isEmpty());
}

TEST(ControlSettings, AFailedWriteIsVisibleUntilAWriteSucceeds) {
    for (const PropertyCase& c : propertyCases()) {
        SCOPED_TRACE(c.property);
        sim::SimUserDefaults defaults;
        ControlSettings settings(defaults);
        const QMetaProperty property = metaProperty(settings, c.property);
        const QVariant loaded = property.read(&settings);
        QSignalSpy failure(&settings, &ControlSettings::lastWriteFailureChanged);

        defaults.setFailsWrites(true, QStringLiteral("Disk quota exceeded"));
        ASSERT_TRUE(property.write(&settings, c.changed));
        EXPECT_EQ(property.read(&settings), c.changed);  // held all the same
        EXPECT_EQ(settings.lastWriteFailure(), QStringLiteral("Disk quota exceeded"));
        EXPECT_EQ(failure.count(), 1);
        defaults.restart();
        const ControlSettings unsaved(defaults);
        EXPECT_EQ(property.read(&unsaved), loaded);

        // The next write that succeeds saves it, and the failure is over.
        defaults.setFailsWrites(false);
        ASSERT_TRUE(property.write(&settings, c.changed));
        EXPECT_TRUE(settings.lastWriteFailure().isEmpty());
        EXPECT_EQ(failure.count(), 2);
        defaults.restart();
        const ControlSettings saved(defaults);
        EXPECT_EQ(property.read(&saved), c.changed);
    }
}

TEST(ControlSettings, SaveWritesTheCurrentListWithoutNotifying) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    QSignalSpy rules(&settings, &ControlSettings::rulesChanged);
    QSignalSpy applications(&settings, &ControlSettings::disabledApplicationsChanged);
    settings.saveRules();
    settings.saveDisabledApplications();
    EXPECT_EQ(defaults.writtenKeys(), (QStringList{settings_key::rules, settings_key::disabledApplications}));
    EXPECT_EQ(defaults.value(settings_key::rules), DefaultsValue(QByteArray("[]")));
    EXPECT_EQ(defaults.value(settings_key::disabledApplications), DefaultsValue(QByteArray("[]")));
    EXPECT_EQ(rules.count(), 0);
    EXPECT_EQ(applications.count(), 0);
}

TEST(ControlSettings, TheBackupFlagNotifiesOnChangeAndIsNeverWritten) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    QSignalSpy changed(&settings, &ControlSettings::hasConfigurationBackupChanged);
    settings.setHasConfigurationBackup(true);
    settings.setHasConfigurationBackup(true);
    EXPECT_TRUE(settings.hasConfigurationBackup());
    EXPECT_EQ(changed.count(), 1);
    settings.setHasConfigurationBackup(false);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(defaults.writtenKeys().isEmpty());
}

TEST(ControlSettings, TheSharedInstanceIsTheRegisteredOne) {
    sim::SimUserDefaults defaults;
    ControlSettings settings(defaults);
    ControlSettings::setShared(&settings);
    EXPECT_EQ(&ControlSettings::shared(), &settings);
    EXPECT_EQ(&ControlSettings::shared().defaults(), &defaults);
    ControlSettings::setShared(nullptr);
}

TEST(ControlSettings, EverySettingSurvivesARestartThroughTheSettingsFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Glidra/settings.json"));
    const auto cases = propertyCases();
    {
        linux_platform::JsonFileUserDefaults defaults(path);
        ControlSettings settings(defaults);
        for (const PropertyCase& c : cases) ASSERT_TRUE(metaProperty(settings, c.property).write(&settings, c.changed));
    }

    linux_platform::JsonFileUserDefaults defaults(path);
    EXPECT_TRUE(defaults.setAsidePath().isEmpty());
    EXPECT_EQ(defaults.unreadableEntryCount(), 0);
    ControlSettings reloaded(defaults);
    for (const PropertyCase& c : cases) {
        SCOPED_TRACE(c.property);
        EXPECT_EQ(metaProperty(reloaded, c.property).read(&reloaded), c.changed);
        const auto stored = defaults.value(c.key);
        ASSERT_TRUE(stored.has_value());
        if (c.stored) {
            EXPECT_EQ(*stored, *c.stored);  // kinds survive the file
        } else {
            EXPECT_TRUE(std::holds_alternative<QByteArray>(*stored));
        }
    }

    // The stored rule list is the plain JSON array a reader expects.
    const auto rules = QJsonDocument::fromJson(std::get<QByteArray>(*defaults.value(settings_key::rules)));
    ASSERT_TRUE(rules.isArray());
    EXPECT_EQ(rules.array().at(0).toObject().value(u"action").toString(), QStringLiteral("missionControl"));
}

TEST(ControlSettings, NumbersSurviveTheFileAndAnExportInADecimalCommaLocale) {
    test::DecimalCommaLocale locale;
    if (!locale.isActive()) GTEST_SKIP() << locale.unavailableReason().toStdString();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Glidra/settings.json"));
    GestureRule rule = swipeUpRule();
    rule.region = GestureRegion::custom;
    rule.customRegion = NormalizedRegionRect{0.25f, 0.3f, 0.75f, 0.9f};
    {
        linux_platform::JsonFileUserDefaults defaults(path);
        ControlSettings settings(defaults);
        settings.setRules({rule});
        settings.setSensitivity(2.25);
        settings.setEdgeWidth(0.125);
    }

    linux_platform::JsonFileUserDefaults defaults(path);
    ControlSettings reloaded(defaults);
    ASSERT_EQ(reloaded.rules().size(), 1u);
    EXPECT_EQ(reloaded.rules()[0], rule);
    EXPECT_EQ(reloaded.sensitivity(), 2.25);
    EXPECT_EQ(reloaded.edgeWidth(), 0.125);

    sim::ManualClock clock;
    const auto encoded = reloaded.makeArchive(clock).encoded();
    ASSERT_TRUE(encoded.ok());
    const QByteArray exported = encoded.value();
    EXPECT_TRUE(exported.contains("\"minX\": 0.25")) << exported.toStdString();
    const auto imported = ConfigurationArchive::decode(exported);
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(imported->gestures, reloaded.rules());
    EXPECT_EQ(imported->edgeWidth, 0.125);
}

TEST(ControlSettings, ASettingsFileThatCannotBeReadIsLeftAloneAndSaysWhy) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("settings.json"));
    const QByteArray contents = R"({"restoreEnabled": {"bool": true}, "sensitivity": {"double": 2.5}})";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    test::FilePermissionsEnforced enforced;
    if (QFile file(path); file.open(QIODevice::ReadOnly)) GTEST_SKIP() << "file permissions do not hold here";

    linux_platform::JsonFileUserDefaults defaults(path);
    ControlSettings settings(defaults);
    EXPECT_FALSE(settings.restoreEnabled());
    EXPECT_EQ(settings.sensitivity(), 1.5);
    EXPECT_TRUE(settings.lastWriteFailure().contains(path)) << settings.lastWriteFailure().toStdString();
    EXPECT_EQ(settings.lastWriteFailure(), defaults.failure());

    // Changes live in memory only; the user's file is neither moved nor
    // replaced.
    settings.setSensitivity(2.0);
    EXPECT_EQ(settings.sensitivity(), 2.0);
    EXPECT_FALSE(settings.lastWriteFailure().isEmpty());
    EXPECT_TRUE(defaults.setAsidePath().isEmpty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.json")});
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), contents);
}

}  // namespace
}  // namespace glidra
