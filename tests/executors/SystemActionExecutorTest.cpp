// The system action executor as the action executors own it: what it does
// itself, and what it hands to the executors that own the state.

#include "dispatch/ActionDispatcher.h"
#include "executors/ExecutorFixture.h"
#include "support/TaskResult.h"

#include <QDir>

namespace glidra::test {
namespace {

using Kind = HUDNotice::Kind;

class SystemActionExecutorTest : public ExecutorTest {
protected:
    std::optional<HUDNotice> perform(GestureAction action) {
        auto result = resultOf(executors->systemActions().perform(action));
        h.time.drain();
        EXPECT_TRUE(result->has_value());
        return result->value_or(std::nullopt);
    }

    void launch(std::int32_t pid, const char* id, ActivationPolicy policy = ActivationPolicy::regular) {
        workspace.launch({pid, QString::fromLatin1(id), QString::fromLatin1(id), policy});
    }
};

TEST_F(SystemActionExecutorTest, HandsEachSystemActionToItsExecutorAndOthersOn) {
    EXPECT_EQ(perform(GestureAction::missionControl), notice("桌面概览", "rectangle.3.group", Kind::success));
    EXPECT_EQ(desktopViews.overviewRequests(), 1);
    EXPECT_EQ(perform(GestureAction::showDesktop), notice("显示桌面", "desktopcomputer", Kind::success));
    EXPECT_EQ(desktopViews.desktopRequests(), 1);

    EXPECT_EQ(perform(GestureAction::switchToPreviousApplication),
              notice("暂无可切换的上一个应用", "app", Kind::information));
    EXPECT_EQ(perform(GestureAction::toggleMute), notice("此输出设备不支持静音", "speaker.slash", Kind::error))
        << "no output device";

    const bool iconsHidden = executors->desktopIcons().isHidden();
    perform(GestureAction::toggleDesktopIcons);
    EXPECT_NE(executors->desktopIcons().isHidden(), iconsHidden);

    const bool microphoneSilenced = executors->microphone().isActive();
    EXPECT_EQ(perform(GestureAction::toggleMicrophoneMute)->symbol.startsWith(QStringLiteral("mic")), true);
    EXPECT_EQ(executors->microphone().isActive(), microphoneSilenced) << "no input device to silence";

    for (GestureAction action : {GestureAction::copy, GestureAction::openURL, GestureAction::closeWindow,
                                 GestureAction::openControlCenter, GestureAction::none}) {
        EXPECT_EQ(perform(action), std::nullopt) << enumRaw(action);
    }
}

TEST_F(SystemActionExecutorTest, SwitchesBackThroughTheHistoryTheWorkspaceFeeds) {
    launch(10, "org.gnome.TextEditor.desktop");
    launch(20, "firefox.desktop");
    workspace.bringToFront(10);
    workspace.bringToFront(20);
    EXPECT_EQ(perform(GestureAction::switchToPreviousApplication),
              notice("org.gnome.TextEditor.desktop", "arrow.left.arrow.right.square", Kind::success));
    EXPECT_EQ(workspace.activated(), QList<std::int32_t>{10});
}

// The dispatcher as the application composes it: the executors serve every
// group.
TEST_F(SystemActionExecutorTest, TheDispatcherReachesTheApplicationAndWindowExecutors) {
    ActionDispatcher road(ActionDispatcher::Ports{poster, h.keyboard, h.frontmost, h.accessibilityTrust, workspace},
                          ActionDispatcher::Executors{*executors, *executors, *executors, *executors});
    auto run = [&](GestureAction action, std::optional<QString> website = std::nullopt) {
        GestureBinding binding;
        binding.action = action;
        if (website) binding.parameters = ActionParameters{std::nullopt, website, std::nullopt};
        auto result = resultOf(road.performGestureAction(binding, {}));
        // Long enough for the keyboard page's whole search.
        h.time.advanceBy(5.0);
        EXPECT_TRUE(result->has_value()) << enumRaw(action);
        return result->value_or(HUDNotice{});
    };
    EXPECT_EQ(run(GestureAction::openURL, QStringLiteral("example.com")),
              notice("打开 example.com", "globe", Kind::success));
    EXPECT_EQ(workspace.openedUrls(), QList<QUrl>{QUrl(QStringLiteral("https://example.com"))});
    EXPECT_EQ(run(GestureAction::sleepComputer), notice("正在休眠", "moon.zzz", Kind::success));
    EXPECT_EQ(run(GestureAction::windowLeftHalf), notice("当前窗口不支持调整布局", "macwindow", Kind::error));
    EXPECT_EQ(run(GestureAction::closeWindow), notice("当前窗口无法关闭", "macwindow", Kind::error));
    // Away from GNOME no desktop panel opens for another program.
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "XFCE");
    EXPECT_EQ(run(GestureAction::openControlCenter).text, QStringLiteral("未能打开系统面板，请重试"));
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    EXPECT_EQ(run(GestureAction::forceQuitApplications), notice("找不到系统监视器", "xmark.octagon", Kind::error));
    EXPECT_EQ(run(GestureAction::openAccessibilityKeyboard).text, QStringLiteral("无法打开悬浮键盘"))
        << "the settings page shows no keyboard switch";
    EXPECT_EQ(keyboardSettings.openings(), 1);

    launch(10, "org.gnome.TextEditor.desktop");
    launch(20, "firefox.desktop");
    workspace.bringToFront(10);
    workspace.bringToFront(20);
    EXPECT_EQ(run(GestureAction::switchToPreviousApplication).kind, Kind::success);
    EXPECT_EQ(workspace.activated(), QList<std::int32_t>{10});
}

TEST_F(SystemActionExecutorTest, SleepsOrSaysWhyNot) {
    EXPECT_EQ(perform(GestureAction::sleepComputer), notice("正在休眠", "moon.zzz", Kind::success));
    systemPower.setResult(SystemPower::SleepResult::refused);
    EXPECT_EQ(perform(GestureAction::sleepComputer), notice("系统未能进入休眠", "moon.zzz", Kind::error));
    systemPower.setResult(SystemPower::SleepResult::unavailable);
    EXPECT_EQ(perform(GestureAction::sleepComputer), notice("无法连接系统电源管理", "moon.zzz", Kind::error));
    EXPECT_EQ(systemPower.requests(), 3);
}

TEST_F(SystemActionExecutorTest, TheKeyboardLockTogglesAndCleaningReplacesAPlainLock) {
    EXPECT_EQ(perform(GestureAction::toggleKeyboardLock), notice("键盘已锁定", "lock.fill", Kind::success));
    const HUDNotice cleaning = notice("清洁模式已开启，30 秒内自动恢复", "sparkles", Kind::success);
    EXPECT_EQ(perform(GestureAction::startCleaningMode), cleaning);
    EXPECT_TRUE(executors->keyboardLock().isCleaning());
    EXPECT_EQ(perform(GestureAction::startCleaningMode), cleaning) << "already cleaning: nothing changes";
    EXPECT_EQ(taps.installCount(), 2);

    EXPECT_EQ(perform(GestureAction::toggleKeyboardLock), notice("键盘已解锁", "lock.open", Kind::success))
        << "unlocks the cleaning lock too";
    EXPECT_FALSE(executors->keyboardLock().isLocked());
}

TEST_F(SystemActionExecutorTest, KeepAwakeSwitchesOnOffAndAlternates) {
    const HUDNotice on = notice("保持唤醒已开启", "cup.and.saucer.fill", Kind::success);
    const HUDNotice off = notice("已恢复自动熄屏和休眠", "cup.and.saucer", Kind::success);
    EXPECT_EQ(perform(GestureAction::enableKeepAwake), on);
    EXPECT_EQ(perform(GestureAction::toggleKeepAwake), off);
    EXPECT_EQ(perform(GestureAction::toggleKeepAwake), on);
    EXPECT_EQ(perform(GestureAction::disableKeepAwake), off);
    EXPECT_FALSE(executors->keepAwake().isActive());
}

TEST_F(SystemActionExecutorTest, OpensTheHomeFolderInTheFileManager) {
    EXPECT_EQ(perform(GestureAction::openFinder), notice("文件管理器", "folder", Kind::success));
    EXPECT_EQ(workspace.openedUrls(), QList<QUrl>{QUrl::fromLocalFile(QDir::homePath())});
    workspace.setRefusesToOpen(true);
    EXPECT_EQ(perform(GestureAction::openFinder), notice("无法打开文件管理器", "folder", Kind::error));
}

TEST_F(SystemActionExecutorTest, HidingTheFrontApplicationMinimisesItsWindows) {
    EXPECT_EQ(perform(GestureAction::hideApplication), notice("无法获取当前应用", "eye.slash", Kind::error));
    launch(10, "org.gnome.TextEditor.desktop");
    launch(20, "firefox.desktop");
    workspace.bringToFront(20);

    // Every window of the application in front, whose key no desktop has.
    EXPECT_EQ(perform(GestureAction::hideApplication), notice("隐藏当前应用", "eye.slash", Kind::success));
    EXPECT_EQ(workspace.hidden(), QList<std::int32_t>{20});
    EXPECT_TRUE(poster.posted().empty()) << "no key is sent";

    // The application went while the gesture ran.
    workspace.setFront(FrontApplication::of({40, QStringLiteral("gone.desktop"), QStringLiteral("gone")}));
    EXPECT_EQ(perform(GestureAction::hideApplication), notice("无法隐藏当前应用", "eye.slash", Kind::error));
    workspace.setFront(FrontApplication::unknown());
    EXPECT_EQ(perform(GestureAction::hideApplication), notice("无法获取当前应用", "eye.slash", Kind::error));
}

TEST_F(SystemActionExecutorTest, TheEmojiPickerIsTheDesktopsOwnApplication) {
    EXPECT_EQ(perform(GestureAction::emojiPicker), notice("找不到表情选择器", "face.smiling", Kind::error));
    const QString characters = QStringLiteral("/usr/share/applications/org.gnome.Characters.desktop");
    workspace.setEmojiPickerLocation(characters);
    EXPECT_EQ(perform(GestureAction::emojiPicker), notice("表情与符号", "face.smiling", Kind::success));
    EXPECT_EQ(workspace.openedApplications(), QStringList{characters});
    EXPECT_TRUE(poster.posted().empty()) << "no key is sent";
    workspace.setRefusesToOpenApplications(true);
    EXPECT_EQ(perform(GestureAction::emojiPicker), notice("无法打开表情选择器", "face.smiling", Kind::error));
}

TEST_F(SystemActionExecutorTest, OpensTheDesktopsSettingsApplication) {
    EXPECT_EQ(perform(GestureAction::openSystemSettings), notice("找不到系统设置", "gearshape", Kind::error));

    const QString settings = QStringLiteral("/usr/share/applications/org.gnome.Settings.desktop");
    workspace.setSystemSettingsLocation(settings);
    EXPECT_EQ(perform(GestureAction::openSystemSettings), notice("系统设置", "gearshape", Kind::success));
    EXPECT_EQ(workspace.openedApplications(), QStringList{settings});

    workspace.setRefusesToOpenApplications(true);
    EXPECT_EQ(perform(GestureAction::openSystemSettings), notice("无法打开系统设置", "gearshape", Kind::error));
}

TEST_F(SystemActionExecutorTest, ForceQuitOpensTheDesktopsSystemMonitor) {
    ApplicationActionExecutors& applications = *executors;
    const auto forceQuit = [&] {
        auto result = resultOf(applications.openForceQuitWindow({}));
        h.time.drain();
        return result->value();
    };
    EXPECT_EQ(forceQuit(), notice("找不到系统监视器", "xmark.octagon", Kind::error));
    const QString monitor = QStringLiteral("/usr/share/applications/org.gnome.SystemMonitor.desktop");
    workspace.setSystemMonitorLocation(monitor);
    EXPECT_EQ(forceQuit(), notice("已打开系统监视器", "xmark.octagon", Kind::success));
    EXPECT_EQ(workspace.openedApplications(), QStringList{monitor});
    workspace.setRefusesToOpenApplications(true);
    EXPECT_EQ(forceQuit(), notice("无法打开系统监视器", "xmark.octagon", Kind::error));
}

TEST_F(SystemActionExecutorTest, OnGnomeThePanelsOpenOnTheShellsOwnKeys) {
    using Keys = SystemPanelExecutor::PanelKeys;
    const struct {
        GestureAction action;
        const char* desktop;
        std::optional<Keys> keys;
    } cases[] = {
        {GestureAction::openControlCenter, "GNOME", Keys{1, 0x100000}},              // Super+S
        {GestureAction::openNotificationCenter, "ubuntu:GNOME", Keys{9, 0x100000}},  // Super+V
        {GestureAction::openNotificationCenter, "KDE", std::nullopt},
        {GestureAction::openControlCenter, "", std::nullopt},
        {GestureAction::copy, "GNOME", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemPanelExecutor::desktopPanelKeys(c.action, QString::fromLatin1(c.desktop)), c.keys) << c.desktop;
        // The library offers the panels exactly where the keys exist.
        EXPECT_EQ(unavailabilityOnDesktop(c.action, DesktopAbilities{QString::fromLatin1(c.desktop)}).has_value(),
                  c.action != GestureAction::copy && !c.keys)
            << c.desktop;
    }

    const QByteArray previous = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    ApplicationActionExecutors& applications = *executors;
    poster.clearPosted();
    auto result = resultOf(applications.openSystemPanel(GestureAction::openNotificationCenter));
    h.time.drain();
    EXPECT_EQ(result->value().kind, Kind::success);
    ASSERT_EQ(poster.posted().size(), 2u);
    EXPECT_EQ(poster.posted().front().type, InputEvent::Type::keyDown);
    EXPECT_EQ(poster.posted().front().keyCode, 9);
    EXPECT_EQ(poster.posted().front().flags & 0x100000, 0x100000u);
    qputenv("XDG_CURRENT_DESKTOP", previous);
}

TEST_F(SystemActionExecutorTest, HidesEveryOtherRegularApplication) {
    EXPECT_EQ(perform(GestureAction::hideOtherApplications), notice("无法获取当前应用", "eye.slash", Kind::error));

    launch(10, "org.gnome.TextEditor.desktop");
    launch(20, "firefox.desktop");
    launch(30, "panel.desktop", ActivationPolicy::accessory);
    launch(40, "daemon", ActivationPolicy::prohibited);
    launch(50, "org.gnome.Terminal.desktop");
    workspace.setFront(FrontApplication::unknown());
    EXPECT_EQ(perform(GestureAction::hideOtherApplications).value().kind, Kind::error) << "the front is not known";

    workspace.bringToFront(20);
    EXPECT_EQ(perform(GestureAction::hideOtherApplications), notice("隐藏其他应用", "eye.slash", Kind::success));
    EXPECT_EQ(workspace.hidden(), (QList<std::int32_t>{10, 50}));
}

}  // namespace
}  // namespace glidra::test
