#include "trackpad/ConnectionLogEntry.h"

#include "common/Json.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace glidra {

std::optional<QByteArray> ConnectionLogEntry::encoded() const {
    if (!time.isValid()) return std::nullopt;
    const QDateTime utc = time.toUTC();
    // Four-digit years only: anything else is no internet date-time.
    if (utc.date().year() < 0 || utc.date().year() > 9999) return std::nullopt;
    QJsonObject object;
    object.insert(QStringLiteral("build"), json::encode(build));
    object.insert(QStringLiteral("event"), json::encode(event));
    object.insert(QStringLiteral("listening"), json::encode(listening));
    // ISO date text is the same in every locale and drops the milliseconds.
    object.insert(QStringLiteral("time"), utc.toString(Qt::ISODate));
    // Qt keeps an object's keys sorted and writes compact JSON without spaces.
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}  // namespace glidra
