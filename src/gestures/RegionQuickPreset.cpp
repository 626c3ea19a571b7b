#include "gestures/RegionQuickPreset.h"

#include <QHashFunctions>
#include <QLatin1StringView>

#include <algorithm>

namespace glidra {

QString title(RegionQuickPreset preset) { return enumTitle(preset); }

NormalizedRegionRect rect(RegionQuickPreset preset, int sizePercent) {
    const float s = float(std::clamp(sizePercent, 2, 100)) / 100.0f;
    const float inset = (1.0f - s) / 2.0f;
    switch (preset) {
        case RegionQuickPreset::topLeft:
            return {0, 1 - s, s, 1};
        case RegionQuickPreset::top:
            return {0, 1 - s, 1, 1};
        case RegionQuickPreset::topRight:
            return {1 - s, 1 - s, 1, 1};
        case RegionQuickPreset::left:
            return {0, 0, s, 1};
        case RegionQuickPreset::center:
            return {inset, inset, 1 - inset, 1 - inset};
        case RegionQuickPreset::right:
            return {1 - s, 0, 1, 1};
        case RegionQuickPreset::bottomLeft:
            return {0, 0, s, s};
        case RegionQuickPreset::bottom:
            return {0, 0, 1, s};
        case RegionQuickPreset::bottomRight:
            return {1 - s, 0, 1, s};
    }
    return {0, 0, 1, 1};
}

std::optional<RegionQuickPreset> matchingQuickPreset(const NormalizedRegionRect& candidate, int sizePercent) {
    for (const auto& row : EnumTable<RegionQuickPreset>::cases) {
        if (rect(row.value, sizePercent) == candidate) return row.value;
    }
    return std::nullopt;
}

size_t qHash(RegionQuickPreset preset, size_t seed) noexcept {
    return qHash(QLatin1StringView(enumRow(preset).raw), seed);
}

}  // namespace glidra
