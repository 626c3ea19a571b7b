#pragma once

#include "common/Json.h"

#include <QString>

#include <vector>

namespace glidra {

// One shortcut the `shortcuts` command lists: its identifier (a UUID as the
// tool prints it) and its name.
struct ShortcutTarget {
    QString id;
    QString name;

    // The shortcuts in the Shortcuts tool's list output, one "name (id)" a
    // line, in the tool's order; lines of any other form are skipped.
    static std::vector<ShortcutTarget> parseList(const QString& output);

    QJsonValue toJson() const;
    static JsonResult<ShortcutTarget> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const ShortcutTarget&, const ShortcutTarget&) = default;
};

}  // namespace glidra
