#include "actions/GestureAction.h"

#include "common/Localized.h"
#include "common/TextSearch.h"
#include "platform/Workspace.h"

#include <QUrl>

#include <utility>

namespace glidra {

namespace {

using A = GestureAction;

constexpr GestureAction mouseActions[] = {
    A::mouseLeftClick,  A::mouseRightClick, A::mouseDoubleClick, A::mouseMiddleClick,
    A::mouseScrollUp,   A::mouseScrollDown, A::mouseScrollLeft,  A::mouseScrollRight,
    A::mouseToggleDrag, A::mouseHoldLeft,   A::mouseReleaseLeft,
};

constexpr GestureAction everydayActions[] = {
    A::volumeUp,
    A::volumeDown,
    A::toggleMute,
    A::toggleMicrophoneMute,
    A::brightnessUp,
    A::brightnessDown,
    A::keyboardBrightnessUp,
    A::keyboardBrightnessDown,
    A::spotlight,
    A::missionControl,
    A::showDesktop,
    A::previousDesktop,
    A::nextDesktop,
    A::lockScreen,
    A::sleepComputer,
    A::toggleKeyboardLock,
    A::startCleaningMode,
    A::toggleDesktopIcons,
    A::openAccessibilityKeyboard,
    A::toggleKeepAwake,
    A::enableKeepAwake,
    A::disableKeepAwake,
    A::openFinder,
    A::openSystemSettings,
    A::openControlCenter,
    A::openNotificationCenter,
};

constexpr GestureAction screenshotActions[] = {
    A::screenshot,          A::screenshotArea,          A::screenshotTools,
    A::screenshotClipboard, A::screenshotAreaClipboard, A::screenshotWindowClipboard,
};

constexpr GestureAction applicationActions[] = {
    A::openApplication,
    A::newWindow,
    A::closeWindow,
    A::minimizeWindow,
    A::hideApplication,
    A::toggleFullScreen,
    A::forceQuitApplications,
    A::nextWindow,
    A::previousWindow,
    A::hideOtherApplications,
    A::applicationSettings,
    A::switchToPreviousApplication,
    A::openApplicationSwitcher,
    A::windowLeftHalf,
    A::windowRightHalf,
    A::centerWindow,
    A::maximizeWindow,
    A::restoreWindow,
    A::applicationExpose,
    A::moveWindowToNextDisplay,
};

constexpr GestureAction musicActions[] = {A::playPause, A::previousTrack, A::nextTrack};

constexpr GestureAction videoActions[] = {A::scrubVideo, A::seekBackward, A::seekForward};

constexpr GestureAction browsingActions[] = {
    A::previousTab,
    A::nextTab,
    A::newTab,
    A::closeTab,
    A::reopenTab,
    A::refreshPage,
    A::focusAddressBar,
    A::copyPageLink,
    A::copyPageTitleAndLink,
    A::back,
    A::forward,
    A::zoomIn,
    A::zoomOut,
    A::resetZoom,
    A::scrollToTop,
    A::scrollToBottom,
};

constexpr GestureAction editingActions[] = {
    A::copy,
    A::cut,
    A::paste,
    A::undo,
    A::redo,
    A::selectAll,
    A::find,
    A::save,
    A::emojiPicker,
    A::pasteMatchingStyle,
    A::clipboardPlainText,
    A::copyFilePath,
    A::quickLook,
    A::translateSelection,
};

constexpr GestureAction customActions[] = {A::openFile, A::openFolder, A::openURL, A::runShortcut, A::customShortcut};

constexpr GestureAction featured[] = {
    A::mouseLeftClick,     A::mouseRightClick,
    A::mouseDoubleClick,   A::mouseMiddleClick,
    A::mouseToggleDrag,    A::quickLook,
    A::pasteMatchingStyle, A::screenshotAreaClipboard,
    A::copyPageLink,       A::openApplicationSwitcher,
    A::openApplication,    A::forceQuitApplications,
    A::toggleMute,         A::switchToPreviousApplication,
    A::windowLeftHalf,     A::windowRightHalf,
    A::scrubVideo,         A::playPause,
};

constexpr const char* kTouchpadWords = GLIDRA_TEXT("触摸板 触控板");
constexpr const char* kWorkspaceWords = GLIDRA_TEXT("工作区 虚拟桌面 切换桌面");

// clang-format off
constexpr std::pair<GestureAction, const char*> kDesktopWords[] = {
    {A::brightnessUp, GLIDRA_TEXT("屏幕亮度 调亮 显示器 背光")},
    {A::brightnessDown, GLIDRA_TEXT("屏幕亮度 调暗 显示器 背光")},
    {A::volumeUp, GLIDRA_TEXT("声音 调大音量 扬声器")},
    {A::volumeDown, GLIDRA_TEXT("声音 调小音量 扬声器")},
    {A::keyboardBrightnessUp, GLIDRA_TEXT("键盘灯 键盘背光")},
    {A::keyboardBrightnessDown, GLIDRA_TEXT("键盘灯 键盘背光")},
    {A::playPause, GLIDRA_TEXT("音乐 媒体键 暂停 继续播放")},
    {A::previousTrack, GLIDRA_TEXT("上一曲 音乐 媒体键")},
    {A::nextTrack, GLIDRA_TEXT("下一曲 音乐 媒体键")},
    {A::spotlight, GLIDRA_TEXT("搜索 启动器 应用菜单 开始菜单 活动")},
    {A::missionControl, GLIDRA_TEXT("工作区 活动概览")},
    {A::showDesktop, GLIDRA_TEXT("回到桌面 最小化所有窗口")},
    {A::screenshot, GLIDRA_TEXT("截图 截屏 屏幕截图 Print")},
    {A::screenshotArea, GLIDRA_TEXT("截图 截屏 选区截图 部分截图")},
    {A::screenshotTools, GLIDRA_TEXT("截图 截屏 录屏 屏幕录制")},
    {A::previousDesktop, kWorkspaceWords},
    {A::nextDesktop, kWorkspaceWords},
    {A::lockScreen, GLIDRA_TEXT("锁定 屏保")},
    {A::sleepComputer, GLIDRA_TEXT("挂起")},
    {A::toggleKeyboardLock, GLIDRA_TEXT("锁键盘 禁用键盘 防误触")},
    {A::startCleaningMode, GLIDRA_TEXT("清洁 擦屏幕 擦键盘 触摸板 防误触")},
    {A::toggleDesktopIcons, GLIDRA_TEXT("桌面图标 隐藏图标")},
    {A::openFinder, GLIDRA_TEXT("文件 主文件夹 资源管理器 Nautilus Dolphin")},
    {A::openSystemSettings, GLIDRA_TEXT("设置 首选项 控制面板")},
    {A::openControlCenter, GLIDRA_TEXT("快速设置 系统菜单 顶栏 网络 声音 电源")},
    {A::openNotificationCenter, GLIDRA_TEXT("通知列表 消息托盘 顶栏 勿扰")},
    {A::openAccessibilityKeyboard, GLIDRA_TEXT("屏幕键盘 软键盘 虚拟键盘 无障碍")},
    {A::emojiPicker, GLIDRA_TEXT("表情符号 Emoji 特殊字符 字符")},
    {A::toggleMicrophoneMute, GLIDRA_TEXT("麦克风 话筒 会议")},
    {A::hideApplication, GLIDRA_TEXT("隐藏 最小化 当前应用")},
    {A::hideOtherApplications, GLIDRA_TEXT("隐藏 最小化 其他窗口 专注")},
    {A::minimizeWindow, GLIDRA_TEXT("最小化 隐藏窗口")},
    {A::toggleFullScreen, GLIDRA_TEXT("全屏 F11")},
    {A::applicationSettings, GLIDRA_TEXT("首选项 偏好设置")},
    {A::nextWindow, GLIDRA_TEXT("切换窗口 同一应用")},
    {A::previousWindow, GLIDRA_TEXT("切换窗口 同一应用")},
    {A::centerWindow, GLIDRA_TEXT("居中 窗口布局")},
    {A::customShortcut, GLIDRA_TEXT("快捷键 组合键 热键 按键")},
    {A::translateSelection, GLIDRA_TEXT("翻译 中英互译")},
    {A::mouseLeftClick, kTouchpadWords},
    {A::mouseRightClick, kTouchpadWords},
    {A::mouseDoubleClick, kTouchpadWords},
    {A::mouseMiddleClick, kTouchpadWords},
    {A::mouseScrollUp, kTouchpadWords},
    {A::mouseScrollDown, kTouchpadWords},
    {A::mouseScrollLeft, kTouchpadWords},
    {A::mouseScrollRight, kTouchpadWords},
    {A::mouseHoldLeft, kTouchpadWords},
    {A::mouseReleaseLeft, kTouchpadWords},
    {A::mouseToggleDrag, kTouchpadWords},
};
// clang-format on

void openSettingsLink(Workspace& workspace, const char* link) {
    const QUrl url(QString::fromLatin1(link), QUrl::StrictMode);
    if (!url.isValid()) return;
    workspace.openUrl(url);
}

}  // namespace

QString title(GestureAction action) { return enumTitle(action); }

QString symbolName(GestureAction action) { return QString::fromLatin1(enumRow(action).symbol); }

bool isContinuousAdjustment(GestureAction action) {
    switch (action) {
        case A::brightnessUp:
        case A::brightnessDown:
        case A::keyboardBrightnessUp:
        case A::keyboardBrightnessDown:
        case A::volumeUp:
        case A::volumeDown:
        case A::scrubVideo:
            return true;
        default:
            return false;
    }
}

bool requiresAccessibility(GestureAction action) {
    switch (action) {
        case A::none:
        case A::brightnessUp:
        case A::brightnessDown:
        case A::volumeUp:
        case A::volumeDown:
        case A::screenshotWindowClipboard:
        case A::copyPageLink:
        case A::copyPageTitleAndLink:
        case A::clipboardPlainText:
        case A::scrubVideo:
        case A::missionControl:
        case A::showDesktop:
        case A::openApplication:
        case A::sleepComputer:
        case A::toggleDesktopIcons:
        case A::enableKeepAwake:
        case A::disableKeepAwake:
        case A::toggleKeepAwake:
        case A::openFinder:
        case A::openSystemSettings:
        case A::emojiPicker:
        case A::hideApplication:
        case A::hideOtherApplications:
        case A::toggleMute:
        case A::toggleMicrophoneMute:
        case A::switchToPreviousApplication:
        case A::openFile:
        case A::openFolder:
        case A::openURL:
        case A::runShortcut:
            return false;
        default:
            return true;
    }
}

std::optional<QString> detail(GestureAction action) {
    const char* text = enumRow(action).detail;
    if (text == nullptr) return std::nullopt;
    return localized(text);
}

QString searchKeywords(GestureAction action) {
    const char* words = enumRow(action).keywords;
    return *words == '\0' ? QString() : localized(words);
}

QString desktopSearchWords(GestureAction action) {
    for (const auto& [listed, words] : kDesktopWords) {
        if (listed == action) return localized(words);
    }
    return {};
}

bool matchesSearch(GestureAction action, QStringView text) {
    const QStringView needle = text.trimmed();
    if (needle.isEmpty()) return action != A::none;
    return searchContains(title(action), needle) || searchContains(searchKeywords(action), needle) ||
           searchContains(desktopSearchWords(action), needle) || searchContains(enumRaw(action), needle);
}

std::optional<GestureActionCategory> category(GestureAction action) { return enumRow(action).category; }

std::span<const GestureAction> categoryActions(GestureActionCategory category) {
    switch (category) {
        case GestureActionCategory::mouse:
            return mouseActions;
        case GestureActionCategory::everyday:
            return everydayActions;
        case GestureActionCategory::screenshots:
            return screenshotActions;
        case GestureActionCategory::applications:
            return applicationActions;
        case GestureActionCategory::music:
            return musicActions;
        case GestureActionCategory::video:
            return videoActions;
        case GestureActionCategory::browsing:
            return browsingActions;
        case GestureActionCategory::editing:
            return editingActions;
        case GestureActionCategory::custom:
            return customActions;
    }
    return {};
}

std::span<const GestureAction> featuredActions() { return featured; }

std::optional<QString> unavailabilityOnDesktop(GestureAction action, const DesktopAbilities& desktop) {
    const bool gnome = desktop.currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)
                           .contains(QStringLiteral("GNOME"), Qt::CaseInsensitive);
    switch (action) {
        // GNOME Shell opens its notification list and quick settings on keys
        // of its own; other desktops offer neither to another program.
        case A::openControlCenter:
        case A::openNotificationCenter:
            if (gnome) return std::nullopt;
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有可由其他程序打开的系统面板。"));
        case A::translateSelection:
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有可用的系统翻译服务。"));
        case A::runShortcut:
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有快捷指令应用。"));
        // GNOME and Plasma draw no icons that another program may hide.
        case A::toggleDesktopIcons:
            if (desktop.desktopIconsSwitch) return std::nullopt;
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有可由其他程序切换的桌面图标。"));
        // Space previews only where a previewer answers the file manager.
        case A::quickLook:
            if (desktop.filePreviewer) return std::nullopt;
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有安装文件预览程序（如 GNOME 的 Sushi）。"));
        case A::emojiPicker:
            if (desktop.emojiPicker) return std::nullopt;
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有安装表情选择器（如 GNOME 的“字符”）。"));
        default:
            return std::nullopt;
    }
}

void openAutomationSettings(Workspace& workspace) {
    openSettingsLink(workspace, "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation");
}

void openAccessibilitySettings(Workspace& workspace) {
    openSettingsLink(workspace, "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
}

}  // namespace glidra
