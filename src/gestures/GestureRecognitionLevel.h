#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"

#include <QString>

#include <cstddef>

namespace glidra {

// How far fingers must travel before the multi-touch recognizer sees motion
// and a swipe; a user setting.
enum class GestureRecognitionLevel { relaxed, standard, deliberate };

template <>
struct EnumTable<GestureRecognitionLevel> {
    struct Row {
        GestureRecognitionLevel value;
        const char* raw;
        const char* title;
        float travelThreshold;  // normalised trackpad units
        float swipeDistance;    // normalised trackpad units
    };
    static constexpr Row cases[] = {
        {GestureRecognitionLevel::relaxed, "relaxed", GLIDRA_TEXT("灵敏"), 0.035f, 0.11f},
        {GestureRecognitionLevel::standard, "standard", GLIDRA_TEXT("标准"), 0.025f, 0.14f},
        {GestureRecognitionLevel::deliberate, "deliberate", GLIDRA_TEXT("稳健"), 0.015f, 0.2f},
    };
};

// Travel beyond which a contact session counts as moving (no longer a tap).
float travelThreshold(GestureRecognitionLevel level);
// Net travel that makes a swipe.
float swipeDistance(GestureRecognitionLevel level);
// The factor that scales the recognizer's shape distances with the level:
// swipeDistance / 0.14, so 1 for standard.
float swipeScale(GestureRecognitionLevel level);

QString title(GestureRecognitionLevel level);

// Hashes by the raw string, like the persisted form.
size_t qHash(GestureRecognitionLevel level, size_t seed = 0) noexcept;

}  // namespace glidra
