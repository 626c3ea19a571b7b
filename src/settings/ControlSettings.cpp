#include "settings/ControlSettings.h"

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

template <typename Element>
JsonResult<std::vector<Element>> decodeList(const QByteArray& data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return Failure{unreadableDocument(QStringLiteral("array"))};
    }
    return json::decode<std::vector<Element>>(document.array(), JsonPath());
}

JsonResult<EdgeConfigurationMap> decodeEdgeConfigurations(const QByteArray& data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return Failure{unreadableDocument(QStringLiteral("object"))};
    }
    EdgeConfigurationMap configurations;
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        auto configuration = EdgeConfiguration::fromJson(it.value(), JsonPath().key(it.key()));
        if (!configuration) return Failure{configuration.error()};
        configurations.emplace(it.key(), std::move(configuration).value());
    }
    return configurations;
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
        if (defaults_.value(legacy)) defaults_.removeValue(legacy);
    }
}

template <typename T>
std::optional<T> ControlSettings::loadData(QLatin1StringView key, JsonResult<T> (*decode)(const QByteArray&)) {
    const auto stored = defaults_.value(key);
    if (!stored) return std::nullopt;
    if (const auto* data = std::get_if<QByteArray>(&*stored)) {
        if (auto decoded = decode(*data)) return std::move(decoded).value();
    }
    setAsideUnreadable(key, *stored);
    return std::nullopt;
}

void ControlSettings::setAsideUnreadable(QLatin1StringView key, const DefaultsValue& stored) {
    // The loaded default would overwrite the stored value at the next save.
    const QString copyKey = settings_key::unreadableCopy(key);
    if (!identical(defaults_.value(copyKey), stored)) defaults_.setValue(copyKey, stored);
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
    if (!isEncodable(json)) return;
    const QJsonDocument document = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    defaults_.setValue(key, document.toJson(QJsonDocument::Compact));
}

void ControlSettings::setRecognitionLevel(GestureRecognitionLevel level) {
    assign(recognitionLevel_, level, &ControlSettings::recognitionLevelChanged,
           [&] { defaults_.setValue(settings_key::recognitionLevel, enumRaw(recognitionLevel_)); });
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
    assign(rules_, std::move(rules), &ControlSettings::rulesChanged, [&] { saveRules(); });
}

void ControlSettings::saveRules() { writeData(settings_key::rules, json::encode(rules_)); }

void ControlSettings::setBindings(std::vector<GestureBinding> bindings) {
    assign(bindings_, std::move(bindings), &ControlSettings::bindingsChanged,
           [&] { writeData(settings_key::bindings, json::encode(bindings_)); });
}

void ControlSettings::setForcePressLevel(ForcePressLevel level) {
    assign(forcePressLevel_, level, &ControlSettings::forcePressLevelChanged,
           [&] { defaults_.setValue(settings_key::forcePressLevel, enumRaw(forcePressLevel_)); });
}

void ControlSettings::setTypingProtectionEnabled(bool enabled) {
    assign(typingProtectionEnabled_, enabled, &ControlSettings::typingProtectionEnabledChanged,
           [&] { defaults_.setValue(settings_key::typingProtectionEnabled, typingProtectionEnabled_); });
}

void ControlSettings::setOperationHintPosition(HUDPosition position) {
    assign(operationHintPosition_, position, &ControlSettings::operationHintPositionChanged,
           [&] { defaults_.setValue(settings_key::operationHintPosition, enumRaw(operationHintPosition_)); });
}

void ControlSettings::setShowOperationHints(bool show) {
    assign(showOperationHints_, show, &ControlSettings::showOperationHintsChanged,
           [&] { defaults_.setValue(settings_key::showOperationHints, showOperationHints_); });
}

void ControlSettings::setSensitivity(double sensitivity) {
    assign(sensitivity_, sensitivity, &ControlSettings::sensitivityChanged,
           [&] { defaults_.setValue(settings_key::sensitivity, sensitivity_); });
}

void ControlSettings::setEdgeWidth(double width) {
    assign(edgeWidth_, width, &ControlSettings::edgeWidthChanged,
           [&] { defaults_.setValue(settings_key::edgeWidth, edgeWidth_); });
}

void ControlSettings::setLocksPointerDuringEdgeAdjustments(bool locks) {
    assign(locksPointerDuringEdgeAdjustments_, locks, &ControlSettings::locksPointerDuringEdgeAdjustmentsChanged, [&] {
        defaults_.setValue(settings_key::locksPointerDuringEdgeAdjustments, locksPointerDuringEdgeAdjustments_);
    });
}

void ControlSettings::setRestoreEnabled(bool enabled) {
    assign(restoreEnabled_, enabled, &ControlSettings::restoreEnabledChanged,
           [&] { defaults_.setValue(settings_key::restoreEnabled, restoreEnabled_); });
}

}  // namespace glidra
