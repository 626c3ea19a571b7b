#pragma once

#include "common/EnumTable.h"
#include "common/Json.h"

#include <gtest/gtest.h>

#include <QString>

#include <initializer_list>
#include <vector>

namespace glidra::test {

struct ExpectedCase {
    const char* raw;
    const char* title;
};

// Checks an enumeration's cases in declaration order: raw strings, titles (when
// given) and the JSON string round trip, and that an unknown string is refused
// as corrupted data.
template <TabledEnum E, typename TitleFn>
void expectEnumCases(std::initializer_list<ExpectedCase> expected, TitleFn title) {
    const std::vector<E> all = enumAllCases<E>();
    ASSERT_EQ(all.size(), expected.size());
    auto it = expected.begin();
    for (const E value : all) {
        const QString raw = QString::fromUtf8(it->raw);
        EXPECT_EQ(json::encode(value), QJsonValue(raw));
        auto back = json::decode<E>(QJsonValue(raw), JsonPath());
        ASSERT_TRUE(back.ok()) << it->raw;
        EXPECT_EQ(back.value(), value) << it->raw;
        if (it->title) {
            EXPECT_EQ(title(value), QString::fromUtf8(it->title)) << it->raw;
        }
        ++it;
    }
    for (const char* bad : {"Tap", "unknown", ""}) {
        auto result = json::decode<E>(QJsonValue(QString::fromUtf8(bad)), JsonPath(QStringLiteral("e")));
        ASSERT_FALSE(result.ok()) << bad;
        EXPECT_EQ(result.error().kind, JsonError::Kind::dataCorrupted);
    }
    EXPECT_FALSE((json::decode<E>(QJsonValue(1), JsonPath()).ok()));
}

}  // namespace glidra::test
