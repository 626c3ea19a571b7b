// The on-screen keyboard action through GNOME's setting, with the desktop
// schema compiled into a folder of the test's own and the settings kept in
// memory, so neither the machine's schemas nor the user's settings count.

#include "executors/AccessibilityKeyboardToggle.h"
#include "platform/linux/GnomeScreenKeyboardSettings.h"
#include "platform/sim/SimWorkspace.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

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

using linux_platform::GnomeScreenKeyboardSettings;

class GnomeScreenKeyboardSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir schemas;
    GSettingsSchemaSource* source = nullptr;
    GSettingsBackend* backend = nullptr;
    test::SimTime time;
    sim::SimWorkspace workspace;

    void SetUp() override {
        const QString compiler = QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas"));
        if (compiler.isEmpty()) GTEST_SKIP() << "glib-compile-schemas is not installed";
        QFile file(schemas.filePath(QStringLiteral("glidra-test.gschema.xml")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"(<schemalist>
  <schema id="org.gnome.desktop.a11y.applications" path="/org/gnome/desktop/a11y/applications/">
    <key name="screen-keyboard-enabled" type="b"><default>false</default></key>
    <key name="screen-reader-enabled" type="b"><default>false</default></key>
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

    GSettings* stored() {
        GSettingsSchema* schema = g_settings_schema_source_lookup(source, GnomeScreenKeyboardSettings::kSchema, FALSE);
        GSettings* settings = g_settings_new_full(schema, backend, nullptr);
        g_settings_schema_unref(schema);
        return settings;
    }

    std::optional<bool> toggle(AccessibilityKeyboardSettings& page) {
        AccessibilityKeyboardToggle keyboard(workspace, page, time.scheduler);
        auto result = test::resultOf(keyboard.toggleAccessibilityKeyboard());
        time.drain();
        return *result;
    }
};

TEST_F(GnomeScreenKeyboardSettingsTest, SwitchesTheScreenKeyboardOnAndNeverOff) {
    GnomeScreenKeyboardSettings page(source, backend);
    ASSERT_TRUE(page.hasSetting());
    EXPECT_EQ(toggle(page), true);
    GSettings* settings = stored();
    EXPECT_TRUE(g_settings_get_boolean(settings, GnomeScreenKeyboardSettings::kKey));
    EXPECT_FALSE(g_settings_get_boolean(settings, "screen-reader-enabled"));

    EXPECT_EQ(toggle(page), true) << "on already: it stays on";
    EXPECT_TRUE(g_settings_get_boolean(settings, GnomeScreenKeyboardSettings::kKey));
    g_object_unref(settings);
    EXPECT_TRUE(workspace.activated().isEmpty()) << "nothing took the focus";
}

TEST_F(GnomeScreenKeyboardSettingsTest, WithoutTheDesktopsSchemaThePageDoesNotOpen) {
    // Another desktop's schemas only.
    QTemporaryDir other;
    QFile file(other.filePath(QStringLiteral("other.gschema.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<schemalist>
  <schema id="org.example.a11y" path="/org/example/a11y/">
    <key name="screen-keyboard-enabled" type="b"><default>false</default></key>
  </schema>
</schemalist>
)");
    file.close();
    ASSERT_EQ(QProcess::execute(QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas")), {other.path()}),
              0);
    GSettingsSchemaSource* elsewhere = g_settings_schema_source_new_from_directory(
        QFile::encodeName(other.path()).constData(), nullptr, TRUE, nullptr);
    ASSERT_NE(elsewhere, nullptr);

    GnomeScreenKeyboardSettings page(elsewhere, backend);
    EXPECT_FALSE(page.hasSetting());
    EXPECT_EQ(toggle(page), false);
    g_settings_schema_source_unref(elsewhere);
}

}  // namespace
}  // namespace glidra
