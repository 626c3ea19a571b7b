#include "settings/DisabledApplication.h"

#include "platform/ApplicationId.h"
#include "platform/sim/SimUserDefaults.h"
#include "settings/ConfigurationArchive.h"
#include "settings/ControlSettings.h"
#include "settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
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

// Before the program had a reverse-DNS desktop id it was "glidra.desktop":
// disabled lists and rules stored or exported then still name it so.
TEST(DisabledApplication, TheProgramsOldIdReadsAsItsDesktopId) {
    const QString own = QStringLiteral(GLIDRA_APP_ID ".desktop");
    EXPECT_EQ(ownDesktopFileId(), own);
    const auto decoded = [](const char* identifier) {
        const DisabledApplication stored{QString::fromLatin1(identifier), QStringLiteral("x")};
        return DisabledApplication::fromJson(stored.toJson(), JsonPath()).value().bundleIdentifier;
    };
    EXPECT_EQ(decoded("glidra.desktop"), own);
    EXPECT_EQ(decoded(GLIDRA_APP_ID ".desktop"), own);
    // Only the exact old id: nothing else of ours or another's changes.
    EXPECT_EQ(decoded("Glidra.desktop"), QStringLiteral("Glidra.desktop"));
    EXPECT_EQ(decoded("org.gnome.Nautilus.desktop"), QStringLiteral("org.gnome.Nautilus.desktop"));

    // Stored: the list and a rule scoped to the program load with the new id.
    GestureRule scoped;
    scoped.appBundleID = QStringLiteral("glidra.desktop");
    sim::SimUserDefaults defaults;
    defaults.preload(
        settings_key::disabledApplications,
        QJsonDocument(
            QJsonArray{DisabledApplication{QStringLiteral("glidra.desktop"), QStringLiteral("Glidra")}.toJson()})
            .toJson(QJsonDocument::Compact));
    defaults.preload(settings_key::rules, QJsonDocument(QJsonArray{scoped.toJson()}).toJson(QJsonDocument::Compact));
    const ControlSettings settings(defaults);
    ASSERT_EQ(settings.disabledApplications().size(), 1u);
    EXPECT_EQ(settings.disabledApplications().front().bundleIdentifier, own);
    EXPECT_TRUE(contains(settings.disabledApplications(), own));
    ASSERT_EQ(settings.rules().size(), 1u);
    EXPECT_EQ(settings.rules().front().appBundleID, own);

    // Imported: an exported configuration naming the old id.
    QFile file(QStringLiteral(GLIDRA_TEST_DATA_DIR "/archives/valid-all-fields.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray document = file.readAll();
    document.replace("com.apple.Terminal", "glidra.desktop");
    const auto archive = ConfigurationArchive::decode(document);
    ASSERT_TRUE(archive.ok());
    ASSERT_TRUE(archive.value().disabledApplications);
    EXPECT_EQ(archive.value().disabledApplications->front().bundleIdentifier, own);
}

}  // namespace
}  // namespace glidra
