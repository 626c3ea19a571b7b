#include "executors/DesktopIconsController.h"
#include "platform/sim/SimDesktopPreferences.h"
#include "support/NoticePrinter.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;

const HUDNotice kShown = test::notice("桌面图标已显示", "desktopcomputer", Kind::success);
const HUDNotice kHidden = test::notice("桌面图标已隐藏", "desktopcomputer", Kind::success);
const HUDNotice kFailed = test::notice("无法切换桌面图标", "desktopcomputer", Kind::error);

TEST(DesktopIconsControllerTest, TheFirstToggleHidesAndTheSecondShows) {
    for (const std::optional<DefaultsValue>& stored :
         {std::optional<DefaultsValue>(), std::optional<DefaultsValue>(QStringLiteral("no")),
          std::optional<DefaultsValue>(std::int64_t(0)), std::optional<DefaultsValue>(true)}) {
        SCOPED_TRACE(stored ? stored->index() : 99);
        sim::SimDesktopPreferences preferences;
        preferences.store(stored);
        DesktopIconsController icons(preferences);
        EXPECT_FALSE(icons.isHidden());
        QSignalSpy changed(&icons, &DesktopIconsController::isHiddenChanged);

        EXPECT_EQ(icons.toggle(), kHidden);
        EXPECT_EQ(preferences.showDesktopIcons(), DefaultsValue(false));
        EXPECT_TRUE(icons.isHidden());
        EXPECT_EQ(icons.toggle(), kShown);
        EXPECT_EQ(preferences.showDesktopIcons(), DefaultsValue(true));
        EXPECT_FALSE(icons.isHidden());
        EXPECT_EQ(preferences.reloads(), 2);
        EXPECT_EQ(changed.count(), 2);
    }
}

TEST(DesktopIconsControllerTest, TheStateIsReadOnceAtConstruction) {
    sim::SimDesktopPreferences preferences;
    preferences.store(false);
    DesktopIconsController icons(preferences);
    EXPECT_TRUE(icons.isHidden());
    preferences.store(true);
    EXPECT_TRUE(icons.isHidden()) << "another program's change is not seen";
    EXPECT_EQ(icons.toggle(), kHidden) << "the toggle flips what is stored now";
}

TEST(DesktopIconsControllerTest, AFailedToggleLeavesThePreferenceAsItWasFound) {
    struct Case {
        const char* name;
        void (*arrange)(sim::SimDesktopPreferences&);
    };
    const Case cases[] = {
        {"writing fails", [](sim::SimDesktopPreferences& p) { p.setSynchronizeFails(true); }},
        {"no desktop running", [](sim::SimDesktopPreferences& p) { p.setDesktopRunning(false); }},
        {"the desktop does not reload", [](sim::SimDesktopPreferences& p) { p.setReloadFails(true); }},
    };
    for (const Case& c : cases) {
        for (const std::optional<DefaultsValue>& stored :
             {std::optional<DefaultsValue>(), std::optional<DefaultsValue>(QStringLiteral("odd"))}) {
            SCOPED_TRACE(c.name);
            sim::SimDesktopPreferences preferences;
            preferences.store(stored);
            c.arrange(preferences);
            DesktopIconsController icons(preferences);
            EXPECT_EQ(icons.toggle(), kFailed);
            EXPECT_EQ(preferences.showDesktopIcons(), stored);
            EXPECT_FALSE(icons.isHidden());
        }
    }
}

}  // namespace
}  // namespace glidra
