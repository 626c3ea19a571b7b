#include "settings/ControlSettings.h"

#include "common/Localized.h"
#include "gestures/RuleDiagnostics.h"
#include "settings/SettingsKeys.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

ControlSettings* sharedSettings = nullptr;

JsonError unreadableDocument(const QString& expected) {
    return jsonError(JsonError::Kind::typeMismatch, JsonPath(),
                     QStringLiteral("stored data is not a JSON %1").arg(expected));
}

// Entry by entry, so that one entry this version cannot read (a newer
// action, a damaged rectangle) does not cost the others.
template <typename Element>
JsonResult<LoadedData<std::vector<Element>>> decodeList(const QByteArray& data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return Failure{unreadableDocument(QStringLiteral("array"))};
    }
    const QJsonArray array = document.array();
    LoadedData<std::vector<Element>> loaded;
    loaded.value.reserve(size_t(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i) {
        auto element = json::decode<Element>(array.at(i), JsonPath().index(i));
        if (element) {
            loaded.value.push_back(std::move(element).value());
        } else {
            loaded.complete = false;
        }
    }
    return loaded;
}

JsonResult<LoadedData<EdgeConfigurationMap>> decodeEdgeConfigurations(const QByteArray& data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return Failure{unreadableDocument(QStringLiteral("object"))};
    }
    LoadedData<EdgeConfigurationMap> loaded;
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        auto configuration = EdgeConfiguration::fromJson(it.value(), JsonPath().key(it.key()));
        if (configuration) {
            loaded.value.emplace(it.key(), std::move(configuration).value());
        } else {
            loaded.complete = false;
        }
    }
    return loaded;
}

QJsonValue encodeEdgeConfigurations(const EdgeConfigurationMap& configurations) {
    QJsonObject object;
    for (const auto& [name, configuration] : configurations) object.insert(name, configuration.toJson());
    return object;
}

// JSON has no form for NaN or infinity; a value holding one cannot be
// encoded, and the key keeps what it held.
bool isEncodable(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Double:
            return std::isfinite(value.toDouble());
        case QJsonValue::Array: {
            const QJsonArray array = value.toArray();
            return std::all_of(array.begin(), array.end(), [](const QJsonValue& v) { return isEncodable(v); });
        }
        case QJsonValue::Object: {
            const QJsonObject object = value.toObject();
            return std::all_of(object.begin(), object.end(), [](const QJsonValue& v) { return isEncodable(v); });
        }
        default:
            return true;
    }
}

// Equal values, a NaN counting as equal to a NaN.
bool identical(const std::optional<DefaultsValue>& a, const DefaultsValue& b) {
    if (!a) return false;
    const auto* x = std::get_if<double>(&*a);
    const auto* y = std::get_if<double>(&b);
    if (x && y && std::isnan(*x) && std::isnan(*y)) return true;
    return *a == b;
}

template <typename E>
std::optional<E> storedCase(const UserDefaults& defaults, QLatin1StringView key) {
    const auto raw = defaults.string(key);
    if (!raw) return std::nullopt;
    return enumFromRaw<E>(*raw);
}

// A finite value is brought into range; a non-finite one gives the default.
double clampedOrDefault(double value, double minimum, double maximum, double fallback) {
    if (!std::isfinite(value)) return fallback;
    return std::clamp(value, minimum, maximum);
}

// The defaults, each replaced by the first stored binding of its trigger, so
// the list always holds one binding per trigger in trigger order.
std::vector<GestureBinding> mergedWithDefaults(const std::vector<GestureBinding>& stored) {
    std::vector<GestureBinding> bindings = GestureBinding::defaultBindings();
    for (GestureBinding& binding : bindings) {
        const auto match = std::find_if(stored.begin(), stored.end(),
                                        [&](const GestureBinding& b) { return b.trigger == binding.trigger; });
        if (match != stored.end()) binding = *match;
    }
    return bindings;
}

}  // namespace

ControlSettings::ControlSettings(UserDefaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults) {
    load();
}

ControlSettings& ControlSettings::shared() {
    Q_ASSERT_X(sharedSettings, "ControlSettings::shared", "no settings registered");
    return *sharedSettings;
}

void ControlSettings::setShared(ControlSettings* settings) { sharedSettings = settings; }

// --- Loading -------------------------------------------------------------------

void ControlSettings::load() {
    namespace key = settings_key;
    namespace fallback = settings_default;

    // A store that could not be read says so before anything is written.
    lastWriteFailure_ = defaults_.failure();
    unreadableNotice_ = defaults_.unreadableNotice();

    recognitionLevel_ =
        storedCase<GestureRecognitionLevel>(defaults_, key::recognitionLevel).value_or(fallback::recognitionLevel);
    disabledApplications_ = loadData(key::disabledApplications, &decodeList<DisabledApplication>)
                                .value_or(std::vector<DisabledApplication>{});
    typingProtectionEnabled_ =
        defaults_.boolean(key::typingProtectionEnabled).value_or(fallback::typingProtectionEnabled);
    operationHintPosition_ =
        storedCase<HUDPosition>(defaults_, key::operationHintPosition).value_or(fallback::operationHintPosition);
    showOperationHints_ = defaults_.boolean(key::showOperationHints).value_or(fallback::showOperationHints);
    hasConfigurationBackup_ = defaults_.data(key::configurationBeforeImport).has_value();
    forcePressLevel_ = storedCase<ForcePressLevel>(defaults_, key::forcePressLevel).value_or(fallback::forcePressLevel);
    edgeConfigurations_ = loadData(key::edgeConfigurations, &decodeEdgeConfigurations).value_or(EdgeConfigurationMap{});
    rules_ = loadData(key::rules, &decodeList<GestureRule>).value_or(std::vector<GestureRule>{});
    const auto storedBindings = loadData(key::bindings, &decodeList<GestureBinding>);
    bindings_ = storedBindings ? mergedWithDefaults(*storedBindings) : GestureBinding::defaultBindings();

    // Held in memory only: the keys keep their values until the next
    // assignment.
    sensitivity_ = clampedOrDefault(defaults_.number(key::sensitivity).value_or(fallback::sensitivity),
                                    fallback::minimumSensitivity, fallback::maximumSensitivity, fallback::sensitivity);
    edgeWidth_ = clampedOrDefault(defaults_.number(key::edgeWidth).value_or(fallback::edgeWidth),
                                  fallback::minimumEdgeWidth, fallback::maximumEdgeWidth, fallback::edgeWidth);

    locksPointerDuringEdgeAdjustments_ = defaults_.boolValue(key::locksPointerDuringEdgeAdjustments);
    restoreEnabled_ = defaults_.boolValue(key::restoreEnabled);

    auto migrated = migrateFinderQuickLookRules(rules_, float(edgeWidth_));
    if (migrated != rules_) setRules(std::move(migrated));
    normalizeRules();

    for (const QLatin1StringView legacy : key::legacy) {
        if (defaults_.value(legacy)) removeValue(legacy);
    }
}

template <typename T>
std::optional<T> ControlSettings::loadData(QLatin1StringView key,
                                           JsonResult<LoadedData<T>> (*decode)(const QByteArray&)) {
    const auto stored = defaults_.value(key);
    if (!stored) return std::nullopt;
    if (const auto* data = std::get_if<QByteArray>(&*stored)) {
        if (auto decoded = decode(*data)) {
            if (!decoded->complete) setAsideUnreadable(key, *stored);
            return std::move(decoded).value().value;
        }
    }
    setAsideUnreadable(key, *stored);
    return std::nullopt;
}

void ControlSettings::setAsideUnreadable(QLatin1StringView key, const DefaultsValue& stored) {
    // What was loaded would overwrite the stored value at the next save.
    const QString copyKey = settings_key::unreadableCopy(key);
    if (!identical(defaults_.value(copyKey), stored)) writeValue(copyKey, stored);
}

// --- Writing -------------------------------------------------------------------

bool ControlSettings::writeValue(const QString& key, const DefaultsValue& value) {
    return noteWrite(defaults_.setValue(key, value));
}

bool ControlSettings::removeValue(const QString& key) { return noteWrite(defaults_.removeValue(key)); }

bool ControlSettings::noteWrite(bool written) {
    if (written) {
        setLastWriteFailure({});
    } else {
        const QString reason = defaults_.failure();
        setLastWriteFailure(reason.isEmpty() ? localized(GLIDRA_TEXT("未知错误")) : reason);
    }
    return written;
}

void ControlSettings::setLastWriteFailure(QString failure) {
    if (lastWriteFailure_ == failure) return;
    lastWriteFailure_ = std::move(failure);
    Q_EMIT lastWriteFailureChanged();
}

void ControlSettings::unreadableNoticeShown() {
    if (!unreadableNotice_.isEmpty()) defaults_.unreadableNoticeShown();
}

void ControlSettings::dismissUnreadableNotice() {
    if (unreadableNotice_.isEmpty()) return;
    unreadableNotice_.clear();
    Q_EMIT unreadableNoticeChanged();
}

TransferResult ControlSettings::saved() const {
    // The store carries a failed change again with its next write, so only
    // the last write tells whether everything was saved.
    if (lastWriteFailure_.isEmpty()) return Done{};
    return Failure{ConfigurationTransferError{ConfigurationArchiveError::notSaved, lastWriteFailure_}};
}

// --- Setters -------------------------------------------------------------------

template <typename T, typename Write>
void ControlSettings::assign(T& field, T value, void (ControlSettings::*changed)(), Write write) {
    // Not `!=` on purpose: for doubles both agree, and `==` is what the
    // value types define.
    const bool differs = !(field == value);
    field = std::move(value);
    write();
    if (differs) Q_EMIT(this->*changed)();
}

void ControlSettings::writeData(QLatin1StringView key, const QJsonValue& json) {
    // QJsonDocument would write null and make the whole key unreadable.
    if (!isEncodable(json)) {
        setLastWriteFailure(localized(GLIDRA_TEXT("设置中含有无效的数值。")));
        return;
    }
    const QJsonDocument document = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    writeValue(key, document.toJson(QJsonDocument::Compact));
}

void ControlSettings::setRecognitionLevel(GestureRecognitionLevel level) {
    assign(recognitionLevel_, level, &ControlSettings::recognitionLevelChanged,
           [&] { writeValue(settings_key::recognitionLevel, enumRaw(recognitionLevel_)); });
}

void ControlSettings::setDisabledApplications(std::vector<DisabledApplication> applications) {
    assign(disabledApplications_, std::move(applications), &ControlSettings::disabledApplicationsChanged,
           [&] { saveDisabledApplications(); });
}

void ControlSettings::saveDisabledApplications() {
    writeData(settings_key::disabledApplications, json::encode(disabledApplications_));
}

void ControlSettings::setHasConfigurationBackup(bool hasBackup) {
    if (hasConfigurationBackup_ == hasBackup) return;
    hasConfigurationBackup_ = hasBackup;
    Q_EMIT hasConfigurationBackupChanged();
}

void ControlSettings::setEdgeConfigurations(EdgeConfigurationMap configurations) {
    assign(edgeConfigurations_, std::move(configurations), &ControlSettings::edgeConfigurationsChanged,
           [&] { writeData(settings_key::edgeConfigurations, encodeEdgeConfigurations(edgeConfigurations_)); });
}

void ControlSettings::setRules(std::vector<GestureRule> rules) {
    // Refused here, where it would be stored: a rule JSON cannot hold would
    // keep the whole list from being saved, or be written as null and cost
    // every rule at the next load.
    bool refused = false;
    for (auto it = rules.begin(); it != rules.end();) {
        if (isEncodable(it->toJson())) {
            ++it;
            continue;
        }
        refused = true;
        const auto current =
            std::find_if(rules_.begin(), rules_.end(), [&](const GestureRule& rule) { return rule.id == it->id; });
        if (current != rules_.end()) {
            *it++ = *current;
        } else {
            it = rules.erase(it);
        }
    }
    assign(rules_, std::move(rules), &ControlSettings::rulesChanged, [&] { saveRules(); });
    if (refused) setLastWriteFailure(localized(GLIDRA_TEXT("规则的触发区域坐标无效。")));
}

void ControlSettings::saveRules() { writeData(settings_key::rules, json::encode(rules_)); }

void ControlSettings::setBindings(std::vector<GestureBinding> bindings) {
    assign(bindings_, std::move(bindings), &ControlSettings::bindingsChanged,
           [&] { writeData(settings_key::bindings, json::encode(bindings_)); });
}

void ControlSettings::setForcePressLevel(ForcePressLevel level) {
    assign(forcePressLevel_, level, &ControlSettings::forcePressLevelChanged,
           [&] { writeValue(settings_key::forcePressLevel, enumRaw(forcePressLevel_)); });
}

void ControlSettings::setTypingProtectionEnabled(bool enabled) {
    assign(typingProtectionEnabled_, enabled, &ControlSettings::typingProtectionEnabledChanged,
           [&] { writeValue(settings_key::typingProtectionEnabled, typingProtectionEnabled_); });
}

void ControlSettings::setOperationHintPosition(HUDPosition position) {
    assign(operationHintPosition_, position, &ControlSettings::operationHintPositionChanged,
           [&] { writeValue(settings_key::operationHintPosition, enumRaw(operationHintPosition_)); });
}

void ControlSettings::setShowOperationHints(bool show) {
    assign(showOperationHints_, show, &ControlSettings::showOperationHintsChanged,
           [&] { writeValue(settings_key::showOperationHints, showOperationHints_); });
}

void ControlSettings::setSensitivity(double sensitivity) {
    assign(sensitivity_, sensitivity, &ControlSettings::sensitivityChanged,
           [&] { writeValue(settings_key::sensitivity, sensitivity_); });
}

void ControlSettings::setEdgeWidth(double width) {
    assign(edgeWidth_, width, &ControlSettings::edgeWidthChanged,
           [&] { writeValue(settings_key::edgeWidth, edgeWidth_); });
}

void ControlSettings::setLocksPointerDuringEdgeAdjustments(bool locks) {
    assign(locksPointerDuringEdgeAdjustments_, locks, &ControlSettings::locksPointerDuringEdgeAdjustmentsChanged,
           [&] { writeValue(settings_key::locksPointerDuringEdgeAdjustments, locksPointerDuringEdgeAdjustments_); });
}

void ControlSettings::setRestoreEnabled(bool enabled) {
    assign(restoreEnabled_, enabled, &ControlSettings::restoreEnabledChanged,
           [&] { writeValue(settings_key::restoreEnabled, restoreEnabled_); });
}

}  // namespace glidra
