#include "executors/DesktopIconsController.h"
#include "platform/CompiledSchemas.h"
#include "platform/linux/GSettingsDesktopPreferences.h"
#include "support/NoticePrinter.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using linux_platform::GSettingsDesktopPreferences;

struct GSettingsDesktopPreferencesTest : ::testing::Test {
    test::CompiledSchemas schemas{R"(<schemalist>
  <schema id="org.mate.background" path="/org/mate/desktop/background/">
    <key name="show-desktop-icons" type="b"><default>true</default></key>
  </schema>
  <schema id="org.example.texty" path="/org/example/texty/">
    <key name="show-desktop-icons" type="s"><default>'yes'</default></key>
  </schema>
</schemalist>
)"};
    GSettingsSchemaSource* source = schemas.source();
    GSettingsBackend* backend = schemas.backend();

    void SetUp() override {
        if (schemas.compilerMissing()) GTEST_SKIP() << "glib-compile-schemas is not installed";
        ASSERT_TRUE(schemas.isReady());
    }

    bool stored() const { return schemas.storedBoolean("org.mate.background", "show-desktop-icons"); }
};

using Switch = GSettingsDesktopPreferences::Switch;

const HUDNotice kCannotToggle{QStringLiteral("无法切换桌面图标"), QStringLiteral("desktopcomputer"),
                              HUDNotice::Kind::error};

TEST_F(GSettingsDesktopPreferencesTest, TogglesTheMateDesktopSwitch) {
    GSettingsDesktopPreferences preferences(GSettingsDesktopPreferences::switchFor(QStringLiteral("MATE")), source,
                                            backend);
    ASSERT_TRUE(preferences.hasDesktopIconsSwitch());
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
    const std::optional<Switch> cases[] = {
        std::nullopt, Switch{"org.nemo.desktop", "show-desktop-icons"},  // not installed here
        Switch{"org.example.texty", "show-desktop-icons"},               // a key of another kind
    };
    for (const auto& desktopSwitch : cases) {
        SCOPED_TRACE(desktopSwitch ? desktopSwitch->schema.toStdString() : "none");
        GSettingsDesktopPreferences preferences(desktopSwitch, source, backend);
        EXPECT_FALSE(preferences.hasDesktopIconsSwitch());
        DesktopIconsController icons(preferences);
        EXPECT_EQ(icons.toggle(), kCannotToggle);
        EXPECT_FALSE(icons.isHidden());
    }
}

// MATE's schema installed on another desktop: that desktop shows its own
// icons whatever MATE's switch says, so the switch is not touched and the
// toggle says it could not.
TEST_F(GSettingsDesktopPreferencesTest, AnotherDesktopsSwitchIsNeverWritten) {
    for (const char* running : {"GNOME", "ubuntu:GNOME", "KDE", ""}) {
        SCOPED_TRACE(running);
        GSettingsDesktopPreferences preferences(GSettingsDesktopPreferences::switchFor(QString::fromLatin1(running)),
                                                source, backend);
        EXPECT_FALSE(preferences.hasDesktopIconsSwitch());
        DesktopIconsController icons(preferences);
        EXPECT_EQ(icons.toggle(), kCannotToggle);
        EXPECT_TRUE(stored()) << "MATE's switch as it was";
    }
}

TEST(GSettingsDesktopPreferencesChoiceTest, EachDesktopGetsOnlyItsOwnSwitch) {
    const Switch mate{"org.mate.background", "show-desktop-icons"};
    const Switch nemo{"org.nemo.desktop", "show-desktop-icons"};
    const std::pair<const char*, std::optional<Switch>> cases[] = {
        {"MATE", mate},          {"mate", mate},          {"X-Cinnamon", nemo},
        {"Cinnamon", nemo},      {"GNOME", std::nullopt}, {"ubuntu:GNOME", std::nullopt},
        {"KDE", std::nullopt},   {"XFCE", std::nullopt},  {"", std::nullopt},
        {"MATEY", std::nullopt},
    };
    for (const auto& [running, expected] : cases) {
        EXPECT_EQ(GSettingsDesktopPreferences::switchFor(QString::fromLatin1(running)), expected) << running;
    }
}

}  // namespace
}  // namespace glidra
