#pragma once

#include "common/Json.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <span>

namespace glidra {

// A rectangle of the trackpad in normalised coordinates (0...1, origin at the
// bottom-left corner, y growing upward). A custom trigger region is a list of
// these, meaning their common intersection.
struct NormalizedRegionRect {
    float minX = 0;
    float minY = 0;
    float maxX = 0;
    float maxY = 0;

    // Exact float comparison, so -0 equals 0 and NaN equals nothing.
    friend bool operator==(const NormalizedRegionRect&, const NormalizedRegionRect&) = default;

    // Inside the pad and at least 0.02 wide and high (single precision, with a
    // little slack so that a rectangle of exactly 0.02 passes).
    bool isValid() const;

    // The common area of all rectangles: none for an empty list, for a list
    // holding an invalid rectangle, or when the overlap is too thin to be valid.
    static std::optional<NormalizedRegionRect> intersection(std::span<const NormalizedRegionRect> rects);

    // "左上方 25%" when the rectangle equals a quick preset at 25, 50 or 75
    // percent (the sizes the region picker offers); none otherwise.
    static std::optional<QString> presetTitle(const std::optional<NormalizedRegionRect>& rect);

    // The name of a custom region list in the rule list and editor.
    static QString listTitle(std::span<const NormalizedRegionRect> rects);

    // Not validated on decoding: users of a rectangle test isValid.
    QJsonValue toJson() const;
    static JsonResult<NormalizedRegionRect> fromJson(const QJsonValue& json, const JsonPath& path);
};

// Combines the four values in field order; -0 hashes like 0, as it compares.
size_t qHash(const NormalizedRegionRect& rect, size_t seed = 0) noexcept;

}  // namespace glidra

template <>
struct std::hash<glidra::NormalizedRegionRect> {
    size_t operator()(const glidra::NormalizedRegionRect& rect) const noexcept { return glidra::qHash(rect); }
};
