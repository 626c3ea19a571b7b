#pragma once

#include "common/Json.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace glidra {

// A file or folder the user chose to open.
struct ResourceTarget {
    QString path;
    QString name;
    std::optional<QByteArray> bookmark;  // compared by content

    QJsonValue toJson() const;
    static JsonResult<ResourceTarget> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const ResourceTarget&, const ResourceTarget&) = default;
};

}  // namespace glidra
