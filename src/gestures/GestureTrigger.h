#pragma once

#include "actions/GestureAction.h"
#include "common/EnumTable.h"
#include "common/Localized.h"

#include <QString>

#include <cstddef>

namespace glidra {

// The 16 edge slides an action can be bound to. The first eight run along a
// whole edge and are what the live edge routing reports; the eight corner
// triggers are kept in the stored binding list but never routed. Trackpad
// coordinates grow upward and to the right.
enum class GestureTrigger {
    leftUp,
    leftDown,
    rightUp,
    rightDown,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
    topLeftLeft,
    topLeftRight,
    topRightLeft,
    topRightRight,
    bottomLeftLeft,
    bottomLeftRight,
    bottomRightLeft,
    bottomRightRight,
};

template <>
struct EnumTable<GestureTrigger> {
    struct Row {
        GestureTrigger value;
        const char* raw;
        const char* title;
        GestureAction defaultAction;
    };
    using T = GestureTrigger;
    using A = GestureAction;
    static constexpr Row cases[] = {
        {T::leftUp, "leftUp", GLIDRA_TEXT("左边缘 ↑"), A::brightnessUp},
        {T::leftDown, "leftDown", GLIDRA_TEXT("左边缘 ↓"), A::brightnessDown},
        {T::rightUp, "rightUp", GLIDRA_TEXT("右边缘 ↑"), A::volumeUp},
        {T::rightDown, "rightDown", GLIDRA_TEXT("右边缘 ↓"), A::volumeDown},
        {T::topLeft, "topLeft", GLIDRA_TEXT("上边缘 ←"), A::previousTrack},
        {T::topRight, "topRight", GLIDRA_TEXT("上边缘 →"), A::nextTrack},
        {T::bottomLeft, "bottomLeft", GLIDRA_TEXT("下边缘 ←"), A::previousTab},
        {T::bottomRight, "bottomRight", GLIDRA_TEXT("下边缘 →"), A::nextTab},
        {T::topLeftLeft, "topLeftLeft", GLIDRA_TEXT("左上角 ←"), A::none},
        {T::topLeftRight, "topLeftRight", GLIDRA_TEXT("左上角 →"), A::none},
        {T::topRightLeft, "topRightLeft", GLIDRA_TEXT("右上角 ←"), A::none},
        {T::topRightRight, "topRightRight", GLIDRA_TEXT("右上角 →"), A::none},
        {T::bottomLeftLeft, "bottomLeftLeft", GLIDRA_TEXT("左下角 ←"), A::none},
        {T::bottomLeftRight, "bottomLeftRight", GLIDRA_TEXT("左下角 →"), A::none},
        {T::bottomRightLeft, "bottomRightLeft", GLIDRA_TEXT("右下角 ←"), A::none},
        {T::bottomRightRight, "bottomRightRight", GLIDRA_TEXT("右下角 →"), A::none},
    };
};

// The edge or corner name and an arrow, "左边缘 ↑".
QString title(GestureTrigger trigger);

// What a fresh configuration binds to the trigger.
GestureAction defaultAction(GestureTrigger trigger);

// Hashes by the raw string, so sets of triggers match the stored form.
size_t qHash(GestureTrigger trigger, size_t seed = 0) noexcept;

}  // namespace glidra
