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
