#include "common/Json.h"

#include "support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include <limits>
#include <optional>

namespace glidra {
namespace {

QJsonValue parse(const char* text) { return QJsonDocument::fromJson(QByteArray("[") + text + "]").array().at(0); }

TEST(JsonTest, FloatsAreWrittenInTheirShortestForm) {
    const QJsonObject object = JsonObjectWriter().set(u"x", 0.4f).set(u"y", 0.1f).object();
    EXPECT_EQ(QJsonDocument(object).toJson(QJsonDocument::Compact), QByteArray(R"({"x":0.4,"y":0.1})"));
    auto back = json::decode<float>(object.value(u"x"), JsonPath());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value(), 0.4f);
}

TEST(JsonTest, FloatsAreWrittenAlikeInADecimalCommaLocale) {
    test::DecimalCommaLocale locale;
    if (!locale.isActive()) GTEST_SKIP() << locale.unavailableReason().toStdString();
    const QJsonObject object = JsonObjectWriter().set(u"x", 0.25f).set(u"y", 0.4f).set(u"z", -1.5e-7f).object();
    EXPECT_EQ(QJsonDocument(object).toJson(QJsonDocument::Compact), QByteArray(R"({"x":0.25,"y":0.4,"z":-1.5e-07})"));
    EXPECT_EQ(json::decode<float>(object.value(u"y"), JsonPath()).value(), 0.4f);
}

TEST(JsonTest, IntegersAreStrict) {
    struct Case {
        const char* json;
        bool ok;
        JsonError::Kind kind;
    };
    const Case cases[] = {
        {"3", true, {}},
        {"-2", true, {}},
        {"3.5", false, JsonError::Kind::dataCorrupted},
        {"true", false, JsonError::Kind::typeMismatch},
        {"\"3\"", false, JsonError::Kind::typeMismatch},
        {"70000", false, JsonError::Kind::outOfRange},
        {"1e300", false, JsonError::Kind::outOfRange},
    };
    for (const auto& c : cases) {
        auto result = json::decode<qint16>(parse(c.json), JsonPath(QStringLiteral("n")));
        EXPECT_EQ(result.ok(), c.ok) << c.json;
        if (!c.ok && !result.ok()) {
            EXPECT_EQ(result.error().kind, c.kind) << c.json;
            EXPECT_EQ(result.error().path, QStringLiteral("n"));
        }
    }
}

TEST(JsonTest, SixtyFourBitIntegersKeepTheirWholeRange) {
    struct Case {
        const char* json;
        std::optional<qint64> value;
    };
    const Case cases[] = {
        {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min()},
        {"9007199254740993", 9007199254740993},  // not exact as a double
        {"9223372036854775808", std::nullopt},
        {"1e19", std::nullopt},
        {"4.0", 4},
    };
    for (const auto& c : cases) {
        auto result = json::decode<qint64>(parse(c.json), JsonPath());
        ASSERT_EQ(result.ok(), c.value.has_value()) << c.json;
        if (c.value) {
            EXPECT_EQ(result.value(), *c.value) << c.json;
        } else {
            EXPECT_EQ(result.error().kind, JsonError::Kind::outOfRange) << c.json;
        }
    }
}

TEST(JsonTest, UuidsAreWrittenUpperCaseAndReadInAnyCase) {
    const QUuid uuid = QUuid::fromString(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301"));
    EXPECT_EQ(json::encode(uuid).toString(), QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301"));
    EXPECT_EQ(json::decode<QUuid>(QJsonValue(QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301")), {}).value(),
              uuid);
    EXPECT_FALSE(json::decode<QUuid>(QJsonValue(QStringLiteral("not-a-uuid")), {}).ok());
    EXPECT_TRUE(json::decode<QUuid>(QJsonValue(QStringLiteral("00000000-0000-0000-0000-000000000000")), {}).ok());
    EXPECT_FALSE(json::decode<QUuid>(QJsonValue(QStringLiteral("00000000-0000-0000-0000-00000000000g")), {}).ok());
    EXPECT_FALSE(json::decode<QUuid>(QJsonValue(QStringLiteral("{3f2504e0-4f89-11d3-9a0c-0305e82c3301}")), {}).ok());
}

TEST(JsonTest, DataIsBase64) {
    const QByteArray data("\x00\x01\xfe", 3);
    EXPECT_EQ(json::encode(data).toString(), QStringLiteral("AAH+"));
    EXPECT_EQ(json::decode<QByteArray>(QJsonValue(QStringLiteral("AAH+")), {}).value(), data);
    EXPECT_FALSE(json::decode<QByteArray>(QJsonValue(QStringLiteral("**")), {}).ok());
}

TEST(JsonTest, ReaderTreatsNullAsAbsentAndKeepsTheFirstErrorWithItsPath) {
    JsonObjectReader in(parse(R"({"a": null, "b": "x", "c": 1})"), JsonPath(QStringLiteral("rules[2]")));
    EXPECT_EQ(in.optional<QString>(u"a"), std::nullopt);
    EXPECT_FALSE(in.failed());
    in.required<qint64>(u"b");
    in.required<qint64>(u"missing");
    ASSERT_TRUE(in.failed());
    EXPECT_EQ(in.error().path, QStringLiteral("rules[2].b"));
    EXPECT_EQ(in.error().kind, JsonError::Kind::typeMismatch);

    JsonObjectReader missing(parse(R"({})"), JsonPath());
    missing.required<QString>(u"name");
    EXPECT_EQ(missing.error().kind, JsonError::Kind::missingKey);
    EXPECT_EQ(missing.error().path, QStringLiteral("name"));

    JsonObjectReader notAnObject(parse("[1]"), JsonPath());
    EXPECT_TRUE(notAnObject.failed());
}

TEST(JsonTest, VectorsReportTheIndexOfTheBadElement) {
    auto result = json::decode<std::vector<bool>>(parse("[true, false, 3]"), JsonPath(QStringLiteral("list")));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().path, QStringLiteral("list[2]"));
}

}  // namespace
}  // namespace glidra
