#pragma once

#include "common/Localized.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cassert>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

namespace glidra {

// One table per enumeration: specialise EnumTable<E> with a constexpr array
// `cases` of rows in declaration order. Each row has at least `value` (the
// enumerator) and `raw` (the persisted string, a const char*); rows may carry
// `title` (the Chinese source text) and whatever else the type needs.
//
//   template <> struct EnumTable<HUDPosition> {
//       struct Row { HUDPosition value; const char* raw; const char* title; };
//       static constexpr Row cases[] = {{HUDPosition::top, "top", "上"}, ...};
//   };
template <typename E>
struct EnumTable;

template <typename E>
concept TabledEnum = std::is_enum_v<E> && requires {
    EnumTable<E>::cases[0].raw;
};

template <TabledEnum E>
constexpr auto enumRows() {
    return std::span(EnumTable<E>::cases);
}

template <TabledEnum E>
constexpr const auto& enumRow(E value) {
    const auto rows = enumRows<E>();
    const auto row = std::find_if(rows.begin(), rows.end(), [value](const auto& r) { return r.value == value; });
    assert(row != rows.end());
    return *row;
}

template <TabledEnum E>
std::vector<E> enumAllCases() {
    std::vector<E> all;
    all.reserve(enumRows<E>().size());
    for (const auto& row : enumRows<E>()) all.push_back(row.value);
    return all;
}

template <TabledEnum E>
QString enumRaw(E value) {
    return QString::fromLatin1(enumRow(value).raw);
}

// Exact, case-sensitive lookup of a persisted string.
template <TabledEnum E>
std::optional<E> enumFromRaw(QStringView raw) {
    for (const auto& row : enumRows<E>()) {
        if (raw == QLatin1StringView(row.raw)) return row.value;
    }
    return std::nullopt;
}

template <TabledEnum E>
requires requires { EnumTable<E>::cases[0].title; }
QString enumTitle(E value) { return localized(enumRow(value).title); }

}  // namespace glidra
