#pragma once

#include "gestures/EdgeConfiguration.h"
#include "gestures/EdgeControlMode.h"
#include "gestures/EdgeLocation.h"
#include "gestures/ForcePressLevel.h"
#include "gestures/GestureBinding.h"
#include "gestures/GestureRecognitionLevel.h"
#include "gestures/GestureRule.h"
#include "notices/HUDPosition.h"
#include "platform/UserDefaults.h"
#include "settings/ConfigurationArchive.h"
#include "settings/DisabledApplication.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QObject>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace glidra {

class Clock;

// The stored per-edge configurations by edge name ("left", "right", "top",
// "bottom"). Keys are not checked on loading, so a hand-edited name survives.
using EdgeConfigurationMap = std::map<QString, EdgeConfiguration>;

using TransferResult = Result<Done, ConfigurationTransferError>;

// What a stored document yields: the entries that decode, and whether any
// did not (the stored value is then set aside before anything replaces it).
template <typename T>
struct LoadedData {
    T value;
    bool complete = true;
};

// The program's settings, one observable object on the main thread, kept in
// the user defaults one key per property. Every assignment writes its key at
// once (also when the value is unchanged) and notifies only on a real change;
// values are checked, clamped and migrated only when loaded, so setters store
// whatever they are given, except a rule that JSON cannot hold. A write that
// fails is not lost from sight: lastWriteFailure says why until a write
// succeeds. The program uses one shared instance; tests build their own over
// a simulated store.
class ControlSettings final : public QObject {
    Q_OBJECT
    Q_PROPERTY(glidra::GestureRecognitionLevel recognitionLevel READ recognitionLevel WRITE setRecognitionLevel NOTIFY
                   recognitionLevelChanged)
    Q_PROPERTY(std::vector<glidra::DisabledApplication> disabledApplications READ disabledApplications WRITE
                   setDisabledApplications NOTIFY disabledApplicationsChanged)
    Q_PROPERTY(bool hasConfigurationBackup READ hasConfigurationBackup WRITE setHasConfigurationBackup NOTIFY
                   hasConfigurationBackupChanged)
    Q_PROPERTY(glidra::EdgeConfigurationMap edgeConfigurations READ edgeConfigurations WRITE setEdgeConfigurations
                   NOTIFY edgeConfigurationsChanged)
    Q_PROPERTY(std::vector<glidra::GestureRule> rules READ rules WRITE setRules NOTIFY rulesChanged)
    Q_PROPERTY(std::vector<glidra::GestureBinding> bindings READ bindings WRITE setBindings NOTIFY bindingsChanged)
    Q_PROPERTY(glidra::ForcePressLevel forcePressLevel READ forcePressLevel WRITE setForcePressLevel NOTIFY
                   forcePressLevelChanged)
    Q_PROPERTY(bool typingProtectionEnabled READ typingProtectionEnabled WRITE setTypingProtectionEnabled NOTIFY
                   typingProtectionEnabledChanged)
    Q_PROPERTY(glidra::HUDPosition operationHintPosition READ operationHintPosition WRITE setOperationHintPosition
                   NOTIFY operationHintPositionChanged)
    Q_PROPERTY(
        bool showOperationHints READ showOperationHints WRITE setShowOperationHints NOTIFY showOperationHintsChanged)
    Q_PROPERTY(double sensitivity READ sensitivity WRITE setSensitivity NOTIFY sensitivityChanged)
    Q_PROPERTY(double edgeWidth READ edgeWidth WRITE setEdgeWidth NOTIFY edgeWidthChanged)
    Q_PROPERTY(bool locksPointerDuringEdgeAdjustments READ locksPointerDuringEdgeAdjustments WRITE
                   setLocksPointerDuringEdgeAdjustments NOTIFY locksPointerDuringEdgeAdjustmentsChanged)
    Q_PROPERTY(bool restoreEnabled READ restoreEnabled WRITE setRestoreEnabled NOTIFY restoreEnabledChanged)
    Q_PROPERTY(QString lastWriteFailure READ lastWriteFailure NOTIFY lastWriteFailureChanged)
    Q_PROPERTY(QString unreadableNotice READ unreadableNotice NOTIFY unreadableNoticeChanged)

public:
    // Loads every property from `defaults`, which must outlive the object.
    // Loading never fails: an absent, mistyped or undecodable key falls back
    // to its default, after an undecodable stored value has been set aside;
    // of a stored list, the entries that decode are kept.
    explicit ControlSettings(UserDefaults& defaults, QObject* parent = nullptr);

    // The program's one instance, registered by the composition root before
    // anything asks for it.
    static ControlSettings& shared();
    static void setShared(ControlSettings* settings);

    UserDefaults& defaults() const { return defaults_; }

    GestureRecognitionLevel recognitionLevel() const { return recognitionLevel_; }
    void setRecognitionLevel(GestureRecognitionLevel level);

    const std::vector<DisabledApplication>& disabledApplications() const { return disabledApplications_; }
    void setDisabledApplications(std::vector<DisabledApplication> applications);

    // Whether a pre-import backup is stored; derived from the store at load
    // and kept in step by import and undo. Never written.
    bool hasConfigurationBackup() const { return hasConfigurationBackup_; }
    void setHasConfigurationBackup(bool hasBackup);

    const EdgeConfigurationMap& edgeConfigurations() const { return edgeConfigurations_; }
    void setEdgeConfigurations(EdgeConfigurationMap configurations);

    // In stored order, which decides ties between equally specific rules.
    const std::vector<GestureRule>& rules() const { return rules_; }
    // A rule that JSON cannot hold (a region coordinate that is not finite)
    // is refused: it keeps its current version, or is not added, and
    // lastWriteFailure says so; the other rules are stored and saved.
    void setRules(std::vector<GestureRule> rules);

    // After loading, the 16 bindings in trigger order.
    const std::vector<GestureBinding>& bindings() const { return bindings_; }
    void setBindings(std::vector<GestureBinding> bindings);

    ForcePressLevel forcePressLevel() const { return forcePressLevel_; }
    void setForcePressLevel(ForcePressLevel level);

    bool typingProtectionEnabled() const { return typingProtectionEnabled_; }
    void setTypingProtectionEnabled(bool enabled);

    HUDPosition operationHintPosition() const { return operationHintPosition_; }
    void setOperationHintPosition(HUDPosition position);

    bool showOperationHints() const { return showOperationHints_; }
    void setShowOperationHints(bool show);

    double sensitivity() const { return sensitivity_; }
    void setSensitivity(double sensitivity);

    // The width of the trackpad's edge bands as a share of its side.
    double edgeWidth() const { return edgeWidth_; }
    void setEdgeWidth(double width);

    bool locksPointerDuringEdgeAdjustments() const { return locksPointerDuringEdgeAdjustments_; }
    void setLocksPointerDuringEdgeAdjustments(bool locks);

    // Whether gesture control was on when last switched; read at launch.
    bool restoreEnabled() const { return restoreEnabled_; }
    void setRestoreEnabled(bool enabled);

    // Write the current list again, for callers that changed it in place.
    void saveRules();
    void saveDisabledApplications();

    // Why the settings are not saved: the store's reason for the last write
    // that failed (or for a store that could not be read at start), shown to
    // the user as "无法保存设置：" and the reason. Empty once a write
    // succeeds, since the store then saves every change made so far.
    const QString& lastWriteFailure() const { return lastWriteFailure_; }
    // What the store could not bring back at start (a settings file kept
    // aside, entries it could not read), shown to the user until dismissed,
    // and then not again. Once shown, the store does not bring the same
    // notice back at a later start.
    const QString& unreadableNotice() const { return unreadableNotice_; }
    void unreadableNoticeShown();
    void dismissUnreadableNotice();

    // --- Edges ---------------------------------------------------------------

    // The stored configuration of the edge, or one derived from the bindings:
    // merged with the inferred mode, or split when the bindings fit no preset.
    EdgeConfiguration edgeConfiguration(EdgeLocation edge) const;

    // Switches the edge between one mode for both directions and one binding
    // per direction. Each state keeps what the other needs, so switching back
    // restores it; the bindings are written before the configuration.
    void setEdgeSplit(bool split, EdgeLocation edge);

    // Gives the edge one preset mode for both directions; custom is ignored.
    void setEdgeMode(EdgeControlMode mode, EdgeLocation edge);

    // The whole binding list as it would be with the edge in `mode`; the
    // edge's bindings keep the edge's first slide distance and application
    // target.
    std::vector<GestureBinding> edgeBindings(EdgeLocation edge, EdgeControlMode mode) const;

    // --- Rules -----------------------------------------------------------------

    // Folds each custom region's rectangle list into its one intersection and
    // drops rectangle lists that no custom region uses; writes only when
    // something changed.
    void normalizeRules();
    // The same rewrite of one rule, without touching the settings.
    static GestureRule normalizedRule(GestureRule rule);

    // --- Configuration transfer ------------------------------------------------

    // The current settings as an archive, rules normalised, stamped with the
    // clock's time. Changes nothing.
    ConfigurationArchive makeArchive(const Clock& clock) const;
    // Checks the archive and the backup of the current settings before the
    // first write, and saves the backup (replacing any earlier one) before
    // applying the archive: an import that fails before the apply changes
    // nothing. A failure to save the applied settings is notSaved; they stay
    // applied, and the backup takes them back.
    TransferResult importConfiguration(const ConfigurationArchive& archive, const Clock& clock);
    // Applies the stored backup and removes it: one level only. A backup
    // that does not read, or whose settings could not be saved, stays where
    // it is.
    TransferResult undoLastImport();
    // Assigns the archive's fields through the ordinary setters, then
    // migrates and normalises the rules. Absent optional fields keep their
    // current values. notSaved when the settings could not be saved; the
    // assignments are not rolled back.
    TransferResult apply(const ConfigurationArchive& archive);

Q_SIGNALS:
    void recognitionLevelChanged();
    void disabledApplicationsChanged();
    void hasConfigurationBackupChanged();
    void edgeConfigurationsChanged();
    void rulesChanged();
    void bindingsChanged();
    void forcePressLevelChanged();
    void typingProtectionEnabledChanged();
    void operationHintPositionChanged();
    void showOperationHintsChanged();
    void sensitivityChanged();
    void edgeWidthChanged();
    void locksPointerDuringEdgeAdjustmentsChanged();
    void restoreEnabledChanged();
    void lastWriteFailureChanged();
    void unreadableNoticeChanged();

private:
    void load();
    // Reads `key` as JSON data decoded by `decode`; a stored value that does
    // not load whole is copied aside first. Nothing when absent or
    // unreadable.
    template <typename T>
    std::optional<T> loadData(QLatin1StringView key, JsonResult<LoadedData<T>> (*decode)(const QByteArray&));
    void setAsideUnreadable(QLatin1StringView key, const DefaultsValue& stored);

    // Every write and removal goes through these, so a failure is noted.
    bool writeValue(const QString& key, const DefaultsValue& value);
    bool removeValue(const QString& key);
    bool noteWrite(bool written);
    void setLastWriteFailure(QString failure);
    // notSaved with the reason, when the last write failed.
    TransferResult saved() const;

    // Stores `value`, writes the key through `write`, and notifies when the
    // value differs (a NaN always differs).
    template <typename T, typename Write>
    void assign(T& field, T value, void (ControlSettings::*changed)(), Write write);
    void writeData(QLatin1StringView key, const QJsonValue& json);

    // The edge's bindings, in list order.
    std::vector<GestureBinding> currentEdgeBindings(EdgeLocation edge) const;
    void storeEdgeConfiguration(EdgeLocation edge, EdgeConfiguration configuration);

    UserDefaults& defaults_;
    GestureRecognitionLevel recognitionLevel_ = GestureRecognitionLevel::standard;
    std::vector<DisabledApplication> disabledApplications_;
    bool hasConfigurationBackup_ = false;
    EdgeConfigurationMap edgeConfigurations_;
    std::vector<GestureRule> rules_;
    std::vector<GestureBinding> bindings_;
    ForcePressLevel forcePressLevel_ = ForcePressLevel::standard;
    bool typingProtectionEnabled_ = true;
    HUDPosition operationHintPosition_ = HUDPosition::bottom;
    bool showOperationHints_ = true;
    double sensitivity_ = 1.5;
    double edgeWidth_ = 0.08;
    bool locksPointerDuringEdgeAdjustments_ = false;
    bool restoreEnabled_ = false;
    QString lastWriteFailure_;
    QString unreadableNotice_;
};

}  // namespace glidra
