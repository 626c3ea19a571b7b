#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"
#include "gestures/NormalizedRegionRect.h"

#include <QString>

#include <cstddef>
#include <optional>

namespace glidra {

// The nine one-click regions of the region picker: corner squares, edge
// strips and a centred square, all drawn at a size the user picks.
enum class RegionQuickPreset { topLeft, top, topRight, left, center, right, bottomLeft, bottom, bottomRight };

template <>
struct EnumTable<RegionQuickPreset> {
    struct Row {
        RegionQuickPreset value;
        const char* raw;
        const char* title;
    };
    using P = RegionQuickPreset;
    static constexpr Row cases[] = {
        {P::topLeft, "topLeft", GLIDRA_TEXT("左上方")},
        {P::top, "top", GLIDRA_TEXT("上方")},
        {P::topRight, "topRight", GLIDRA_TEXT("右上方")},
        {P::left, "left", GLIDRA_TEXT("左侧")},
        {P::center, "center", GLIDRA_TEXT("居中")},
        {P::right, "right", GLIDRA_TEXT("右侧")},
        {P::bottomLeft, "bottomLeft", GLIDRA_TEXT("左下方")},
        {P::bottom, "bottom", GLIDRA_TEXT("下方")},
        {P::bottomRight, "bottomRight", GLIDRA_TEXT("右下方")},
    };
};

QString title(RegionQuickPreset preset);

// The preset's rectangle at a size given in percent of the pad's side,
// clamped to 2...100. Corners are squares of that side, edges full-length
// strips of that depth, the centre a centred square.
NormalizedRegionRect rect(RegionQuickPreset preset, int sizePercent);

// The first preset, in case order, whose rectangle at that size equals the
// given one exactly.
std::optional<RegionQuickPreset> matchingQuickPreset(const NormalizedRegionRect& rect, int sizePercent);

// Hashes by the raw string.
size_t qHash(RegionQuickPreset preset, size_t seed = 0) noexcept;

}  // namespace glidra
