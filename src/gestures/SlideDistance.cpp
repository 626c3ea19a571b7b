#include "gestures/SlideDistance.h"

#include <algorithm>
#include <limits>

namespace glidra {

SlideDistance SlideDistance::clamped(qint64 percent) {
    return SlideDistance{int(std::clamp<qint64>(percent, minimumPercent, maximumPercent))};
}

QJsonValue SlideDistance::toJson() const { return json::encode(percent); }

JsonResult<SlideDistance> SlideDistance::fromJson(const QJsonValue& json, const JsonPath& path) {
    auto number =
        json::decodeInteger(json, path, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    if (number) return clamped(number.value());

    // Not an integer: the only other form is one of the legacy words, and a
    // value that is neither reports why it is not a string.
    auto word = json::decodeString(json, path);
    if (!word) return Failure{word.error()};
    if (word.value() == u"short") return SlideDistance{6};
    if (word.value() == u"medium") return SlideDistance{12};
    if (word.value() == u"long") return SlideDistance{20};
    return Failure{jsonError(JsonError::Kind::dataCorrupted, path, QStringLiteral("Invalid slide distance"))};
}

}  // namespace glidra
