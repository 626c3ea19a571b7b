#include "executors/DesktopIconsController.h"
#include "platform/linux/GSettingsDesktopPreferences.h"
#include "support/NoticePrinter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace glidra {
namespace {

using linux_platform::GSettingsDesktopPreferences;

// Desktop schemas compiled into a folder of the test's own, and settings kept
// in memory, so neither the machine's schemas nor the user's settings count.
struct GSettingsDesktopPreferencesTest : ::testing::Test {
    QTemporaryDir schemas;
    GSettingsSchemaSource* source = nullptr;
    GSettingsBackend* backend = nullptr;

    void SetUp() override {
        const QString compiler = QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas"));
        if (compiler.isEmpty()) GTEST_SKIP() << "glib-compile-schemas is not installed";
        QFile file(schemas.filePath(QStringLiteral("glidra-test.gschema.xml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"(<schemalist>
  <schema id="org.mate.background" path="/org/mate/desktop/background/">
    <key name="show-desktop-icons" type="b"><default>true</default></key>
  </schema>
  <schema id="org.example.texty" path="/org/example/texty/">
    <key name="show-desktop-icons" type="s"><default>'yes'</default></key>
  </schema>
</schemalist>
)");
        file.close();
        ASSERT_EQ(QProcess::execute(compiler, {schemas.path()}), 0);
        GError* error = nullptr;
        source = g_settings_schema_source_new_from_directory(QFile::encodeName(schemas.path()).constData(), nullptr,
                                                             TRUE, &error);
        if (error) g_error_free(error);
        ASSERT_NE(source, nullptr);
        backend = g_memory_settings_backend_new();
    }
    void TearDown() override {
        if (backend) g_object_unref(backend);
        if (source) g_settings_schema_source_unref(source);
    }

    bool stored() {
        GSettingsSchema* schema = g_settings_schema_source_lookup(source, "org.mate.background", FALSE);
        GSettings* settings = g_settings_new_full(schema, backend, nullptr);
        const bool value = g_settings_get_boolean(settings, "show-desktop-icons");
        g_object_unref(settings);
        g_settings_schema_unref(schema);
        return value;
    }
};

TEST_F(GSettingsDesktopPreferencesTest, TogglesTheMateDesktopSwitch) {
    GSettingsDesktopPreferences preferences(
        {{"org.nemo.desktop", "show-desktop-icons"}, {"org.mate.background", "show-desktop-icons"}}, source, backend);
    ASSERT_TRUE(preferences.hasSwitch()) << "the first installed schema is used";
    DesktopIconsController icons(preferences);
    EXPECT_FALSE(icons.isHidden());

    EXPECT_EQ(icons.toggle().kind, HUDNotice::Kind::success);
    EXPECT_TRUE(icons.isHidden());
    EXPECT_FALSE(stored());
    EXPECT_EQ(icons.toggle().kind, HUDNotice::Kind::success);
    EXPECT_TRUE(stored());

    preferences.setShowDesktopIcons(std::nullopt);
    EXPECT_TRUE(preferences.synchronize()) << "removing goes back to the desktop's default";
    EXPECT_TRUE(stored());
}

TEST_F(GSettingsDesktopPreferencesTest, WithoutASwitchTheToggleFailsAndNothingAborts) {
    // Neither schema is installed here, and the other has a key of another kind.
    GSettingsDesktopPreferences preferences(
        {{"org.nemo.desktop", "show-desktop-icons"}, {"org.example.texty", "show-desktop-icons"}}, source, backend);
    EXPECT_FALSE(preferences.hasSwitch());
    DesktopIconsController icons(preferences);
    EXPECT_EQ(icons.toggle(), (HUDNotice{QStringLiteral("无法切换桌面图标"), QStringLiteral("desktopcomputer"),
                                         HUDNotice::Kind::error}));
    EXPECT_FALSE(icons.isHidden());
}

TEST(GSettingsDesktopPreferencesKnownTest, TheRunningDesktopsSwitchComesFirst) {
    const QByteArray previous = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "X-Cinnamon");
    EXPECT_EQ(GSettingsDesktopPreferences::knownSwitches().front().schema, QByteArray("org.nemo.desktop"));
    qputenv("XDG_CURRENT_DESKTOP", "MATE");
    EXPECT_EQ(GSettingsDesktopPreferences::knownSwitches().front().schema, QByteArray("org.mate.background"));
    qputenv("XDG_CURRENT_DESKTOP", previous);
}

}  // namespace
}  // namespace glidra
