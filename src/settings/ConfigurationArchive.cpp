#include "settings/ConfigurationArchive.h"

#include "gestures/EdgeLocation.h"
#include "gestures/GestureTrigger.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cmath>

#ifndef GLIDRA_VERSION
#define GLIDRA_VERSION "1.0"
#endif

namespace glidra {

namespace {

using Error = ConfigurationArchiveError;

constexpr qsizetype maximumDisabledApplications = 1000;
constexpr qsizetype maximumRules = 1000;
constexpr qsizetype maximumRectanglesPerRule = 9;
constexpr qint64 maximumTapCount = 3;

bool inRange(double value, double minimum, double maximum) {
    return std::isfinite(value) && value >= minimum && value <= maximum;
}

bool hasValidDisabledApplications(const std::optional<std::vector<DisabledApplication>>& applications) {
    if (!applications) return true;
    if (qsizetype(applications->size()) > maximumDisabledApplications) return false;
    QSet<QString> seen;
    for (const DisabledApplication& application : *applications) {
        if (application.bundleIdentifier.trimmed().isEmpty()) return false;
        if (seen.contains(application.bundleIdentifier)) return false;
        seen.insert(application.bundleIdentifier);
    }
    return true;
}

bool isValidRule(const GestureRule& rule) {
    const auto allowed = allowedFingerCounts(rule.gesture.kind);
    if (std::find(allowed.begin(), allowed.end(), rule.gesture.fingers) == allowed.end()) return false;
    if (rule.gesture.tapCount < 1 || rule.gesture.tapCount > maximumTapCount) return false;
    if (rule.customRegion && !rule.customRegion->isValid()) return false;
    if (rule.customRegions) {
        const auto& rects = *rule.customRegions;
        if (rects.empty() || qsizetype(rects.size()) > maximumRectanglesPerRule) return false;
        if (!std::all_of(rects.begin(), rects.end(), [](const NormalizedRegionRect& r) { return r.isValid(); })) {
            return false;
        }
    }
    // A custom region is the common area of its rectangles; without one the
    // rule could never fire.
    if (rule.region == GestureRegion::custom && !NormalizedRegionRect::intersection(rule.customRegionList())) {
        return false;
    }
    return true;
}

bool hasValidRules(const std::vector<GestureRule>& rules) {
    if (qsizetype(rules.size()) > maximumRules) return false;
    QSet<QUuid> ids;
    for (const GestureRule& rule : rules) {
        if (ids.contains(rule.id)) return false;
        ids.insert(rule.id);
    }
    return std::all_of(rules.begin(), rules.end(), isValidRule);
}

// Exactly one binding per trigger, in any order.
bool hasCompleteBindings(const std::vector<GestureBinding>& bindings) {
    const auto all = enumAllCases<GestureTrigger>();
    if (bindings.size() != all.size()) return false;
    QSet<GestureTrigger> triggers;
    for (const GestureBinding& binding : bindings) triggers.insert(binding.trigger);
    return triggers.size() == qsizetype(all.size());
}

bool isValidEdge(const QString& name, const EdgeConfiguration& configuration) {
    const auto edge = enumFromRaw<EdgeLocation>(name);
    if (!edge) return false;
    // custom has no actions of its own; it only describes a split edge.
    if (!configuration.isSplit && configuration.mergedMode == EdgeControlMode::custom) return false;
    if (configuration.splitBindings) {
        const auto& split = *configuration.splitBindings;
        const auto own = triggers(*edge);
        if (split.size() != 2) return false;
        const bool inOrder = split[0].trigger == own[0] && split[1].trigger == own[1];
        const bool swapped = split[0].trigger == own[1] && split[1].trigger == own[0];
        if (!inOrder && !swapped) return false;
    }
    return true;
}

JsonResult<std::map<QString, EdgeConfiguration>> decodeEdges(const QJsonValue& json, const JsonPath& path) {
    if (json.isUndefined() || json.isNull()) {
        return Failure{jsonError(JsonError::Kind::missingKey, path, QStringLiteral("required key is missing"))};
    }
    auto object = json::decodeObject(json, path);
    if (!object) return Failure{object.error()};
    std::map<QString, EdgeConfiguration> edges;
    for (auto it = object->constBegin(); it != object->constEnd(); ++it) {
        auto configuration = EdgeConfiguration::fromJson(it.value(), path.key(it.key()));
        if (!configuration) return Failure{configuration.error()};
        edges.emplace(it.key(), std::move(configuration).value());
    }
    return edges;
}

}  // namespace

QString ConfigurationArchive::currentAppVersion() {
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral(GLIDRA_VERSION) : version;
}

QString ConfigurationArchive::exportDate(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

ArchiveResult<Done> ConfigurationArchive::validate() const {
    if (format != formatName) return Failure{Error::invalidFile};
    if (schemaVersion != currentSchemaVersion) return Failure{Error::unsupportedVersion};
    // The same ranges that loading clamps to.
    namespace bounds = settings_default;
    if (!inRange(sensitivity, bounds::minimumSensitivity, bounds::maximumSensitivity)) {
        return Failure{Error::invalidValues};
    }
    if (!inRange(edgeWidth, bounds::minimumEdgeWidth, bounds::maximumEdgeWidth)) return Failure{Error::invalidValues};
    if (!hasValidDisabledApplications(disabledApplications)) return Failure{Error::invalidValues};
    if (!hasValidRules(gestures)) return Failure{Error::invalidGestures};
    if (!hasCompleteBindings(bindings)) return Failure{Error::invalidEdges};
    for (const auto& [name, configuration] : edges) {
        if (!isValidEdge(name, configuration)) return Failure{Error::invalidEdges};
    }
    return Done{};
}

ArchiveResult<QByteArray> ConfigurationArchive::encoded() const {
    if (auto valid = validate(); !valid) return Failure{valid.error()};
    // QJsonObject keeps its keys sorted and the writer leaves "/" as it is,
    // so paths and addresses stay readable in the file.
    QByteArray data = QJsonDocument(toJson().toObject()).toJson(QJsonDocument::Indented);
    if (data.size() > maximumSize) return Failure{Error::tooLarge};
    return data;
}

ArchiveResult<ConfigurationArchive> ConfigurationArchive::decode(const QByteArray& data) {
    if (data.size() > maximumSize) return Failure{Error::tooLarge};

    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) return Failure{Error::invalidFile};
    const QJsonObject object = document.object();
    if (object.isEmpty()) return Failure{Error::invalidFile};

    // Format and version are checked before the rest, so a document of a
    // newer version says so instead of failing on a field it added.
    const QJsonValue format = object.value(u"format");
    if (!format.isString() || format.toString() != formatName) return Failure{Error::invalidFile};
    const QJsonValue version = object.value(u"schemaVersion");
    if (!version.isDouble() || version.toDouble() != double(currentSchemaVersion)) {
        return Failure{Error::unsupportedVersion};
    }

    auto archive = fromJson(object, JsonPath());
    if (!archive) return Failure{Error::invalidFile};
    if (auto valid = archive->validate(); !valid) return Failure{valid.error()};
    return std::move(archive).value();
}

ArchiveResult<ConfigurationArchive> ConfigurationArchive::decode(QIODevice& device) {
    if (!device.isSequential() && device.size() - device.pos() > maximumSize) return Failure{Error::tooLarge};
    // Read in pieces up to one byte past the limit: the size a device
    // reports may be wrong (special files) or unknown (pipes).
    constexpr qint64 chunkSize = 1 << 16;
    QByteArray data;
    while (data.size() <= maximumSize) {
        const qint64 wanted = std::min<qint64>(chunkSize, maximumSize + 1 - data.size());
        const QByteArray chunk = device.read(wanted);
        if (chunk.isEmpty()) break;
        data.append(chunk);
    }
    return decode(data);
}

QJsonValue ConfigurationArchive::toJson() const {
    QJsonObject edgeObject;
    for (const auto& [name, configuration] : edges) edgeObject.insert(name, configuration.toJson());
    QJsonObject object = JsonObjectWriter()
                             .set(u"format", format)
                             .set(u"schemaVersion", schemaVersion)
                             .set(u"exportedAt", exportedAt)
                             .set(u"appVersion", appVersion)
                             .set(u"gestures", gestures)
                             .set(u"bindings", bindings)
                             .set(u"sensitivity", sensitivity)
                             .set(u"edgeWidth", edgeWidth)
                             .set(u"forcePressLevel", forcePressLevel)
                             .set(u"showOperationHints", showOperationHints)
                             .set(u"recognitionLevel", recognitionLevel)
                             .set(u"disabledApplications", disabledApplications)
                             .set(u"typingProtectionEnabled", typingProtectionEnabled)
                             .set(u"operationHintPosition", operationHintPosition)
                             .set(u"locksPointerDuringEdgeAdjustments", locksPointerDuringEdgeAdjustments)
                             .object();
    object.insert(u"edges", edgeObject);
    return object;
}

JsonResult<ConfigurationArchive> ConfigurationArchive::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    ConfigurationArchive archive;
    archive.format = in.required<QString>(u"format");
    archive.schemaVersion = in.required<qint64>(u"schemaVersion");
    archive.exportedAt = in.required<QString>(u"exportedAt");
    archive.appVersion = in.required<QString>(u"appVersion");
    archive.gestures = in.required<std::vector<GestureRule>>(u"gestures");
    archive.bindings = in.required<std::vector<GestureBinding>>(u"bindings");
    if (!in.failed()) {
        auto edges = decodeEdges(in.object().value(u"edges"), in.path().key(u"edges"));
        if (edges) {
            archive.edges = std::move(edges).value();
        } else {
            in.fail(edges.error());
        }
    }
    archive.sensitivity = in.required<double>(u"sensitivity");
    archive.edgeWidth = in.required<double>(u"edgeWidth");
    archive.forcePressLevel = in.required<ForcePressLevel>(u"forcePressLevel");
    archive.showOperationHints = in.optional<bool>(u"showOperationHints");
    archive.recognitionLevel = in.optional<GestureRecognitionLevel>(u"recognitionLevel");
    archive.disabledApplications = in.optional<std::vector<DisabledApplication>>(u"disabledApplications");
    archive.typingProtectionEnabled = in.optional<bool>(u"typingProtectionEnabled");
    archive.operationHintPosition = in.optional<HUDPosition>(u"operationHintPosition");
    archive.locksPointerDuringEdgeAdjustments = in.optional<bool>(u"locksPointerDuringEdgeAdjustments");
    if (in.failed()) return Failure{in.error()};
    return archive;
}

}  // namespace glidra
