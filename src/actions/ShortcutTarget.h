#pragma once

#include "common/Json.h"

#include <QString>

namespace glidra {

// One shortcut of the system's Shortcuts app.
struct ShortcutTarget {
    QString id;
    QString name;

    QJsonValue toJson() const;
    static JsonResult<ShortcutTarget> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const ShortcutTarget&, const ShortcutTarget&) = default;
};

}  // namespace glidra
