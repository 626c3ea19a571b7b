#include "settings/DisabledApplication.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <vector>

namespace glidra {
namespace {

TEST(DisabledApplication, CodesBothKeysAndRequiresThem) {
    const DisabledApplication application{QStringLiteral("com.example.Game"), QStringLiteral("Game")};
    const QJsonValue json = application.toJson();
    EXPECT_EQ(json.toObject().value(u"bundleIdentifier").toString(), QStringLiteral("com.example.Game"));
    EXPECT_EQ(json.toObject().value(u"name").toString(), QStringLiteral("Game"));
    auto decoded = DisabledApplication::fromJson(json, JsonPath());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value(), application);

    const auto missingName =
        DisabledApplication::fromJson(QJsonDocument::fromJson(R"({"bundleIdentifier":"a"})").object(), JsonPath());
    ASSERT_FALSE(missingName.ok());
    EXPECT_EQ(missingName.error().path, QStringLiteral("name"));
    EXPECT_FALSE(DisabledApplication::fromJson(QJsonDocument::fromJson(R"({"bundleIdentifier":1,"name":"x"})").object(),
                                               JsonPath())
                     .ok());
}

TEST(DisabledApplication, ContainsMatchesTheBundleIdentifierExactly) {
    const std::vector<DisabledApplication> list{
        {QString(), QStringLiteral("Nameless")},
        {QStringLiteral("com.example.Game"), QStringLiteral("Game")},
    };
    struct Case {
        std::optional<QString> identifier;
        bool expected;
    };
    const Case cases[] = {
        {std::nullopt, false},
        {QString(), false},  // even though an entry's identifier is empty too
        {QStringLiteral(""), false},
        {QStringLiteral("com.example.Game"), true},
        {QStringLiteral("com.example.game"), false},
        {QStringLiteral("com.example.Game "), false},
        {QStringLiteral("Game"), false},  // the name is never compared
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identifier.value_or(QStringLiteral("<absent>")).toStdString());
        EXPECT_EQ(contains(list, c.identifier), c.expected);
    }
    EXPECT_FALSE(contains(std::vector<DisabledApplication>{}, QStringLiteral("com.example.Game")));
}

}  // namespace
}  // namespace glidra
