#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"
#include "gestures/GestureTrigger.h"

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

namespace glidra {

// The four trackpad edges. The raw values also key the stored per-edge
// configurations.
enum class EdgeLocation { left, right, top, bottom };

template <>
struct EnumTable<EdgeLocation> {
    struct Row {
        EdgeLocation value;
        const char* raw;
        const char* title;
        const char* slideAxisTitle;
        // The slide toward lower coordinates (down or left) comes first, so
        // it pairs with the first action of a preset mode.
        GestureTrigger lowerTrigger;
        GestureTrigger higherTrigger;
    };
    using E = EdgeLocation;
    using T = GestureTrigger;
    static constexpr Row cases[] = {
        {E::left, "left", GLIDRA_TEXT("左边缘"), GLIDRA_TEXT("上下滑动"), T::leftDown, T::leftUp},
        {E::right, "right", GLIDRA_TEXT("右边缘"), GLIDRA_TEXT("上下滑动"), T::rightDown, T::rightUp},
        {E::top, "top", GLIDRA_TEXT("上边缘"), GLIDRA_TEXT("左右滑动"), T::topLeft, T::topRight},
        {E::bottom, "bottom", GLIDRA_TEXT("下边缘"), GLIDRA_TEXT("左右滑动"), T::bottomLeft, T::bottomRight},
    };
};

QString title(EdgeLocation edge);
// Which way a slide along the edge runs: "上下滑动" or "左右滑动".
QString slideAxisTitle(EdgeLocation edge);

// The edge's two triggers: the slide down or left, then the slide up or right.
std::array<GestureTrigger, 2> triggers(EdgeLocation edge);

// The edge whose triggers include this one; nothing for the corner triggers,
// which belong to no edge.
std::optional<EdgeLocation> edgeLocation(GestureTrigger trigger);

// Hashes by the raw string.
size_t qHash(EdgeLocation edge, size_t seed = 0) noexcept;

}  // namespace glidra
