#include "actions/ApplicationTarget.h"

#include "platform/sim/SimWorkspace.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace glidra {
namespace {

TEST(ApplicationTargetTest, FromUrlTakesLoadableApplicationsOnly) {
    sim::SimWorkspace workspace;
    const auto add = [&](const char* path, std::optional<QString> id, const char* displayName) {
        workspace.addBundle(QString::fromUtf8(path), {std::move(id), QString::fromUtf8(displayName)});
    };
    add("/Applications/Safari.app", QStringLiteral("com.apple.Safari"), "Safari.app");
    add("/Applications/Web.apprentice.app", QStringLiteral("com.example.web"), "Web.apprentice.app");
    add("/Applications/LOUD.APP", std::nullopt, "LOUD.APP");
    add("/Applications/Twice.app", std::nullopt, "Twice.app.app");
    add("/Applications/Plain.app", std::nullopt, "Plain");
    add("/Applications/Folder", QStringLiteral("com.example.folder"), "Folder");
    add("/usr/share/applications/org.gnome.Calculator.desktop", QStringLiteral("org.gnome.Calculator.desktop"),
        "Calculator");

    struct Case {
        const char* url;
        std::optional<ApplicationTarget> target;
    };
    const Case cases[] = {
        {"file:///Applications/Safari.app",
         ApplicationTarget{QStringLiteral("/Applications/Safari.app"), QStringLiteral("com.apple.Safari"),
                           QStringLiteral("Safari")}},
        // A picked bundle folder may carry a trailing slash.
        {"file:///Applications/Safari.app/",
         ApplicationTarget{QStringLiteral("/Applications/Safari.app"), QStringLiteral("com.apple.Safari"),
                           QStringLiteral("Safari")}},
        // Only the trailing extension goes, not every ".app" inside the name.
        {"file:///Applications/Web.apprentice.app",
         ApplicationTarget{QStringLiteral("/Applications/Web.apprentice.app"), QStringLiteral("com.example.web"),
                           QStringLiteral("Web.apprentice")}},
        {"file:///Applications/LOUD.APP",
         ApplicationTarget{QStringLiteral("/Applications/LOUD.APP"), std::nullopt, QStringLiteral("LOUD")}},
        {"file:///Applications/Twice.app",
         ApplicationTarget{QStringLiteral("/Applications/Twice.app"), std::nullopt, QStringLiteral("Twice.app")}},
        {"file:///Applications/Plain.app",
         ApplicationTarget{QStringLiteral("/Applications/Plain.app"), std::nullopt, QStringLiteral("Plain")}},
        {"file:///usr/share/applications/org.gnome.Calculator.desktop",
         ApplicationTarget{QStringLiteral("/usr/share/applications/org.gnome.Calculator.desktop"),
                           QStringLiteral("org.gnome.Calculator.desktop"), QStringLiteral("Calculator")}},
        {"file:///Applications/Folder", std::nullopt},       // loads, but is no application
        {"file:///Applications/Missing.app", std::nullopt},  // not a loadable bundle
        {"file:///Applications/Safari.zip", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApplicationTarget::fromUrl(QUrl(QString::fromUtf8(c.url)), workspace), c.target) << c.url;
    }
}

TEST(ApplicationTargetTest, ResolvesThePathWhileItExistsElseTheInstalledIdentifier) {
    const QString existing = test::temporaryHome() + QStringLiteral("/Editor.app");
    ASSERT_TRUE(QDir().mkpath(existing));
    const QString gone = test::temporaryHome() + QStringLiteral("/Moved.app");
    const QString installed = QStringLiteral("/opt/Apps/Moved.app");

    sim::SimWorkspace workspace;
    workspace.installApplication(QStringLiteral("com.example.editor"), QStringLiteral("/elsewhere/Editor.app"));
    workspace.installApplication(QStringLiteral("com.example.moved"), installed);

    const auto target = [](const QString& path, std::optional<QString> id) {
        return ApplicationTarget{path, std::move(id), QStringLiteral("App")};
    };
    EXPECT_EQ(target(existing, QStringLiteral("com.example.editor")).resolvedUrl(workspace),
              QUrl::fromLocalFile(existing));
    EXPECT_EQ(target(gone, QStringLiteral("com.example.moved")).resolvedUrl(workspace), QUrl::fromLocalFile(installed));
    EXPECT_EQ(target(gone, QStringLiteral("com.example.unknown")).resolvedUrl(workspace), std::nullopt);
    EXPECT_EQ(target(gone, std::nullopt).resolvedUrl(workspace), std::nullopt);
}

TEST(ApplicationTargetTest, JsonOmitsAnAbsentIdentifierAndNeedsPathAndName) {
    const ApplicationTarget bare{QStringLiteral("/Applications/X.app"), std::nullopt, QStringLiteral("X")};
    const QJsonObject json = bare.toJson().toObject();
    EXPECT_EQ(json.keys(), (QStringList{QStringLiteral("name"), QStringLiteral("path")}));
    EXPECT_EQ(ApplicationTarget::fromJson(json, JsonPath()).value(), bare);

    const ApplicationTarget full{bare.path, QStringLiteral("com.example.x"), bare.name};
    EXPECT_EQ(ApplicationTarget::fromJson(full.toJson(), JsonPath()).value(), full);

    const auto missingName = ApplicationTarget::fromJson(QJsonDocument::fromJson(R"({"path":"/A.app"})").object(),
                                                         JsonPath(QStringLiteral("applicationTarget")));
    ASSERT_FALSE(missingName.ok());
    EXPECT_EQ(missingName.error().path, QStringLiteral("applicationTarget.name"));
    EXPECT_FALSE(ApplicationTarget::fromJson(QJsonValue(QStringLiteral("/A.app")), JsonPath()).ok());
}

}  // namespace
}  // namespace glidra
