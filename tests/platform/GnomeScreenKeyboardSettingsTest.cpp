// The on-screen keyboard action through GNOME's setting, with the desktop
// schema compiled into a folder of the test's own and the settings kept in
// memory, so neither the machine's schemas nor the user's settings count.

#include "executors/AccessibilityKeyboardToggle.h"
#include "platform/CompiledSchemas.h"
#include "platform/linux/GnomeScreenKeyboardSettings.h"
#include "platform/sim/SimWorkspace.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

using linux_platform::GnomeScreenKeyboardSettings;

class GnomeScreenKeyboardSettingsTest : public ::testing::Test {
protected:
    test::CompiledSchemas schemas{R"(<schemalist>
  <schema id="org.gnome.desktop.a11y.applications" path="/org/gnome/desktop/a11y/applications/">
    <key name="screen-keyboard-enabled" type="b"><default>false</default></key>
    <key name="screen-reader-enabled" type="b"><default>false</default></key>
  </schema>
</schemalist>
)"};
    test::SimTime time;
    sim::SimWorkspace workspace;

    void SetUp() override {
        if (schemas.compilerMissing()) GTEST_SKIP() << "glib-compile-schemas is not installed";
        ASSERT_TRUE(schemas.isReady());
    }

    bool stored(const char* key) const { return schemas.storedBoolean(GnomeScreenKeyboardSettings::kSchema, key); }

    std::optional<bool> toggle(AccessibilityKeyboardSettings& page) {
        AccessibilityKeyboardToggle keyboard(workspace, page, time.scheduler);
        auto result = test::resultOf(keyboard.toggleAccessibilityKeyboard());
        time.drain();
        return *result;
    }
};

TEST_F(GnomeScreenKeyboardSettingsTest, SwitchesTheScreenKeyboardOnAndNeverOff) {
    GnomeScreenKeyboardSettings page(QStringLiteral("GNOME"), schemas.source(), schemas.backend());
    ASSERT_TRUE(page.hasSetting());
    EXPECT_EQ(toggle(page), true);
    EXPECT_TRUE(stored(GnomeScreenKeyboardSettings::kKey));
    EXPECT_FALSE(stored("screen-reader-enabled"));

    EXPECT_EQ(toggle(page), true) << "on already: it stays on";
    EXPECT_TRUE(stored(GnomeScreenKeyboardSettings::kKey));
    EXPECT_TRUE(workspace.activated().isEmpty()) << "nothing took the focus";
}

TEST_F(GnomeScreenKeyboardSettingsTest, WithoutTheDesktopsSchemaThePageDoesNotOpen) {
    // Another desktop's schema only, and GNOME's without the key's kind.
    test::CompiledSchemas other(R"(<schemalist>
  <schema id="org.example.a11y" path="/org/example/a11y/">
    <key name="screen-keyboard-enabled" type="b"><default>false</default></key>
  </schema>
</schemalist>
)");
    test::CompiledSchemas texty(R"(<schemalist>
  <schema id="org.gnome.desktop.a11y.applications" path="/org/gnome/desktop/a11y/applications/">
    <key name="screen-keyboard-enabled" type="s"><default>'no'</default></key>
  </schema>
</schemalist>
)");
    for (const test::CompiledSchemas* elsewhere : {&other, &texty}) {
        ASSERT_TRUE(elsewhere->isReady());
        GnomeScreenKeyboardSettings page(QStringLiteral("GNOME"), elsewhere->source(), elsewhere->backend());
        EXPECT_FALSE(page.hasSetting());
        EXPECT_EQ(toggle(page), false);
    }
}

// GNOME's schema is installed on many desktops, but only GNOME's shell
// follows it: elsewhere the keyboard would be reported as shown while none
// appears.
TEST_F(GnomeScreenKeyboardSettingsTest, OnAnotherDesktopTheSettingIsNotWritten) {
    for (const char* running : {"KDE", "XFCE", "X-Cinnamon", ""}) {
        SCOPED_TRACE(running);
        GnomeScreenKeyboardSettings page(QString::fromLatin1(running), schemas.source(), schemas.backend());
        EXPECT_FALSE(page.hasSetting());
        EXPECT_EQ(toggle(page), false);
        EXPECT_FALSE(stored(GnomeScreenKeyboardSettings::kKey));
    }
}

TEST(GnomeScreenKeyboardChoiceTest, OnlyGnomeFollowsTheSetting) {
    const std::pair<const char*, bool> cases[] = {
        {"GNOME", true}, {"ubuntu:GNOME", true}, {"GNOME-Flashback:GNOME", true},
        {"gnome", true}, {"Budgie:GNOME", true}, {"KDE", false},
        {"XFCE", false}, {"X-Cinnamon", false},  {"GNOME-Classic", false},
        {"", false},
    };
    for (const auto& [running, follows] : cases) {
        EXPECT_EQ(GnomeScreenKeyboardSettings::followsSetting(QString::fromLatin1(running)), follows) << running;
    }
}

}  // namespace
}  // namespace glidra
