#pragma once

// The JSON coding every persisted value goes through. Stored settings and
// exported archives must stay readable across versions and machines, so the
// rules live here once: absent optionals are omitted, a missing or null
// optional reads as absent, unknown keys are ignored, enumerations are their
// raw strings, UUIDs are upper-case, integers must be integral numbers in
// range, 32-bit floats are written in their shortest form, data is base64.
// Decoding never throws; it returns the value or an error naming the key path.

#include "common/EnumTable.h"
#include "common/Result.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

namespace glidra {

struct JsonError {
    enum class Kind {
        missingKey,     // a required key is absent or null
        typeMismatch,   // the value has the wrong JSON type
        dataCorrupted,  // right type, unusable content (unknown case, bad UUID, fraction, ...)
        outOfRange,     // a number beyond the field's range
    };
    Kind kind = Kind::dataCorrupted;
    QString path;  // "gestures[3].action"; empty for the document itself
    QString message;

    QString describe() const;
    friend bool operator==(const JsonError&, const JsonError&) = default;
};

template <typename T>
using JsonResult = Result<T, JsonError>;

// A key path under construction; cheap to copy, built only when an error is
// reported or a nested value is decoded.
class JsonPath {
public:
    JsonPath() = default;
    explicit JsonPath(QString path) : path_(std::move(path)) {}
    JsonPath key(QStringView key) const;
    JsonPath index(qsizetype index) const;
    const QString& toString() const { return path_; }

private:
    QString path_;
};

JsonError jsonError(JsonError::Kind kind, const JsonPath& path, QString message);

// Value types opt in by declaring these two members.
template <typename T>
concept JsonCodable = requires(const T& value, const QJsonValue& json, const JsonPath& path) {
    { value.toJson() } -> std::convertible_to<QJsonValue>;
    { T::fromJson(json, path) } -> std::same_as<JsonResult<T>>;
};

namespace json {

// --- encoding -------------------------------------------------------------

// The shortest decimal that reads back as the same float: 0.4f is written
// 0.4, not 0.4000000059604645.
QJsonValue fromFloat(float value);
QJsonValue fromUuid(const QUuid& uuid);
QJsonValue fromData(const QByteArray& data);
QString uuidText(const QUuid& uuid);  // upper-case 8-4-4-4-12
// Only the plain 8-4-4-4-12 form, in any case; the nil UUID included.
std::optional<QUuid> parseUuid(const QString& text);

template <typename T>
QJsonValue encode(const T& value) {
    if constexpr (JsonCodable<T>) {
        return value.toJson();
    } else if constexpr (TabledEnum<T>) {
        return enumRaw(value);
    } else if constexpr (std::is_same_v<T, bool>) {
        return value;
    } else if constexpr (std::is_same_v<T, float>) {
        return fromFloat(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        return double(value);
    } else if constexpr (std::is_integral_v<T>) {
        return qint64(value);
    } else if constexpr (std::is_same_v<T, QString>) {
        return value;
    } else if constexpr (std::is_same_v<T, QUuid>) {
        return fromUuid(value);
    } else if constexpr (std::is_same_v<T, QByteArray>) {
        return fromData(value);
    } else {
        static_assert(sizeof(T) == 0, "no JSON encoding for this type");
    }
}

template <typename T>
QJsonValue encode(const std::vector<T>& values) {
    QJsonArray array;
    for (const auto& v : values) array.append(encode(v));
    return array;
}

// --- decoding -------------------------------------------------------------

JsonResult<bool> decodeBool(const QJsonValue& json, const JsonPath& path);
JsonResult<double> decodeDouble(const QJsonValue& json, const JsonPath& path);
JsonResult<float> decodeFloat(const QJsonValue& json, const JsonPath& path);
// An integral number within [min, max]; Booleans, strings and fractions fail.
JsonResult<qint64> decodeInteger(const QJsonValue& json, const JsonPath& path, qint64 min, qint64 max);
JsonResult<QString> decodeString(const QJsonValue& json, const JsonPath& path);
JsonResult<QUuid> decodeUuid(const QJsonValue& json, const JsonPath& path);
JsonResult<QByteArray> decodeData(const QJsonValue& json, const JsonPath& path);
JsonResult<QJsonObject> decodeObject(const QJsonValue& json, const JsonPath& path);
JsonResult<QJsonArray> decodeArray(const QJsonValue& json, const JsonPath& path);

template <typename T>
struct IsVector : std::false_type {};
template <typename T>
struct IsVector<std::vector<T>> : std::true_type {};

template <typename T>
JsonResult<T> decode(const QJsonValue& json, const JsonPath& path) {
    if constexpr (JsonCodable<T>) {
        return T::fromJson(json, path);
    } else if constexpr (TabledEnum<T>) {
        auto text = decodeString(json, path);
        if (!text) return Failure{text.error()};
        if (auto value = enumFromRaw<T>(text.value())) return *value;
        return Failure{
            jsonError(JsonError::Kind::dataCorrupted, path, QStringLiteral("unknown case \"%1\"").arg(text.value()))};
    } else if constexpr (std::is_same_v<T, bool>) {
        return decodeBool(json, path);
    } else if constexpr (std::is_same_v<T, float>) {
        return decodeFloat(json, path);
    } else if constexpr (std::is_same_v<T, double>) {
        return decodeDouble(json, path);
    } else if constexpr (std::is_integral_v<T>) {
        auto n = decodeInteger(json, path, qint64(std::numeric_limits<T>::min()),
                               std::numeric_limits<T>::max() > std::numeric_limits<qint64>::max()
                                   ? std::numeric_limits<qint64>::max()
                                   : qint64(std::numeric_limits<T>::max()));
        if (!n) return Failure{n.error()};
        return T(n.value());
    } else if constexpr (std::is_same_v<T, QString>) {
        return decodeString(json, path);
    } else if constexpr (std::is_same_v<T, QUuid>) {
        return decodeUuid(json, path);
    } else if constexpr (std::is_same_v<T, QByteArray>) {
        return decodeData(json, path);
    } else if constexpr (IsVector<T>::value) {
        using Element = typename T::value_type;
        auto array = decodeArray(json, path);
        if (!array) return Failure{array.error()};
        T values;
        values.reserve(size_t(array->size()));
        for (qsizetype i = 0; i < array->size(); ++i) {
            auto element = decode<Element>(array->at(i), path.index(i));
            if (!element) return Failure{element.error()};
            values.push_back(std::move(element).value());
        }
        return values;
    } else {
        static_assert(sizeof(T) == 0, "no JSON decoding for this type");
    }
}

}  // namespace json

// Reads the keys of one JSON object, remembering the first failure so that a
// decoder reads as a list of fields:
//
//   JsonObjectReader in(json, path);
//   auto kind = in.required<Kind>("kind");
//   auto tapCount = in.optional<qint64>("tapCount");
//   if (in.failed()) return Failure{in.error()};
class JsonObjectReader {
public:
    JsonObjectReader(const QJsonValue& json, JsonPath path);

    bool failed() const { return error_.has_value(); }
    const JsonError& error() const { return *error_; }
    const QJsonObject& object() const { return object_; }
    const JsonPath& path() const { return path_; }
    bool contains(QStringView key) const;

    // Absent or null is a missingKey error; the returned value is then
    // default-constructed and must not be used.
    template <typename T>
    T required(QStringView key) {
        if (failed()) return T{};
        const QJsonValue value = object_.value(key);
        if (value.isUndefined() || value.isNull()) {
            fail(jsonError(JsonError::Kind::missingKey, path_.key(key), QStringLiteral("required key is missing")));
            return T{};
        }
        return take(json::decode<T>(value, path_.key(key)));
    }

    // Absent or null reads as absent; a present value must decode.
    template <typename T>
    std::optional<T> optional(QStringView key) {
        if (failed()) return std::nullopt;
        const QJsonValue value = object_.value(key);
        if (value.isUndefined() || value.isNull()) return std::nullopt;
        return take(json::decode<T>(value, path_.key(key)));
    }

    void fail(JsonError error) {
        if (!error_) error_ = std::move(error);
    }

private:
    template <typename T>
    T take(JsonResult<T> result) {
        if (!result) {
            fail(result.error());
            return T{};
        }
        return std::move(result).value();
    }

    QJsonObject object_;
    JsonPath path_;
    std::optional<JsonError> error_;
};

// Builds one JSON object; optionals are written only when present.
class JsonObjectWriter {
public:
    template <typename T>
    JsonObjectWriter& set(QStringView key, const T& value) {
        object_.insert(key, json::encode(value));
        return *this;
    }
    template <typename T>
    JsonObjectWriter& set(QStringView key, const std::optional<T>& value) {
        if (value) object_.insert(key, json::encode(*value));
        return *this;
    }
    QJsonObject object() const { return object_; }
    operator QJsonValue() const { return object_; }  // NOLINT: implicit by design

private:
    QJsonObject object_;
};

}  // namespace glidra
