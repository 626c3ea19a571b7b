#pragma once

#include "common/Json.h"

#include <QString>

#include <optional>
#include <span>

namespace glidra {

// An application in which all gestures pause. Lists identify an entry by its
// bundle identifier; the name is only shown.
struct DisabledApplication {
    QString bundleIdentifier;
    QString name;

    QJsonValue toJson() const;
    static JsonResult<DisabledApplication> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const DisabledApplication&, const DisabledApplication&) = default;
};

// Whether an entry's bundle identifier equals `bundleIdentifier` exactly. An
// absent or empty identifier is never disabled, not even by an entry whose
// identifier is empty too.
bool contains(std::span<const DisabledApplication> applications, const std::optional<QString>& bundleIdentifier);

}  // namespace glidra
