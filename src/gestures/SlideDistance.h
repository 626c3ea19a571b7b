#pragma once

#include "common/Json.h"

namespace glidra {

// How far, in percent of the trackpad's side, an edge slide must travel
// before a bound action that is not continuous runs.
struct SlideDistance {
    // What edge routing applies when a binding carries no distance.
    static constexpr int defaultPercent = 12;
    static constexpr int minimumPercent = 1;
    static constexpr int maximumPercent = 100;

    int percent = defaultPercent;

    // The percent brought into 1...100.
    static SlideDistance clamped(qint64 percent);

    // Written as a bare integer. Read from an integer, clamped rather than
    // refused, or from the words "short", "medium" and "long" that older
    // settings stored.
    QJsonValue toJson() const;
    static JsonResult<SlideDistance> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const SlideDistance&, const SlideDistance&) = default;
};

}  // namespace glidra
