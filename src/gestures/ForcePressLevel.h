#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"

#include <QString>

#include <cstddef>

namespace glidra {

// How hard a force press must be; a user setting.
enum class ForcePressLevel { light, standard, firm };

template <>
struct EnumTable<ForcePressLevel> {
    struct Row {
        ForcePressLevel value;
        const char* raw;
        const char* title;
        float pressureThreshold;  // raw driver pressure units
    };
    static constexpr Row cases[] = {
        {ForcePressLevel::light, "light", GLIDRA_TEXT("较轻"), 200.0f},
        {ForcePressLevel::standard, "standard", GLIDRA_TEXT("标准"), 350.0f},
        {ForcePressLevel::firm, "firm", GLIDRA_TEXT("较重"), 550.0f},
    };
};

// The contact pressure, in raw driver units, that counts as a force press.
float pressureThreshold(ForcePressLevel level);

QString title(ForcePressLevel level);

// Hashes by the raw string, like the persisted form.
size_t qHash(ForcePressLevel level, size_t seed = 0) noexcept;

}  // namespace glidra
