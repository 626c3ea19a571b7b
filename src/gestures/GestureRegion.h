#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"
#include "gestures/NormalizedRegionRect.h"

#include <QString>

#include <cstddef>

namespace glidra {

// The preset trigger regions of a rule. The nine regions other than anywhere
// and custom tile the pad: four corner squares of the edge width, four edge
// bands between them, and the centre.
enum class GestureRegion {
    anywhere,
    center,
    left,
    right,
    top,
    bottom,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
    custom,
};

template <>
struct EnumTable<GestureRegion> {
    struct Row {
        GestureRegion value;
        const char* raw;
        const char* title;
    };
    using R = GestureRegion;
    static constexpr Row cases[] = {
        {R::anywhere, "anywhere", GLIDRA_TEXT("全触控板")},
        {R::center, "center", GLIDRA_TEXT("中间区域")},
        {R::left, "left", GLIDRA_TEXT("左边缘")},
        {R::right, "right", GLIDRA_TEXT("右边缘")},
        {R::top, "top", GLIDRA_TEXT("上边缘")},
        {R::bottom, "bottom", GLIDRA_TEXT("下边缘")},
        {R::topLeft, "topLeft", GLIDRA_TEXT("左上角")},
        {R::topRight, "topRight", GLIDRA_TEXT("右上角")},
        {R::bottomLeft, "bottomLeft", GLIDRA_TEXT("左下角")},
        {R::bottomRight, "bottomRight", GLIDRA_TEXT("右下角")},
        {R::custom, "custom", GLIDRA_TEXT("自定义区域")},
    };
};

QString title(GestureRegion region);

// The region's rectangle for an edge width, which is clamped to 0.02...0.3
// (NaN counts as 0.02). custom gives the whole pad: its rectangles come from
// the rule instead.
NormalizedRegionRect rect(GestureRegion region, float edgeWidth);

// Hashes by the raw string.
size_t qHash(GestureRegion region, size_t seed = 0) noexcept;

}  // namespace glidra
