#pragma once

#include "actions/GestureActionCategory.h"
#include "common/EnumTable.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace glidra {

class Workspace;

// The fixed catalogue of actions a gesture rule or an edge binding can run.
// The order is the order of enumAllCases(); rules store the raw string.
enum class GestureAction {
    none,
    brightnessUp,
    brightnessDown,
    volumeUp,
    volumeDown,
    focusAddressBar,
    screenshotWindowClipboard,
    copyFilePath,
    copyPageLink,
    copyPageTitleAndLink,
    clipboardPlainText,
    keyboardBrightnessUp,
    keyboardBrightnessDown,
    playPause,
    previousTrack,
    nextTrack,
    seekBackward,
    seekForward,
    scrubVideo,
    spotlight,
    missionControl,
    showDesktop,
    screenshot,
    previousTab,
    nextTab,
    back,
    forward,
    copy,
    paste,
    undo,
    customShortcut,
    openApplication,
    newTab,
    closeTab,
    reopenTab,
    refreshPage,
    find,
    zoomIn,
    zoomOut,
    resetZoom,
    cut,
    redo,
    selectAll,
    save,
    newWindow,
    closeWindow,
    minimizeWindow,
    hideApplication,
    toggleFullScreen,
    forceQuitApplications,
    previousDesktop,
    nextDesktop,
    screenshotArea,
    sleepComputer,
    toggleKeyboardLock,
    startCleaningMode,
    toggleDesktopIcons,
    enableKeepAwake,
    disableKeepAwake,
    toggleKeepAwake,
    lockScreen,
    openFinder,
    openSystemSettings,
    screenshotTools,
    screenshotClipboard,
    screenshotAreaClipboard,
    emojiPicker,
    applicationSettings,
    nextWindow,
    previousWindow,
    hideOtherApplications,
    toggleMute,
    toggleMicrophoneMute,
    switchToPreviousApplication,
    windowLeftHalf,
    windowRightHalf,
    maximizeWindow,
    restoreWindow,
    scrollToTop,
    scrollToBottom,
    mouseLeftClick,
    mouseRightClick,
    mouseDoubleClick,
    mouseMiddleClick,
    mouseScrollUp,
    mouseScrollDown,
    mouseScrollLeft,
    mouseScrollRight,
    mouseHoldLeft,
    mouseReleaseLeft,
    mouseToggleDrag,
    applicationExpose,
    quickLook,
    pasteMatchingStyle,
    openFile,
    openFolder,
    openURL,
    runShortcut,
    moveWindowToNextDisplay,
    centerWindow,
    translateSelection,
    openControlCenter,
    openNotificationCenter,
    openAccessibilityKeyboard,
    openApplicationSwitcher,
};

// Raw strings: enumRaw(action) and enumFromRaw<GestureAction>(text) (exact and
// case-sensitive). openAccessibilityKeyboard keeps its older stored name
// "toggleAccessibilityKeyboard" so existing rules still load.

QString title(GestureAction action);
// A system symbol name for notices and action icons.
QString symbolName(GestureAction action);
// Actions that follow the finger step by step instead of running once.
bool isContinuousAdjustment(GestureAction action);
// Whether the action needs the trust the system gives for synthesising input
// and reading other applications (the setup notices use the same division).
bool requiresAccessibility(GestureAction action);
// Help text for the action's configuration view.
std::optional<QString> detail(GestureAction action);
// Space-separated extra search words; empty when the action has none.
QString searchKeywords(GestureAction action);
// The words Linux desktops and their users have for the same things
// (工作区 for workspaces, 快速设置 for GNOME's quick settings), searched
// beside the keywords; empty when the action has none.
QString desktopSearchWords(GestureAction action);
// Whether the action library shows the action for this search text. A blank
// text matches every action but none.
bool matchesSearch(GestureAction action, QStringView text);

// Nothing for none, which the library never lists.
std::optional<GestureActionCategory> category(GestureAction action);
// The category's actions in the library's display order.
std::span<const GestureAction> categoryActions(GestureActionCategory category);
// What the library shows when no category is selected.
std::span<const GestureAction> featuredActions();
// What the running desktop offers that some actions hand their work to.
struct DesktopAbilities {
    // The desktops of the session as XDG_CURRENT_DESKTOP names them,
    // colon-separated.
    QString currentDesktop;
    // A switch for the icons on the desktop that another program may turn.
    bool desktopIconsSwitch = false;
    // The previewer that the file manager opens on Space.
    bool filePreviewer = false;
    // An emoji picker of the desktop's own.
    bool emojiPicker = false;

    friend bool operator==(const DesktopAbilities&, const DesktopAbilities&) = default;
};

// Why the action cannot work on this desktop, or nothing when it can. The
// library says so at the action, never features it and does not let it be
// chosen; a stored rule keeps it, says so at the rule and reports its
// failure when it runs.
std::optional<QString> unavailabilityOnDesktop(GestureAction action, const DesktopAbilities& desktop);

// Open the system's privacy panes for the permission help.
void openAutomationSettings(Workspace& workspace);
void openAccessibilitySettings(Workspace& workspace);

// Texts several actions share.
// clang-format off
namespace gesture_action_text {
inline constexpr const char* screenshotClipboardKeywords = GLIDRA_TEXT("截屏 截图 复制截图 剪贴板 直接粘贴 图片");
inline constexpr const char* pageLinkKeywords = GLIDRA_TEXT("复制网址 当前网址 URL 分享网页 链接 标题");
inline constexpr const char* keepAwakeKeywords = GLIDRA_TEXT("禁止锁屏 防止锁屏 不锁屏 防休眠 不熄屏 咖啡 保持唤醒 电脑控制");
inline constexpr const char* halfScreenKeywords = GLIDRA_TEXT("分屏 半屏 左右分屏 并排 窗口布局");
inline constexpr const char* mouseScrollKeywords = GLIDRA_TEXT("鼠标滚轮 滚动 鼠标操作");
inline constexpr const char* mouseDragKeywords = GLIDRA_TEXT("拖动 拖拽 选中文字 按住 放下 鼠标操作");
inline constexpr const char* openTargetKeywords = GLIDRA_TEXT("打开 文件 文件夹 网页 网站 书签 常用 快速打开");
inline constexpr const char* pageInfoDetail = GLIDRA_TEXT("复制 Chrome / Firefox 当前网页的信息。不需要开启网页 JavaScript。");
inline constexpr const char* keyboardBrightnessDetail = GLIDRA_TEXT("在边缘滑动时随手指连续调节键盘背光；用作手势时每次调节一格。需要键盘带有背光。");
inline constexpr const char* brightnessDetail = GLIDRA_TEXT("在边缘滑动时随手指连续调节屏幕亮度；用作手势时每次调节一格。");
inline constexpr const char* volumeDetail = GLIDRA_TEXT("在边缘滑动时随手指连续调节音量；用作手势时每次调节一格，并显示当前音量。");
inline constexpr const char* trackDetail = GLIDRA_TEXT("切换到上一首或下一首，与键盘上的媒体键相同，适用于音乐等播放器。");
inline constexpr const char* seekDetail = GLIDRA_TEXT("让 Chrome / Firefox 中正在播放的视频快退或快进。");
inline constexpr const char* tabSwipeDetail = GLIDRA_TEXT("多指左右滑动达到幅度即可切换，无需等到抬手。每次滑动切换一个标签，抬起全部手指后可立即再次滑动。与复杂路径手势重叠时会等抬手判定。");
inline constexpr const char* keepAwakeDetail = GLIDRA_TEXT("开启后电脑不会自动休眠或熄屏，适合下载、演示或看视频；可在托盘菜单中随时关闭。");
inline constexpr const char* sameAppWindowDetail = GLIDRA_TEXT("在当前应用的多个窗口之间切换，与 Alt+` 相同。");
inline constexpr const char* windowLayoutDetail = GLIDRA_TEXT("调整当前窗口的位置与大小，需要允许访问输入设备。用“恢复窗口大小”可回到调整之前的样子。");
inline constexpr const char* scrollToEndDetail = GLIDRA_TEXT("让当前窗口或网页直接滚动到最顶部或最底部。");
inline constexpr const char* mouseDragDetail = GLIDRA_TEXT("先把指针移到目标上，再做手势开始拖拽。移动指针后，用“松开鼠标左键”或再做一次切换手势放下。Esc、暂停控制或闲置 30 秒也会松开。");
inline constexpr const char* systemPanelDetail = GLIDRA_TEXT("打开桌面顶栏或面板中的系统菜单，可调节 Wi-Fi、蓝牙、声音或查看通知；再做一次手势或按 Esc 关闭。");
inline constexpr const char* mousePointerDetail = GLIDRA_TEXT("先把鼠标指针移到目标上，再做手势。按住的 Ctrl、Alt、Shift、Super 等按键也会保留。");
}  // namespace gesture_action_text
// clang-format on

template <>
struct EnumTable<GestureAction> {
    using Category = GestureActionCategory;
    struct Row {
        GestureAction value;
        const char* raw;
        const char* title;
        const char* symbol;
        const char* keywords;  // space-separated search words, "" when none
        const char* detail;    // help text, nullptr when none
        std::optional<GestureActionCategory> category;
    };

    // clang-format off
    static constexpr Row cases[] = {
        {GestureAction::none, "none", GLIDRA_TEXT("不执行"), "minus.circle", "", nullptr, std::nullopt},
        {GestureAction::brightnessUp, "brightnessUp", GLIDRA_TEXT("增加亮度"), "sun.max.fill", "", gesture_action_text::brightnessDetail, Category::everyday},
        {GestureAction::brightnessDown, "brightnessDown", GLIDRA_TEXT("降低亮度"), "sun.max.fill", "", gesture_action_text::brightnessDetail, Category::everyday},
        {GestureAction::volumeUp, "volumeUp", GLIDRA_TEXT("增加音量"), "speaker.wave.2.fill", "", gesture_action_text::volumeDetail, Category::everyday},
        {GestureAction::volumeDown, "volumeDown", GLIDRA_TEXT("降低音量"), "speaker.wave.2.fill", "", gesture_action_text::volumeDetail, Category::everyday},
        {GestureAction::focusAddressBar, "focusAddressBar", GLIDRA_TEXT("定位地址栏"), "character.cursor.ibeam", GLIDRA_TEXT("地址栏 网址 URL 搜索栏 输入网址"), GLIDRA_TEXT("把光标移到 Chrome / Firefox 等浏览器的地址栏，可直接输入网址或搜索。"), Category::browsing},
        {GestureAction::screenshotWindowClipboard, "screenshotWindowClipboard", GLIDRA_TEXT("窗口截图到剪贴板"), "macwindow", gesture_action_text::screenshotClipboardKeywords, GLIDRA_TEXT("做手势后点按要截取的窗口，图片放入剪贴板，可直接粘贴；按 Esc 取消。"), Category::screenshots},
        {GestureAction::copyFilePath, "copyFilePath", GLIDRA_TEXT("复制文件路径"), "doc.on.clipboard", GLIDRA_TEXT("文件管理器 文件夹 完整路径 复制路径 位置"), GLIDRA_TEXT("先在文件管理器中选中文件或文件夹，复制完整路径。多选时可一次复制多个路径。"), Category::editing},
        {GestureAction::copyPageLink, "copyPageLink", GLIDRA_TEXT("复制当前网页链接"), "link", gesture_action_text::pageLinkKeywords, gesture_action_text::pageInfoDetail, Category::browsing},
        {GestureAction::copyPageTitleAndLink, "copyPageTitleAndLink", GLIDRA_TEXT("复制网页标题和链接"), "link", gesture_action_text::pageLinkKeywords, gesture_action_text::pageInfoDetail, Category::browsing},
        {GestureAction::clipboardPlainText, "clipboardPlainText", GLIDRA_TEXT("剪贴板文字去格式"), "doc.plaintext", GLIDRA_TEXT("纯文本 去格式 清除格式 剪贴板 粘贴纯文本"), GLIDRA_TEXT("去掉剪贴板中文字的字体、颜色等格式，只保留纯文本，之后粘贴即为纯文本。"), Category::editing},
        {GestureAction::keyboardBrightnessUp, "keyboardBrightnessUp", GLIDRA_TEXT("键盘背光调亮"), "light.max", "", gesture_action_text::keyboardBrightnessDetail, Category::everyday},
        {GestureAction::keyboardBrightnessDown, "keyboardBrightnessDown", GLIDRA_TEXT("键盘背光调暗"), "light.min", "", gesture_action_text::keyboardBrightnessDetail, Category::everyday},
        {GestureAction::playPause, "playPause", GLIDRA_TEXT("播放 / 暂停"), "playpause.fill", "", GLIDRA_TEXT("播放或暂停当前的音乐或视频，与键盘上的播放键相同。"), Category::music},
        {GestureAction::previousTrack, "previousTrack", GLIDRA_TEXT("上一首"), "backward.fill", "", gesture_action_text::trackDetail, Category::music},
        {GestureAction::nextTrack, "nextTrack", GLIDRA_TEXT("下一首"), "forward.fill", "", gesture_action_text::trackDetail, Category::music},
        {GestureAction::seekBackward, "seekBackward", GLIDRA_TEXT("视频快退"), "gobackward.10", "", gesture_action_text::seekDetail, Category::video},
        {GestureAction::seekForward, "seekForward", GLIDRA_TEXT("视频快进"), "goforward.10", "", gesture_action_text::seekDetail, Category::video},
        {GestureAction::scrubVideo, "scrubVideo", GLIDRA_TEXT("滑动视频进度"), "play.rectangle", "", GLIDRA_TEXT("手指滑动时随之拖动 Chrome / Firefox 中视频的进度，屏幕上显示当前进度，抬手后停止。"), Category::video},
        {GestureAction::spotlight, "spotlight", GLIDRA_TEXT("桌面搜索"), "magnifyingglass", "", nullptr, Category::everyday},
        {GestureAction::missionControl, "missionControl", GLIDRA_TEXT("桌面概览"), "rectangle.3.group", GLIDRA_TEXT("所有窗口 多任务 概览 活动 桌面空间"), GLIDRA_TEXT("显示所有打开的窗口和桌面，与 Super 键相同。"), Category::everyday},
        {GestureAction::showDesktop, "showDesktop", GLIDRA_TEXT("显示桌面"), "desktopcomputer", "", nullptr, Category::everyday},
        {GestureAction::screenshot, "screenshot", GLIDRA_TEXT("截取全屏"), "camera.viewfinder", "", nullptr, Category::screenshots},
        {GestureAction::previousTab, "previousTab", GLIDRA_TEXT("上一个标签页"), "arrow.left.square", "", gesture_action_text::tabSwipeDetail, Category::browsing},
        {GestureAction::nextTab, "nextTab", GLIDRA_TEXT("下一个标签页"), "arrow.right.square", "", gesture_action_text::tabSwipeDetail, Category::browsing},
        {GestureAction::back, "back", GLIDRA_TEXT("返回"), "chevron.backward", "", nullptr, Category::browsing},
        {GestureAction::forward, "forward", GLIDRA_TEXT("前进"), "chevron.forward", "", nullptr, Category::browsing},
        {GestureAction::copy, "copy", GLIDRA_TEXT("复制"), "doc.on.doc", "", nullptr, Category::editing},
        {GestureAction::paste, "paste", GLIDRA_TEXT("粘贴"), "doc.on.clipboard", "", nullptr, Category::editing},
        {GestureAction::undo, "undo", GLIDRA_TEXT("撤销"), "arrow.uturn.backward", "", nullptr, Category::editing},
        {GestureAction::customShortcut, "customShortcut", GLIDRA_TEXT("自定义快捷键"), "keyboard", "", nullptr, Category::custom},
        {GestureAction::openApplication, "openApplication", GLIDRA_TEXT("打开指定应用"), "app.badge", GLIDRA_TEXT("启动应用 打开程序 打开软件 App"), nullptr, Category::applications},
        {GestureAction::newTab, "newTab", GLIDRA_TEXT("新建标签页"), "plus.square.on.square", "", nullptr, Category::browsing},
        {GestureAction::closeTab, "closeTab", GLIDRA_TEXT("关闭标签页"), "xmark.square", "", nullptr, Category::browsing},
        {GestureAction::reopenTab, "reopenTab", GLIDRA_TEXT("恢复关闭的标签页"), "arrow.uturn.backward.square", GLIDRA_TEXT("撤销关闭 重新打开 误关 恢复标签页 标签"), nullptr, Category::browsing},
        {GestureAction::refreshPage, "refreshPage", GLIDRA_TEXT("刷新页面"), "arrow.clockwise", "", nullptr, Category::browsing},
        {GestureAction::find, "find", GLIDRA_TEXT("查找"), "doc.text.magnifyingglass", "", nullptr, Category::editing},
        {GestureAction::zoomIn, "zoomIn", GLIDRA_TEXT("放大页面"), "plus.magnifyingglass", "", nullptr, Category::browsing},
        {GestureAction::zoomOut, "zoomOut", GLIDRA_TEXT("缩小页面"), "minus.magnifyingglass", "", nullptr, Category::browsing},
        {GestureAction::resetZoom, "resetZoom", GLIDRA_TEXT("恢复页面大小"), "1.magnifyingglass", "", nullptr, Category::browsing},
        {GestureAction::cut, "cut", GLIDRA_TEXT("剪切"), "scissors", "", nullptr, Category::editing},
        {GestureAction::redo, "redo", GLIDRA_TEXT("重做"), "arrow.uturn.forward", "", nullptr, Category::editing},
        {GestureAction::selectAll, "selectAll", GLIDRA_TEXT("全选"), "text.badge.checkmark", "", nullptr, Category::editing},
        {GestureAction::save, "save", GLIDRA_TEXT("保存"), "square.and.arrow.down", "", nullptr, Category::editing},
        {GestureAction::newWindow, "newWindow", GLIDRA_TEXT("新建窗口"), "macwindow.badge.plus", "", nullptr, Category::applications},
        {GestureAction::closeWindow, "closeWindow", GLIDRA_TEXT("关闭窗口"), "xmark.rectangle", "", nullptr, Category::applications},
        {GestureAction::minimizeWindow, "minimizeWindow", GLIDRA_TEXT("最小化窗口"), "minus.rectangle", "", nullptr, Category::applications},
        {GestureAction::hideApplication, "hideApplication", GLIDRA_TEXT("隐藏当前应用"), "eye.slash", "", nullptr, Category::applications},
        {GestureAction::toggleFullScreen, "toggleFullScreen", GLIDRA_TEXT("切换全屏"), "arrow.up.left.and.arrow.down.right", "", nullptr, Category::applications},
        {GestureAction::forceQuitApplications, "forceQuitApplications", GLIDRA_TEXT("打开系统监视器"), "xmark.octagon", GLIDRA_TEXT("强制退出应用 强制关闭 强退 结束任务 任务管理器 系统监视器"), GLIDRA_TEXT("打开桌面自带的系统监视器，在其中选择并结束无响应的应用。"), Category::applications},
        {GestureAction::previousDesktop, "previousDesktop", GLIDRA_TEXT("上一个桌面"), "arrow.left.circle", "", nullptr, Category::everyday},
        {GestureAction::nextDesktop, "nextDesktop", GLIDRA_TEXT("下一个桌面"), "arrow.right.circle", "", nullptr, Category::everyday},
        {GestureAction::screenshotArea, "screenshotArea", GLIDRA_TEXT("区域截图"), "viewfinder", "", nullptr, Category::screenshots},
        {GestureAction::sleepComputer, "sleepComputer", GLIDRA_TEXT("立即休眠"), "moon.zzz", GLIDRA_TEXT("睡眠 休眠 待机 合盖"), GLIDRA_TEXT("立即让电脑进入睡眠，唤醒后可继续之前的工作。"), Category::everyday},
        {GestureAction::toggleKeyboardLock, "toggleKeyboardLock", GLIDRA_TEXT("锁定／解锁键盘"), "keyboard", "", nullptr, Category::everyday},
        {GestureAction::startCleaningMode, "startCleaningMode", GLIDRA_TEXT("清洁模式（30 秒）"), "sparkles", "", nullptr, Category::everyday},
        {GestureAction::toggleDesktopIcons, "toggleDesktopIcons", GLIDRA_TEXT("隐藏／显示桌面图标"), "square.grid.3x3", "", nullptr, Category::everyday},
        {GestureAction::enableKeepAwake, "enableKeepAwake", GLIDRA_TEXT("开启保持唤醒"), "cup.and.saucer.fill", gesture_action_text::keepAwakeKeywords, gesture_action_text::keepAwakeDetail, Category::everyday},
        {GestureAction::disableKeepAwake, "disableKeepAwake", GLIDRA_TEXT("关闭保持唤醒"), "zzz", gesture_action_text::keepAwakeKeywords, gesture_action_text::keepAwakeDetail, Category::everyday},
        {GestureAction::toggleKeepAwake, "toggleKeepAwake", GLIDRA_TEXT("保持唤醒：开启 / 关闭"), "cup.and.saucer", gesture_action_text::keepAwakeKeywords, gesture_action_text::keepAwakeDetail, Category::everyday},
        {GestureAction::lockScreen, "lockScreen", GLIDRA_TEXT("锁定屏幕"), "lock.fill", GLIDRA_TEXT("锁屏 离开 密码 屏幕保护"), GLIDRA_TEXT("立即锁定屏幕，需要密码或指纹才能回来，正在运行的应用不受影响。"), Category::everyday},
        {GestureAction::openFinder, "openFinder", GLIDRA_TEXT("打开文件管理器"), "folder", "", nullptr, Category::everyday},
        {GestureAction::openSystemSettings, "openSystemSettings", GLIDRA_TEXT("打开系统设置"), "gearshape", "", nullptr, Category::everyday},
        {GestureAction::screenshotTools, "screenshotTools", GLIDRA_TEXT("截图与录屏工具栏"), "camera.viewfinder", "", GLIDRA_TEXT("打开系统的截图与录屏工具栏，与 Print 键相同，可选择截图范围或开始录屏。"), Category::screenshots},
        {GestureAction::screenshotClipboard, "screenshotClipboard", GLIDRA_TEXT("全屏截图到剪贴板"), "clipboard", gesture_action_text::screenshotClipboardKeywords, nullptr, Category::screenshots},
        {GestureAction::screenshotAreaClipboard, "screenshotAreaClipboard", GLIDRA_TEXT("区域截图到剪贴板"), "clipboard", gesture_action_text::screenshotClipboardKeywords, nullptr, Category::screenshots},
        {GestureAction::emojiPicker, "emojiPicker", GLIDRA_TEXT("表情与符号"), "face.smiling", "", nullptr, Category::editing},
        {GestureAction::applicationSettings, "applicationSettings", GLIDRA_TEXT("当前应用设置"), "gearshape.2", "", nullptr, Category::applications},
        {GestureAction::nextWindow, "nextWindow", GLIDRA_TEXT("同一应用的下一个窗口"), "rectangle.on.rectangle", "", gesture_action_text::sameAppWindowDetail, Category::applications},
        {GestureAction::previousWindow, "previousWindow", GLIDRA_TEXT("同一应用的上一个窗口"), "rectangle.on.rectangle.angled", "", gesture_action_text::sameAppWindowDetail, Category::applications},
        {GestureAction::hideOtherApplications, "hideOtherApplications", GLIDRA_TEXT("隐藏其他应用"), "eye.slash.circle", "", nullptr, Category::applications},
        {GestureAction::toggleMute, "toggleMute", GLIDRA_TEXT("静音 / 恢复声音"), "speaker.slash.fill", GLIDRA_TEXT("静音 声音 音量 关闭声音"), nullptr, Category::everyday},
        {GestureAction::toggleMicrophoneMute, "toggleMicrophoneMute", GLIDRA_TEXT("麦克风静音／恢复"), "mic.slash.fill", "", nullptr, Category::everyday},
        {GestureAction::switchToPreviousApplication, "switchToPreviousApplication", GLIDRA_TEXT("切换到上一个应用"), "arrow.left.arrow.right.square", GLIDRA_TEXT("来回切换 上一个应用 最近应用 Alt+Tab 切换应用"), nullptr, Category::applications},
        {GestureAction::windowLeftHalf, "windowLeftHalf", GLIDRA_TEXT("窗口左半屏"), "rectangle.lefthalf.filled", gesture_action_text::halfScreenKeywords, gesture_action_text::windowLayoutDetail, Category::applications},
        {GestureAction::windowRightHalf, "windowRightHalf", GLIDRA_TEXT("窗口右半屏"), "rectangle.righthalf.filled", gesture_action_text::halfScreenKeywords, gesture_action_text::windowLayoutDetail, Category::applications},
        {GestureAction::maximizeWindow, "maximizeWindow", GLIDRA_TEXT("最大化窗口"), "rectangle.inset.filled", GLIDRA_TEXT("放大窗口 铺满屏幕 全屏 窗口布局"), gesture_action_text::windowLayoutDetail, Category::applications},
        {GestureAction::restoreWindow, "restoreWindow", GLIDRA_TEXT("恢复窗口大小"), "arrow.down.right.and.arrow.up.left", GLIDRA_TEXT("还原窗口 原来大小 撤销分屏 窗口布局"), GLIDRA_TEXT("恢复到本次由 Glidra 分屏或最大化之前的位置与大小。"), Category::applications},
        {GestureAction::scrollToTop, "scrollToTop", GLIDRA_TEXT("滚动到顶部"), "arrow.up.to.line", GLIDRA_TEXT("回到顶部 页首 顶端 Home"), gesture_action_text::scrollToEndDetail, Category::browsing},
        {GestureAction::scrollToBottom, "scrollToBottom", GLIDRA_TEXT("滚动到底部"), "arrow.down.to.line", GLIDRA_TEXT("到底部 页尾 底端 End"), gesture_action_text::scrollToEndDetail, Category::browsing},
        {GestureAction::mouseLeftClick, "mouseLeftClick", GLIDRA_TEXT("鼠标左键点击"), "computermouse.fill", GLIDRA_TEXT("单击 左键 点按 鼠标操作"), gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseRightClick, "mouseRightClick", GLIDRA_TEXT("鼠标右键点击"), "computermouse", GLIDRA_TEXT("右键菜单 右击 辅助点按 鼠标操作"), gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseDoubleClick, "mouseDoubleClick", GLIDRA_TEXT("鼠标双击"), "computermouse.fill", GLIDRA_TEXT("双击 连点 打开 鼠标操作"), gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseMiddleClick, "mouseMiddleClick", GLIDRA_TEXT("鼠标中键点击"), "computermouse", GLIDRA_TEXT("中键 滚轮点击 后台打开链接 鼠标操作"), gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseScrollUp, "mouseScrollUp", GLIDRA_TEXT("滚轮向上滚动"), "arrow.up.circle", gesture_action_text::mouseScrollKeywords, gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseScrollDown, "mouseScrollDown", GLIDRA_TEXT("滚轮向下滚动"), "arrow.down.circle", gesture_action_text::mouseScrollKeywords, gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseScrollLeft, "mouseScrollLeft", GLIDRA_TEXT("滚轮向左滚动"), "arrow.left.circle.fill", gesture_action_text::mouseScrollKeywords, gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseScrollRight, "mouseScrollRight", GLIDRA_TEXT("滚轮向右滚动"), "arrow.right.circle.fill", gesture_action_text::mouseScrollKeywords, gesture_action_text::mousePointerDetail, Category::mouse},
        {GestureAction::mouseHoldLeft, "mouseHoldLeft", GLIDRA_TEXT("按住鼠标左键"), "hand.draw", gesture_action_text::mouseDragKeywords, gesture_action_text::mouseDragDetail, Category::mouse},
        {GestureAction::mouseReleaseLeft, "mouseReleaseLeft", GLIDRA_TEXT("松开鼠标左键"), "hand.draw", gesture_action_text::mouseDragKeywords, GLIDRA_TEXT("松开由“按住鼠标左键”或拖拽切换按下的左键，放下正在拖动的内容。"), Category::mouse},
        {GestureAction::mouseToggleDrag, "mouseToggleDrag", GLIDRA_TEXT("开始 / 结束拖拽"), "hand.draw", gesture_action_text::mouseDragKeywords, gesture_action_text::mouseDragDetail, Category::mouse},
        {GestureAction::applicationExpose, "applicationExpose", GLIDRA_TEXT("查看当前应用的所有窗口"), "square.grid.2x2", GLIDRA_TEXT("应用窗口 所有窗口 概览 多任务"), GLIDRA_TEXT("在桌面概览中平铺显示窗口，与 Super 键相同。"), Category::applications},
        {GestureAction::quickLook, "quickLook", GLIDRA_TEXT("快速查看文件"), "eye", GLIDRA_TEXT("预览 空格 快速预览 查看文件"), GLIDRA_TEXT("先在文件管理器中选中文件，再用快速查看预览内容，与按空格键相同。"), Category::editing},
        {GestureAction::pasteMatchingStyle, "pasteMatchingStyle", GLIDRA_TEXT("粘贴并匹配目标格式"), "list.clipboard", GLIDRA_TEXT("无格式粘贴 纯文本粘贴 去格式 匹配格式"), GLIDRA_TEXT("粘贴时去掉原有字体与颜色，使用目标位置的格式，与 Ctrl+Shift+V 相同。"), Category::editing},
        {GestureAction::openFile, "openFile", GLIDRA_TEXT("打开指定文件"), "doc", gesture_action_text::openTargetKeywords, nullptr, Category::custom},
        {GestureAction::openFolder, "openFolder", GLIDRA_TEXT("打开指定文件夹"), "folder.fill", gesture_action_text::openTargetKeywords, nullptr, Category::custom},
        {GestureAction::openURL, "openURL", GLIDRA_TEXT("打开指定网址"), "globe", gesture_action_text::openTargetKeywords, nullptr, Category::custom},
        {GestureAction::runShortcut, "runShortcut", GLIDRA_TEXT("运行快捷指令"), "square.stack.3d.up", GLIDRA_TEXT("快捷指令 自动化 Shortcuts"), nullptr, Category::custom},
        {GestureAction::moveWindowToNextDisplay, "moveWindowToNextDisplay", GLIDRA_TEXT("窗口移到另一显示器"), "display.2", GLIDRA_TEXT("外接显示器 副屏 多屏 扩展屏 移动窗口"), GLIDRA_TEXT("把当前窗口移到下一台显示器，保持它在屏幕上的相对位置。需要连接两台以上显示器。"), Category::applications},
        {GestureAction::centerWindow, "centerWindow", GLIDRA_TEXT("窗口居中"), "rectangle.center.inset.filled", "", nullptr, Category::applications},
        {GestureAction::translateSelection, "translateSelection", GLIDRA_TEXT("翻译选中文字"), "translate", "", nullptr, Category::editing},
        {GestureAction::openControlCenter, "openControlCenter", GLIDRA_TEXT("打开系统控制中心"), "switch.2", GLIDRA_TEXT("控制中心 Wi-Fi 蓝牙 勿扰 专注模式"), gesture_action_text::systemPanelDetail, Category::everyday},
        {GestureAction::openNotificationCenter, "openNotificationCenter", GLIDRA_TEXT("打开系统通知中心"), "bell", GLIDRA_TEXT("通知 小组件 日历 消息"), gesture_action_text::systemPanelDetail, Category::everyday},
        {GestureAction::openAccessibilityKeyboard, "toggleAccessibilityKeyboard", GLIDRA_TEXT("打开悬浮键盘"), "keyboard", "", nullptr, Category::everyday},
        {GestureAction::openApplicationSwitcher, "openApplicationSwitcher", GLIDRA_TEXT("打开系统应用切换器"), "app.switcher", GLIDRA_TEXT("所有打开应用 查看应用 切换应用 应用列表 多任务"), GLIDRA_TEXT("切换应用，不是单个窗口。打开系统 Alt+Tab 切换器，可用左键手势点击应用，或方向键选择、回车切换、Esc 取消。音量与亮度手势继续可用；其他动作会先关闭切换器。不会批量展开最小化窗口。"), Category::applications},
    };
    // clang-format on
};

}  // namespace glidra
