#include "common/Json.h"

#include <QVariant>

#include <charconv>
#include <cmath>

namespace glidra {

QString JsonError::describe() const {
    const QString where = path.isEmpty() ? QStringLiteral("document") : path;
    return QStringLiteral("%1: %2").arg(where, message);
}

JsonPath JsonPath::key(QStringView key) const {
    return JsonPath(path_.isEmpty() ? key.toString() : path_ + QLatin1Char('.') + key.toString());
}

JsonPath JsonPath::index(qsizetype index) const {
    return JsonPath(path_ + QLatin1Char('[') + QString::number(index) + QLatin1Char(']'));
}

JsonError jsonError(JsonError::Kind kind, const JsonPath& path, QString message) {
    return JsonError{kind, path.toString(), std::move(message)};
}

namespace {

JsonError typeMismatch(const JsonPath& path, const char* expected) {
    return jsonError(JsonError::Kind::typeMismatch, path, QStringLiteral("expected %1").arg(QLatin1String(expected)));
}

}  // namespace

namespace json {

QJsonValue fromFloat(float value) {
    if (!std::isfinite(value)) return QJsonValue(double(value));  // QJsonDocument writes null; never stored on purpose
    // The shortest text of the float, read back as the double nearest to it.
    // Both conversions ignore the locale: the application runs in the
    // user's, where strtod would stop at the "." of "0.25".
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return QJsonValue(double(value));
    double shortest = value;
    if (std::from_chars(buffer, end, shortest).ec != std::errc()) return QJsonValue(double(value));
    return QJsonValue(shortest);
}

QString uuidText(const QUuid& uuid) { return uuid.toString(QUuid::WithoutBraces).toUpper(); }

std::optional<QUuid> parseUuid(const QString& text) {
    const QUuid uuid = text.size() == 36 ? QUuid::fromString(text) : QUuid();
    // QUuid reads the nil UUID and garbage alike as null; the nil UUID is a
    // well-formed identifier all the same.
    if (uuid.isNull() && text != QLatin1String("00000000-0000-0000-0000-000000000000")) return std::nullopt;
    return uuid;
}

QJsonValue fromUuid(const QUuid& uuid) { return uuidText(uuid); }

QJsonValue fromData(const QByteArray& data) { return QString::fromLatin1(data.toBase64()); }

JsonResult<bool> decodeBool(const QJsonValue& json, const JsonPath& path) {
    if (!json.isBool()) return Failure{typeMismatch(path, "a Boolean")};
    return json.toBool();
}

JsonResult<double> decodeDouble(const QJsonValue& json, const JsonPath& path) {
    if (!json.isDouble()) return Failure{typeMismatch(path, "a number")};
    return json.toDouble();
}

JsonResult<float> decodeFloat(const QJsonValue& json, const JsonPath& path) {
    auto number = decodeDouble(json, path);
    if (!number) return Failure{number.error()};
    const double value = number.value();
    if (std::isfinite(value) && std::fabs(value) > double(std::numeric_limits<float>::max())) {
        return Failure{jsonError(JsonError::Kind::outOfRange, path, QStringLiteral("number out of range"))};
    }
    return float(value);
}

JsonResult<qint64> decodeInteger(const QJsonValue& json, const JsonPath& path, qint64 min, qint64 max) {
    if (!json.isDouble()) return Failure{typeMismatch(path, "an integer")};
    // Qt keeps a parsed integer exact; read as a double, 2^63 - 1 would round
    // up to 2^63 and fail the range test below.
    const QVariant exact = json.toVariant();
    qint64 integer = 0;
    if (exact.typeId() == QMetaType::LongLong) {
        integer = exact.toLongLong();
    } else {
        const double value = json.toDouble();
        if (!std::isfinite(value) || std::trunc(value) != value) {
            return Failure{jsonError(JsonError::Kind::dataCorrupted, path, QStringLiteral("expected an integer"))};
        }
        // Beyond 2^63 the double cannot be compared with qint64 exactly.
        if (value < -9.2233720368547758e18 || value >= 9.2233720368547758e18) {
            return Failure{jsonError(JsonError::Kind::outOfRange, path, QStringLiteral("integer out of range"))};
        }
        integer = json.toInteger(0);
    }
    if (integer < min || integer > max) {
        return Failure{jsonError(JsonError::Kind::outOfRange, path,
                                 QStringLiteral("%1 is outside %2...%3").arg(integer).arg(min).arg(max))};
    }
    return integer;
}

JsonResult<QString> decodeString(const QJsonValue& json, const JsonPath& path) {
    if (!json.isString()) return Failure{typeMismatch(path, "a string")};
    return json.toString();
}

JsonResult<QUuid> decodeUuid(const QJsonValue& json, const JsonPath& path) {
    auto text = decodeString(json, path);
    if (!text) return Failure{text.error()};
    const auto uuid = parseUuid(text.value());
    if (!uuid) return Failure{jsonError(JsonError::Kind::dataCorrupted, path, QStringLiteral("not a UUID"))};
    return *uuid;
}

JsonResult<QByteArray> decodeData(const QJsonValue& json, const JsonPath& path) {
    auto text = decodeString(json, path);
    if (!text) return Failure{text.error()};
    auto decoded = QByteArray::fromBase64Encoding(text->toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return Failure{jsonError(JsonError::Kind::dataCorrupted, path, QStringLiteral("not base64 data"))};
    return *decoded;
}

JsonResult<QJsonObject> decodeObject(const QJsonValue& json, const JsonPath& path) {
    if (!json.isObject()) return Failure{typeMismatch(path, "an object")};
    return json.toObject();
}

JsonResult<QJsonArray> decodeArray(const QJsonValue& json, const JsonPath& path) {
    if (!json.isArray()) return Failure{typeMismatch(path, "an array")};
    return json.toArray();
}

}  // namespace json

JsonObjectReader::JsonObjectReader(const QJsonValue& json, JsonPath path) : path_(std::move(path)) {
    if (json.isObject()) {
        object_ = json.toObject();
    } else {
        fail(typeMismatch(path_, "an object"));
    }
}

bool JsonObjectReader::contains(QStringView key) const {
    const QJsonValue value = object_.value(key);
    return !value.isUndefined() && !value.isNull();
}

}  // namespace glidra
