// The configuration transfer of ControlSettings: export, import with a
// one-level backup, and undo.

#include "gestures/RuleDiagnostics.h"
#include "platform/Clock.h"
#include "settings/ConfigurationArchive.h"
#include "settings/ControlSettings.h"
#include "settings/SettingsKeys.h"

namespace glidra {

ConfigurationArchive ControlSettings::makeArchive(const Clock& clock) const {
    ConfigurationArchive archive;
    archive.exportedAt = ConfigurationArchive::exportDate(clock.currentDateTimeUtc());
    archive.appVersion = ConfigurationArchive::currentAppVersion();
    // Normalised on the way out, so that the stored rules stay untouched.
    archive.gestures.reserve(rules_.size());
    for (const GestureRule& rule : rules_) archive.gestures.push_back(normalizedRule(rule));
    archive.bindings = bindings_;
    archive.edges = edgeConfigurations_;
    archive.sensitivity = sensitivity_;
    archive.edgeWidth = edgeWidth_;
    archive.forcePressLevel = forcePressLevel_;
    archive.showOperationHints = showOperationHints_;
    archive.recognitionLevel = recognitionLevel_;
    archive.disabledApplications = disabledApplications_;
    archive.typingProtectionEnabled = typingProtectionEnabled_;
    archive.operationHintPosition = operationHintPosition_;
    archive.locksPointerDuringEdgeAdjustments = locksPointerDuringEdgeAdjustments_;
    return archive;
}

TransferResult ControlSettings::importConfiguration(const ConfigurationArchive& archive, const Clock& clock) {
    // Everything that can refuse the import runs before the first write.
    if (auto valid = archive.validate(); !valid) return Failure{valid.error()};
    auto backup = makeArchive(clock).encoded();
    if (!backup) return Failure{backup.error()};

    // Without a durable backup the import could not be taken back after a
    // restart: the store gets its earlier backup back, and nothing changes.
    const QString backupKey = settings_key::configurationBeforeImport;
    const auto earlierBackup = defaults_.value(backupKey);
    if (!writeValue(backupKey, backup.value())) {
        const TransferResult failed = saved();
        if (earlierBackup) {
            writeValue(backupKey, *earlierBackup);
        } else {
            removeValue(backupKey);
        }
        return failed;
    }
    setHasConfigurationBackup(true);
    return apply(archive);
}

TransferResult ControlSettings::undoLastImport() {
    const QString backupKey = settings_key::configurationBeforeImport;
    const auto stored = defaults_.data(backupKey);
    if (!stored) return Failure{ConfigurationArchiveError::noBackup};
    // A backup that no longer reads stays where it is, for a later version.
    auto backup = ConfigurationArchive::decode(*stored);
    if (!backup) return Failure{backup.error()};

    // Settings that were not saved would be lost with the backup.
    if (auto applied = apply(backup.value()); !applied) return applied;
    removeValue(backupKey);
    setHasConfigurationBackup(false);
    return saved();
}

TransferResult ControlSettings::apply(const ConfigurationArchive& archive) {
    setRules(archive.gestures);
    // Validation guarantees one binding per trigger; the order is kept until
    // the next load puts them back into trigger order.
    setBindings(archive.bindings);
    setEdgeConfigurations(archive.edges);
    setSensitivity(archive.sensitivity);
    setEdgeWidth(archive.edgeWidth);
    setLocksPointerDuringEdgeAdjustments(
        archive.locksPointerDuringEdgeAdjustments.value_or(locksPointerDuringEdgeAdjustments_));
    setForcePressLevel(archive.forcePressLevel);
    // An archive from an older version lacks these; the current values stay
    // (and their keys are written again).
    setShowOperationHints(archive.showOperationHints.value_or(showOperationHints_));
    setOperationHintPosition(archive.operationHintPosition.value_or(operationHintPosition_));
    setTypingProtectionEnabled(archive.typingProtectionEnabled.value_or(typingProtectionEnabled_));
    setRecognitionLevel(archive.recognitionLevel.value_or(recognitionLevel_));
    setDisabledApplications(archive.disabledApplications.value_or(disabledApplications_));

    auto migrated = migrateFinderQuickLookRules(rules_, float(edgeWidth_));
    if (migrated != rules_) setRules(std::move(migrated));
    normalizeRules();
    return saved();
}

}  // namespace glidra
