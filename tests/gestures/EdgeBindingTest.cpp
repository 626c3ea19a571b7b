#include "gestures/EdgeConfiguration.h"
#include "gestures/EdgeLocation.h"
#include "gestures/GestureBinding.h"
#include "gestures/GestureTrigger.h"
#include "gestures/SlideDistance.h"

#include "gestures/EnumCaseTable.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <optional>

namespace glidra {
namespace {

using T = GestureTrigger;
using A = GestureAction;

QJsonValue parse(const char* text) {
    // Wrapped in an array so that bare scalars parse too.
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray("[") + text + "]");
    EXPECT_TRUE(document.isArray()) << text;
    return document.array().at(0);
}

GestureBinding fullBinding() {
    GestureBinding binding;
    binding.trigger = T::bottomRightLeft;
    binding.action = A::openApplication;
    binding.slideDistance = SlideDistance{37};
    binding.shortcut = KeyboardShortcut{0x7B, 0x100000, QStringLiteral("⌘←"), std::nullopt};
    binding.parameters =
        ActionParameters{ResourceTarget{QStringLiteral("/tmp/a.txt"), QStringLiteral("a.txt"), QByteArray("bookmark")},
                         QStringLiteral("example.com"), ShortcutTarget{QStringLiteral("id-1"), QStringLiteral("Run")}};
    binding.applicationTarget = ApplicationTarget{QStringLiteral("/Applications/Notes.app"),
                                                  QStringLiteral("com.apple.Notes"), QStringLiteral("Notes")};
    return binding;
}

TEST(GestureTriggerTest, CasesTitlesAndDefaultActions) {
    test::expectEnumCases<GestureTrigger>({{"leftUp", "左边缘 ↑"},
                                           {"leftDown", "左边缘 ↓"},
                                           {"rightUp", "右边缘 ↑"},
                                           {"rightDown", "右边缘 ↓"},
                                           {"topLeft", "上边缘 ←"},
                                           {"topRight", "上边缘 →"},
                                           {"bottomLeft", "下边缘 ←"},
                                           {"bottomRight", "下边缘 →"},
                                           {"topLeftLeft", "左上角 ←"},
                                           {"topLeftRight", "左上角 →"},
                                           {"topRightLeft", "右上角 ←"},
                                           {"topRightRight", "右上角 →"},
                                           {"bottomLeftLeft", "左下角 ←"},
                                           {"bottomLeftRight", "左下角 →"},
                                           {"bottomRightLeft", "右下角 ←"},
                                           {"bottomRightRight", "右下角 →"}},
                                          [](GestureTrigger t) { return title(t); });

    // Sets of triggers (the import checks) need distinct hashes per case.
    QSet<GestureTrigger> all;
    for (const GestureTrigger trigger : enumAllCases<GestureTrigger>()) all.insert(trigger);
    EXPECT_EQ(all.size(), 16);
    EXPECT_TRUE(all.contains(T::bottomRightRight));
}

TEST(EdgeLocationTest, CasesTitlesAndTriggers) {
    test::expectEnumCases<EdgeLocation>(
        {{"left", "左边缘"}, {"right", "右边缘"}, {"top", "上边缘"}, {"bottom", "下边缘"}},
        [](EdgeLocation e) { return title(e); });

    struct Case {
        EdgeLocation edge;
        const char* axis;
        std::array<GestureTrigger, 2> triggers;
    };
    const Case cases[] = {
        {EdgeLocation::left, "上下滑动", {T::leftDown, T::leftUp}},
        {EdgeLocation::right, "上下滑动", {T::rightDown, T::rightUp}},
        {EdgeLocation::top, "左右滑动", {T::topLeft, T::topRight}},
        {EdgeLocation::bottom, "左右滑动", {T::bottomLeft, T::bottomRight}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(enumRaw(c.edge).toStdString());
        EXPECT_EQ(slideAxisTitle(c.edge), QString::fromUtf8(c.axis));
        EXPECT_EQ(triggers(c.edge), c.triggers);
        for (const GestureTrigger trigger : c.triggers) EXPECT_EQ(edgeLocation(trigger), c.edge);
    }
}

TEST(EdgeLocationTest, CornerTriggersBelongToNoEdge) {
    const auto all = enumAllCases<GestureTrigger>();
    for (size_t i = 8; i < all.size(); ++i)
        EXPECT_EQ(edgeLocation(all[i]), std::nullopt) << enumRaw(all[i]).toStdString();
}

TEST(SlideDistanceTest, DecodesIntegersClampedAndLegacyWords) {
    struct Case {
        const char* json;
        int percent;
    };
    const Case cases[] = {
        {"37", 37},   {"1", 1},      {"100", 100}, {"0", 1},         {"-5", 1},          {"250", 100},
        {"12.0", 12}, {"1e15", 100}, {"-1e15", 1}, {"\"short\"", 6}, {"\"medium\"", 12}, {"\"long\"", 20},
    };
    for (const auto& c : cases) {
        auto decoded = SlideDistance::fromJson(parse(c.json), JsonPath());
        ASSERT_TRUE(decoded.ok()) << c.json;
        EXPECT_EQ(decoded->percent, c.percent) << c.json;
    }
}

TEST(SlideDistanceTest, RefusesOtherValues) {
    struct Case {
        const char* json;
        JsonError::Kind kind;
    };
    // A word that is not one of the three is corrupted data; a value that is
    // neither integer nor string fails as "not a string".
    const Case cases[] = {
        {"\"Medium\"", JsonError::Kind::dataCorrupted},
        {"\"LONG\"", JsonError::Kind::dataCorrupted},
        {"\"12\"", JsonError::Kind::dataCorrupted},
        {"\"\"", JsonError::Kind::dataCorrupted},
        {"\"huge\"", JsonError::Kind::dataCorrupted},
        {"true", JsonError::Kind::typeMismatch},
        {"12.5", JsonError::Kind::typeMismatch},
        {"1e300", JsonError::Kind::typeMismatch},
        {"null", JsonError::Kind::typeMismatch},
        {"[12]", JsonError::Kind::typeMismatch},
        {"{\"percent\": 12}", JsonError::Kind::typeMismatch},
    };
    for (const auto& c : cases) {
        auto decoded = SlideDistance::fromJson(parse(c.json), JsonPath(QStringLiteral("slideDistance")));
        ASSERT_FALSE(decoded.ok()) << c.json;
        EXPECT_EQ(decoded.error().kind, c.kind) << c.json;
        EXPECT_EQ(decoded.error().path, u"slideDistance") << c.json;
        if (c.kind == JsonError::Kind::dataCorrupted) {
            EXPECT_EQ(decoded.error().message, u"Invalid slide distance") << c.json;
        }
    }
}

TEST(SlideDistanceTest, EncodesTheBarePercent) {
    EXPECT_EQ(SlideDistance{37}.toJson(), QJsonValue(37));
    // A legacy word is written back as its number.
    auto word = SlideDistance::fromJson(QJsonValue(QStringLiteral("long")), JsonPath());
    ASSERT_TRUE(word.ok());
    EXPECT_EQ(word->toJson(), QJsonValue(20));
}

TEST(GestureBindingTest, DefaultBindingsCoverEveryTriggerInOrder) {
    const A expected[] = {A::brightnessUp,  A::brightnessDown, A::volumeUp,    A::volumeDown,
                          A::previousTrack, A::nextTrack,      A::previousTab, A::nextTab,
                          A::none,          A::none,           A::none,        A::none,
                          A::none,          A::none,           A::none,        A::none};
    const auto bindings = GestureBinding::defaultBindings();
    const auto triggers = enumAllCases<GestureTrigger>();
    ASSERT_EQ(bindings.size(), 16u);
    for (size_t i = 0; i < bindings.size(); ++i) {
        SCOPED_TRACE(i);
        GestureBinding plain;
        plain.trigger = triggers[i];
        plain.action = expected[i];
        EXPECT_EQ(bindings[i], plain);  // no distance, shortcut, parameters or target
        EXPECT_EQ(defaultAction(triggers[i]), expected[i]);
    }
}

TEST(GestureBindingTest, ResolvedParametersFallBackToEmpty) {
    GestureBinding binding;
    EXPECT_EQ(binding.resolvedParameters(), ActionParameters{});
    binding.parameters = ActionParameters{std::nullopt, QStringLiteral("example.com"), std::nullopt};
    EXPECT_EQ(binding.resolvedParameters().website, QStringLiteral("example.com"));
}

TEST(GestureBindingTest, JsonRoundTrips) {
    const GestureBinding full = fullBinding();
    const QJsonObject encoded = full.toJson().toObject();
    EXPECT_EQ(encoded.value(u"trigger"), QJsonValue(QStringLiteral("bottomRightLeft")));
    EXPECT_EQ(encoded.value(u"action"), QJsonValue(QStringLiteral("openApplication")));
    EXPECT_EQ(encoded.value(u"slideDistance"), QJsonValue(37));
    auto back = GestureBinding::fromJson(encoded, JsonPath());
    ASSERT_TRUE(back.ok()) << back.error().describe().toStdString();
    EXPECT_EQ(back.value(), full);

    // Absent optionals leave no key behind, and come back absent.
    GestureBinding plain;
    plain.trigger = T::topLeft;
    plain.action = A::none;
    const QJsonObject bare = plain.toJson().toObject();
    EXPECT_EQ(bare.keys(), (QStringList{QStringLiteral("action"), QStringLiteral("trigger")}));
    auto plainBack = GestureBinding::fromJson(bare, JsonPath());
    ASSERT_TRUE(plainBack.ok());
    EXPECT_EQ(plainBack.value(), plain);
}

TEST(GestureBindingTest, NullOptionalsReadAsAbsentAndUnknownKeysAreIgnored) {
    auto decoded = GestureBinding::fromJson(
        parse(R"({"trigger": "leftUp", "action": "volumeUp", "slideDistance": null, "shortcut": null,
                  "parameters": null, "applicationTarget": null, "isEnabled": true})"),
        JsonPath());
    ASSERT_TRUE(decoded.ok()) << decoded.error().describe().toStdString();
    GestureBinding expected;
    expected.trigger = T::leftUp;
    expected.action = A::volumeUp;
    EXPECT_EQ(decoded.value(), expected);

    auto legacy = GestureBinding::fromJson(
        parse(R"({"trigger": "leftUp", "action": "none", "slideDistance": "short"})"), JsonPath());
    ASSERT_TRUE(legacy.ok());
    EXPECT_EQ(legacy->slideDistance, SlideDistance{6});
}

TEST(GestureBindingTest, DecodingFailuresNameTheKey) {
    struct Case {
        const char* json;
        JsonError::Kind kind;
        const char* path;
    };
    const Case cases[] = {
        {R"({"action": "none"})", JsonError::Kind::missingKey, "bindings[2].trigger"},
        {R"({"trigger": "leftUp"})", JsonError::Kind::missingKey, "bindings[2].action"},
        {R"({"trigger": null, "action": "none"})", JsonError::Kind::missingKey, "bindings[2].trigger"},
        {R"({"trigger": "leftSide", "action": "none"})", JsonError::Kind::dataCorrupted, "bindings[2].trigger"},
        {R"({"trigger": "LeftUp", "action": "none"})", JsonError::Kind::dataCorrupted, "bindings[2].trigger"},
        {R"({"trigger": "leftUp", "action": "fly"})", JsonError::Kind::dataCorrupted, "bindings[2].action"},
        {R"({"trigger": 0, "action": "none"})", JsonError::Kind::typeMismatch, "bindings[2].trigger"},
        {R"({"trigger": "leftUp", "action": "none", "slideDistance": "far"})", JsonError::Kind::dataCorrupted,
         "bindings[2].slideDistance"},
        {R"({"trigger": "leftUp", "action": "none", "applicationTarget": {"name": "Notes"}})",
         JsonError::Kind::missingKey, "bindings[2].applicationTarget.path"},
        {R"(["leftUp", "none"])", JsonError::Kind::typeMismatch, "bindings[2]"},
    };
    const JsonPath path = JsonPath(QStringLiteral("bindings")).index(2);
    for (const auto& c : cases) {
        auto decoded = GestureBinding::fromJson(parse(c.json), path);
        ASSERT_FALSE(decoded.ok()) << c.json;
        EXPECT_EQ(decoded.error().kind, c.kind) << c.json;
        EXPECT_EQ(decoded.error().path, QString::fromUtf8(c.path)) << c.json;
    }
    auto bad = GestureBinding::fromJson(parse(R"({"trigger": "leftUp", "action": "none", "slideDistance": "far"})"),
                                        JsonPath());
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().message, u"Invalid slide distance");
}

TEST(EdgeConfigurationTest, JsonRoundTrips) {
    const EdgeConfiguration merged{false, EdgeControlMode::volume, std::nullopt};
    const QJsonObject encoded = merged.toJson().toObject();
    EXPECT_EQ(encoded, (QJsonObject{{QStringLiteral("isSplit"), false},
                                    {QStringLiteral("mergedMode"), QStringLiteral("volume")}}));
    auto back = EdgeConfiguration::fromJson(encoded, JsonPath());
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.value(), merged);

    GestureBinding down;
    down.trigger = T::rightDown;
    down.action = A::customShortcut;
    down.shortcut = KeyboardShortcut{0x31, 0x100000, QStringLiteral("⌘Space"), std::nullopt};
    const EdgeConfiguration split{true, EdgeControlMode::custom, std::vector<GestureBinding>{down, fullBinding()}};
    const QJsonObject splitJson = split.toJson().toObject();
    EXPECT_EQ(splitJson.value(u"isSplit"), QJsonValue(true));
    EXPECT_EQ(splitJson.value(u"splitBindings").toArray().size(), 2);
    auto splitBack = EdgeConfiguration::fromJson(splitJson, JsonPath());
    ASSERT_TRUE(splitBack.ok()) << splitBack.error().describe().toStdString();
    EXPECT_EQ(splitBack.value(), split);

    // An empty list is kept apart from an absent one.
    const EdgeConfiguration empty{true, EdgeControlMode::tabs, std::vector<GestureBinding>{}};
    auto emptyBack = EdgeConfiguration::fromJson(empty.toJson(), JsonPath());
    ASSERT_TRUE(emptyBack.ok());
    EXPECT_EQ(emptyBack.value(), empty);

    auto nullList = EdgeConfiguration::fromJson(
        parse(R"({"isSplit": true, "mergedMode": "music", "splitBindings": null})"), JsonPath());
    ASSERT_TRUE(nullList.ok());
    EXPECT_EQ(nullList.value(), (EdgeConfiguration{true, EdgeControlMode::music, std::nullopt}));
}

TEST(EdgeConfigurationTest, DecodingFailuresNameTheKey) {
    struct Case {
        const char* json;
        JsonError::Kind kind;
        const char* path;
    };
    const Case cases[] = {
        {R"({"mergedMode": "volume"})", JsonError::Kind::missingKey, "left.isSplit"},
        {R"({"isSplit": false})", JsonError::Kind::missingKey, "left.mergedMode"},
        {R"({"isSplit": "true", "mergedMode": "volume"})", JsonError::Kind::typeMismatch, "left.isSplit"},
        {R"({"isSplit": 1, "mergedMode": "volume"})", JsonError::Kind::typeMismatch, "left.isSplit"},
        {R"({"isSplit": false, "mergedMode": "loud"})", JsonError::Kind::dataCorrupted, "left.mergedMode"},
        {R"({"isSplit": true, "mergedMode": "custom", "splitBindings": {}})", JsonError::Kind::typeMismatch,
         "left.splitBindings"},
        {R"({"isSplit": true, "mergedMode": "custom", "splitBindings": [{"trigger": "leftUp", "action": "none"},
            {"action": "none"}]})",
         JsonError::Kind::missingKey, "left.splitBindings[1].trigger"},
        {R"("left")", JsonError::Kind::typeMismatch, "left"},
    };
    for (const auto& c : cases) {
        auto decoded = EdgeConfiguration::fromJson(parse(c.json), JsonPath(QStringLiteral("left")));
        ASSERT_FALSE(decoded.ok()) << c.json;
        EXPECT_EQ(decoded.error().kind, c.kind) << c.json;
        EXPECT_EQ(decoded.error().path, QString::fromUtf8(c.path)) << c.json;
    }
}

}  // namespace
}  // namespace glidra
