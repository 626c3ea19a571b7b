#pragma once

#include "common/Json.h"
#include "common/Result.h"
#include "gestures/EdgeConfiguration.h"
#include "gestures/ForcePressLevel.h"
#include "gestures/GestureBinding.h"
#include "gestures/GestureRecognitionLevel.h"
#include "gestures/GestureRule.h"
#include "notices/HUDPosition.h"
#include "settings/ConfigurationArchiveError.h"
#include "settings/DisabledApplication.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class QIODevice;

namespace glidra {

template <typename T>
using ArchiveResult = Result<T, ConfigurationArchiveError>;

// The whole configuration as one JSON document, the file that users export,
// keep, pass on and import again. Documents come from anywhere, so reading
// checks everything before a value is trusted; writing refuses what reading
// would refuse, so an exported file always imports.
struct ConfigurationArchive {
    // Both sides hold to it: a larger document is neither written nor parsed.
    static constexpr qint64 maximumSize = 10'485'760;
    static constexpr qint64 currentSchemaVersion = 1;
    static constexpr QLatin1StringView formatName{"Glidra"};

    QString format{formatName};
    qint64 schemaVersion = currentSchemaVersion;
    QString exportedAt;  // "2026-12-07T22:54:39Z"; informational, never checked
    QString appVersion;  // informational, never checked
    std::vector<GestureRule> gestures;
    std::vector<GestureBinding> bindings;
    std::map<QString, EdgeConfiguration> edges;  // by edge name
    double sensitivity = 1.5;
    double edgeWidth = 0.08;
    ForcePressLevel forcePressLevel = ForcePressLevel::standard;
    // Absent in older documents; an absent field leaves the setting as it is.
    std::optional<bool> showOperationHints;
    std::optional<GestureRecognitionLevel> recognitionLevel;
    std::optional<std::vector<DisabledApplication>> disabledApplications;
    std::optional<bool> typingProtectionEnabled;
    std::optional<HUDPosition> operationHintPosition;
    std::optional<bool> locksPointerDuringEdgeAdjustments;

    friend bool operator==(const ConfigurationArchive&, const ConfigurationArchive&) = default;

    // The file: validated, pretty-printed with sorted keys and unescaped
    // slashes, at most maximumSize bytes.
    ArchiveResult<QByteArray> encoded() const;

    // Reads and checks a document. Never crashes on any input; the first
    // failed check decides the error.
    static ArchiveResult<ConfigurationArchive> decode(const QByteArray& data);
    // The same from an open device, reading no more than one byte past the
    // limit, so a huge or endless file is refused without being loaded.
    static ArchiveResult<ConfigurationArchive> decode(QIODevice& device);

    // The checks an archive must pass before it may replace the settings.
    ArchiveResult<Done> validate() const;

    // The short version string of this program, written as "appVersion".
    static QString currentAppVersion();
    // The export time as written: ISO 8601 in UTC, whole seconds, "Z".
    static QString exportDate(const QDateTime& time);

    QJsonValue toJson() const;
    static JsonResult<ConfigurationArchive> fromJson(const QJsonValue& json, const JsonPath& path);
};

}  // namespace glidra
