#include "actions/GestureAction.h"

#include "common/Json.h"
#include "platform/sim/SimWorkspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStringList>

#include <map>
#include <set>
#include <vector>

namespace glidra {
namespace {

using A = GestureAction;
using C = GestureActionCategory;
using testing::ElementsAre;
using testing::UnorderedElementsAreArray;

std::vector<GestureAction> actionsMatching(QStringView text) {
    std::vector<GestureAction> hits;
    for (const auto action : enumAllCases<GestureAction>()) {
        if (matchesSearch(action, text)) hits.push_back(action);
    }
    return hits;
}

// The stored names in declaration order; rules written by every earlier
// version must keep loading, so this list is spelled out rather than derived.
const QStringList storedNames = {
    "none",
    "brightnessUp",
    "brightnessDown",
    "volumeUp",
    "volumeDown",
    "focusAddressBar",
    "screenshotWindowClipboard",
    "copyFilePath",
    "copyPageLink",
    "copyPageTitleAndLink",
    "clipboardPlainText",
    "keyboardBrightnessUp",
    "keyboardBrightnessDown",
    "playPause",
    "previousTrack",
    "nextTrack",
    "seekBackward",
    "seekForward",
    "scrubVideo",
    "spotlight",
    "missionControl",
    "showDesktop",
    "screenshot",
    "previousTab",
    "nextTab",
    "back",
    "forward",
    "copy",
    "paste",
    "undo",
    "customShortcut",
    "openApplication",
    "newTab",
    "closeTab",
    "reopenTab",
    "refreshPage",
    "find",
    "zoomIn",
    "zoomOut",
    "resetZoom",
    "cut",
    "redo",
    "selectAll",
    "save",
    "newWindow",
    "closeWindow",
    "minimizeWindow",
    "hideApplication",
    "toggleFullScreen",
    "forceQuitApplications",
    "previousDesktop",
    "nextDesktop",
    "screenshotArea",
    "sleepComputer",
    "toggleKeyboardLock",
    "startCleaningMode",
    "toggleDesktopIcons",
    "enableKeepAwake",
    "disableKeepAwake",
    "toggleKeepAwake",
    "lockScreen",
    "openFinder",
    "openSystemSettings",
    "screenshotTools",
    "screenshotClipboard",
    "screenshotAreaClipboard",
    "emojiPicker",
    "applicationSettings",
    "nextWindow",
    "previousWindow",
    "hideOtherApplications",
    "toggleMute",
    "toggleMicrophoneMute",
    "switchToPreviousApplication",
    "windowLeftHalf",
    "windowRightHalf",
    "maximizeWindow",
    "restoreWindow",
    "scrollToTop",
    "scrollToBottom",
    "mouseLeftClick",
    "mouseRightClick",
    "mouseDoubleClick",
    "mouseMiddleClick",
    "mouseScrollUp",
    "mouseScrollDown",
    "mouseScrollLeft",
    "mouseScrollRight",
    "mouseHoldLeft",
    "mouseReleaseLeft",
    "mouseToggleDrag",
    "applicationExpose",
    "quickLook",
    "pasteMatchingStyle",
    "openFile",
    "openFolder",
    "openURL",
    "runShortcut",
    "moveWindowToNextDisplay",
    "centerWindow",
    "translateSelection",
    "openControlCenter",
    "openNotificationCenter",
    "toggleAccessibilityKeyboard",
    "openApplicationSwitcher",
};

TEST(GestureActionTest, StoredNamesRoundTripInDeclarationOrder) {
    const auto all = enumAllCases<GestureAction>();
    ASSERT_EQ(all.size(), 105u);
    ASSERT_EQ(storedNames.size(), 105);
    for (qsizetype i = 0; i < storedNames.size(); ++i) {
        const auto action = all[std::size_t(i)];
        EXPECT_EQ(enumRaw(action), storedNames[i]);
        EXPECT_EQ(enumFromRaw<GestureAction>(storedNames[i]), action);
        EXPECT_EQ(json::encode(action), QJsonValue(storedNames[i]));
        const auto decoded = json::decode<GestureAction>(QJsonValue(storedNames[i]), JsonPath());
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(decoded.value(), action);
    }
    EXPECT_EQ(all.front(), A::none);
    EXPECT_EQ(all.back(), A::openApplicationSwitcher);
    EXPECT_EQ(enumFromRaw<GestureAction>(u"toggleAccessibilityKeyboard"), A::openAccessibilityKeyboard);
    EXPECT_EQ(enumRaw(A::openAccessibilityKeyboard), "toggleAccessibilityKeyboard");
}

TEST(GestureActionTest, UnknownNamesDoNotDecode) {
    for (const QString text : {"openAccessibilityKeyboard", "Copy", "copy ", "", "MOUSELEFTCLICK"}) {
        EXPECT_EQ(enumFromRaw<GestureAction>(text), std::nullopt) << text.toStdString();
    }
    const auto decoded =
        json::decode<GestureAction>(QJsonValue(QStringLiteral("openAccessibilityKeyboard")), JsonPath("action"));
    ASSERT_FALSE(decoded.ok());
    EXPECT_EQ(decoded.error().kind, JsonError::Kind::dataCorrupted);
    EXPECT_EQ(decoded.error().path, "action");
}

TEST(GestureActionTest, EveryActionButNoneIsListedInExactlyItsCategory) {
    const std::map<GestureActionCategory, std::size_t> expectedCounts = {
        {C::mouse, 11}, {C::everyday, 26}, {C::screenshots, 6}, {C::applications, 20}, {C::music, 3},
        {C::video, 3},  {C::browsing, 16}, {C::editing, 14},    {C::custom, 5},
    };
    std::map<GestureAction, int> listings;
    for (const auto cat : enumAllCases<GestureActionCategory>()) {
        const auto list = categoryActions(cat);
        EXPECT_EQ(list.size(), expectedCounts.at(cat)) << enumRaw(cat).toStdString();
        for (const auto action : list) {
            ++listings[action];
            EXPECT_EQ(category(action), cat) << enumRaw(action).toStdString();
        }
    }
    EXPECT_EQ(category(A::none), std::nullopt);
    EXPECT_EQ(listings.count(A::none), 0u);
    for (const auto action : enumAllCases<GestureAction>()) {
        if (action == A::none) continue;
        EXPECT_EQ(listings[action], 1) << enumRaw(action).toStdString();
    }
}

TEST(GestureActionTest, CategoryAndFeaturedListsKeepTheirDisplayOrder) {
    EXPECT_THAT(categoryActions(C::mouse),
                ElementsAre(A::mouseLeftClick, A::mouseRightClick, A::mouseDoubleClick, A::mouseMiddleClick,
                            A::mouseScrollUp, A::mouseScrollDown, A::mouseScrollLeft, A::mouseScrollRight,
                            A::mouseToggleDrag, A::mouseHoldLeft, A::mouseReleaseLeft));
    EXPECT_THAT(categoryActions(C::custom),
                ElementsAre(A::openFile, A::openFolder, A::openURL, A::runShortcut, A::customShortcut));
    EXPECT_THAT(categoryActions(C::video), ElementsAre(A::scrubVideo, A::seekBackward, A::seekForward));
    EXPECT_THAT(featuredActions(),
                ElementsAre(A::mouseLeftClick, A::mouseRightClick, A::mouseDoubleClick, A::mouseMiddleClick,
                            A::mouseToggleDrag, A::quickLook, A::pasteMatchingStyle, A::screenshotAreaClipboard,
                            A::copyPageLink, A::openApplicationSwitcher, A::openApplication, A::forceQuitApplications,
                            A::toggleMute, A::switchToPreviousApplication, A::windowLeftHalf, A::windowRightHalf,
                            A::scrubVideo, A::playPause));
}

// Every category's list in display order with each action's title, as the
// action library shows them.
TEST(GestureActionTest, CategoryListsWithTitles) {
    const std::vector<std::pair<GestureActionCategory, std::vector<std::pair<GestureAction, QString>>>> expected = {
        {C::mouse,
         {
             {A::mouseLeftClick, "鼠标左键点击"},
             {A::mouseRightClick, "鼠标右键点击"},
             {A::mouseDoubleClick, "鼠标双击"},
             {A::mouseMiddleClick, "鼠标中键点击"},
             {A::mouseScrollUp, "滚轮向上滚动"},
             {A::mouseScrollDown, "滚轮向下滚动"},
             {A::mouseScrollLeft, "滚轮向左滚动"},
             {A::mouseScrollRight, "滚轮向右滚动"},
             {A::mouseToggleDrag, "开始 / 结束拖拽"},
             {A::mouseHoldLeft, "按住鼠标左键"},
             {A::mouseReleaseLeft, "松开鼠标左键"},
         }},
        {C::everyday,
         {
             {A::volumeUp, "增加音量"},
             {A::volumeDown, "降低音量"},
             {A::toggleMute, "静音 / 恢复声音"},
             {A::toggleMicrophoneMute, "麦克风静音／恢复"},
             {A::brightnessUp, "增加亮度"},
             {A::brightnessDown, "降低亮度"},
             {A::keyboardBrightnessUp, "键盘背光调亮"},
             {A::keyboardBrightnessDown, "键盘背光调暗"},
             {A::spotlight, "桌面搜索"},
             {A::missionControl, "桌面概览"},
             {A::showDesktop, "显示桌面"},
             {A::previousDesktop, "上一个桌面"},
             {A::nextDesktop, "下一个桌面"},
             {A::lockScreen, "锁定屏幕"},
             {A::sleepComputer, "立即休眠"},
             {A::toggleKeyboardLock, "锁定／解锁键盘"},
             {A::startCleaningMode, "清洁模式（30 秒）"},
             {A::toggleDesktopIcons, "隐藏／显示桌面图标"},
             {A::openAccessibilityKeyboard, "打开悬浮键盘"},
             {A::toggleKeepAwake, "保持唤醒：开启 / 关闭"},
             {A::enableKeepAwake, "开启保持唤醒"},
             {A::disableKeepAwake, "关闭保持唤醒"},
             {A::openFinder, "打开文件管理器"},
             {A::openSystemSettings, "打开系统设置"},
             {A::openControlCenter, "打开系统控制中心"},
             {A::openNotificationCenter, "打开系统通知中心"},
         }},
        {C::screenshots,
         {
             {A::screenshot, "截取全屏"},
             {A::screenshotArea, "区域截图"},
             {A::screenshotTools, "截图与录屏工具栏"},
             {A::screenshotClipboard, "全屏截图到剪贴板"},
             {A::screenshotAreaClipboard, "区域截图到剪贴板"},
             {A::screenshotWindowClipboard, "窗口截图到剪贴板"},
         }},
        {C::applications,
         {
             {A::openApplication, "打开指定应用"},
             {A::newWindow, "新建窗口"},
             {A::closeWindow, "关闭窗口"},
             {A::minimizeWindow, "最小化窗口"},
             {A::hideApplication, "隐藏当前应用"},
             {A::toggleFullScreen, "切换全屏"},
             {A::forceQuitApplications, "打开系统监视器"},
             {A::nextWindow, "同一应用的下一个窗口"},
             {A::previousWindow, "同一应用的上一个窗口"},
             {A::hideOtherApplications, "隐藏其他应用"},
             {A::applicationSettings, "当前应用设置"},
             {A::switchToPreviousApplication, "切换到上一个应用"},
             {A::openApplicationSwitcher, "打开系统应用切换器"},
             {A::windowLeftHalf, "窗口左半屏"},
             {A::windowRightHalf, "窗口右半屏"},
             {A::centerWindow, "窗口居中"},
             {A::maximizeWindow, "最大化窗口"},
             {A::restoreWindow, "恢复窗口大小"},
             {A::applicationExpose, "查看当前应用的所有窗口"},
             {A::moveWindowToNextDisplay, "窗口移到另一显示器"},
         }},
        {C::music,
         {
             {A::playPause, "播放 / 暂停"},
             {A::previousTrack, "上一首"},
             {A::nextTrack, "下一首"},
         }},
        {C::video,
         {
             {A::scrubVideo, "滑动视频进度"},
             {A::seekBackward, "视频快退"},
             {A::seekForward, "视频快进"},
         }},
        {C::browsing,
         {
             {A::previousTab, "上一个标签页"},
             {A::nextTab, "下一个标签页"},
             {A::newTab, "新建标签页"},
             {A::closeTab, "关闭标签页"},
             {A::reopenTab, "恢复关闭的标签页"},
             {A::refreshPage, "刷新页面"},
             {A::focusAddressBar, "定位地址栏"},
             {A::copyPageLink, "复制当前网页链接"},
             {A::copyPageTitleAndLink, "复制网页标题和链接"},
             {A::back, "返回"},
             {A::forward, "前进"},
             {A::zoomIn, "放大页面"},
             {A::zoomOut, "缩小页面"},
             {A::resetZoom, "恢复页面大小"},
             {A::scrollToTop, "滚动到顶部"},
             {A::scrollToBottom, "滚动到底部"},
         }},
        {C::editing,
         {
             {A::copy, "复制"},
             {A::cut, "剪切"},
             {A::paste, "粘贴"},
             {A::undo, "撤销"},
             {A::redo, "重做"},
             {A::selectAll, "全选"},
             {A::find, "查找"},
             {A::save, "保存"},
             {A::emojiPicker, "表情与符号"},
             {A::pasteMatchingStyle, "粘贴并匹配目标格式"},
             {A::clipboardPlainText, "剪贴板文字去格式"},
             {A::copyFilePath, "复制文件路径"},
             {A::quickLook, "快速查看文件"},
             {A::translateSelection, "翻译选中文字"},
         }},
        {C::custom,
         {
             {A::openFile, "打开指定文件"},
             {A::openFolder, "打开指定文件夹"},
             {A::openURL, "打开指定网址"},
             {A::runShortcut, "运行快捷指令"},
             {A::customShortcut, "自定义快捷键"},
         }},
    };
    ASSERT_EQ(expected.size(), enumAllCases<GestureActionCategory>().size());
    for (const auto& [cat, entries] : expected) {
        const auto list = categoryActions(cat);
        ASSERT_EQ(list.size(), entries.size()) << enumRaw(cat).toStdString();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(list[i], entries[i].first) << enumRaw(cat).toStdString() << " #" << i;
            EXPECT_EQ(title(entries[i].first), entries[i].second) << enumRaw(entries[i].first).toStdString();
        }
    }
}

TEST(GestureActionTest, Titles) {
    const std::vector<std::pair<GestureActionCategory, QString>> categoryTitles = {
        {C::mouse, "鼠标操作"},          {C::everyday, "电脑控制"},  {C::screenshots, "截图与录屏"},
        {C::applications, "应用与窗口"}, {C::music, "听音乐"},       {C::video, "看视频"},
        {C::browsing, "浏览网页"},       {C::editing, "文字与编辑"}, {C::custom, "其他"},
    };
    for (const auto& [cat, text] : categoryTitles) EXPECT_EQ(title(cat), text);

    const std::vector<std::pair<GestureAction, QString>> actionTitles = {
        {A::none, "不执行"},
        {A::toggleMicrophoneMute, "麦克风静音／恢复"},
        {A::startCleaningMode, "清洁模式（30 秒）"},
        {A::toggleKeepAwake, "保持唤醒：开启 / 关闭"},
        {A::openAccessibilityKeyboard, "打开悬浮键盘"},
        {A::mouseToggleDrag, "开始 / 结束拖拽"},
        {A::customShortcut, "自定义快捷键"},
    };
    for (const auto& [action, text] : actionTitles) EXPECT_EQ(title(action), text);
    for (const auto action : enumAllCases<GestureAction>()) EXPECT_FALSE(title(action).isEmpty());
}

TEST(GestureActionTest, Symbols) {
    const std::vector<std::pair<GestureAction, QString>> given = {
        {A::none, "minus.circle"},
        {A::brightnessDown, "sun.max.fill"},
        {A::volumeUp, "speaker.wave.2.fill"},
        {A::keyboardBrightnessUp, "light.max"},
        {A::keyboardBrightnessDown, "light.min"},
        {A::playPause, "playpause.fill"},
        {A::scrubVideo, "play.rectangle"},
        {A::openApplication, "app.badge"},
        {A::screenshotTools, "camera.viewfinder"},
        {A::screenshotArea, "viewfinder"},
        {A::screenshotAreaClipboard, "clipboard"},
        {A::copyPageTitleAndLink, "link"},
        {A::paste, "doc.on.clipboard"},
        {A::toggleMute, "speaker.slash.fill"},
        {A::toggleMicrophoneMute, "mic.slash.fill"},
        {A::switchToPreviousApplication, "arrow.left.arrow.right.square"},
        {A::mouseDoubleClick, "computermouse.fill"},
        {A::mouseMiddleClick, "computermouse"},
        {A::mouseReleaseLeft, "hand.draw"},
        {A::quickLook, "eye"},
        {A::openURL, "globe"},
        {A::runShortcut, "square.stack.3d.up"},
        {A::moveWindowToNextDisplay, "display.2"},
        {A::translateSelection, "translate"},
        {A::openControlCenter, "switch.2"},
        {A::openNotificationCenter, "bell"},
        {A::openAccessibilityKeyboard, "keyboard"},
        {A::toggleKeyboardLock, "keyboard"},
        {A::openApplicationSwitcher, "app.switcher"},
    };
    for (const auto& [action, symbol] : given) EXPECT_EQ(symbolName(action), symbol) << enumRaw(action).toStdString();
    for (const auto action : enumAllCases<GestureAction>()) {
        EXPECT_FALSE(symbolName(action).isEmpty()) << enumRaw(action).toStdString();
    }
}

TEST(GestureActionTest, OnlyTheLevelsAndVideoScrubbingAreContinuous) {
    const std::set<GestureAction> continuous = {
        A::brightnessUp, A::brightnessDown, A::keyboardBrightnessUp, A::keyboardBrightnessDown, A::volumeUp,
        A::volumeDown,   A::scrubVideo};
    for (const auto action : enumAllCases<GestureAction>()) {
        EXPECT_EQ(isContinuousAdjustment(action), continuous.contains(action)) << enumRaw(action).toStdString();
    }
}

// The setup guide and the permission help share one division: 30 actions
// that work without input-device access, the other 75 need it.
TEST(GestureActionTest, AllButThirtyActionsRequireAccessibility) {
    const QStringList neutral = {"none",
                                 "brightnessUp",
                                 "brightnessDown",
                                 "volumeUp",
                                 "volumeDown",
                                 "screenshotWindowClipboard",
                                 "copyPageLink",
                                 "copyPageTitleAndLink",
                                 "clipboardPlainText",
                                 "scrubVideo",
                                 "missionControl",
                                 "showDesktop",
                                 "openApplication",
                                 "sleepComputer",
                                 "toggleDesktopIcons",
                                 "enableKeepAwake",
                                 "disableKeepAwake",
                                 "toggleKeepAwake",
                                 "openFinder",
                                 "openSystemSettings",
                                 "emojiPicker",
                                 "hideApplication",
                                 "hideOtherApplications",
                                 "toggleMute",
                                 "toggleMicrophoneMute",
                                 "switchToPreviousApplication",
                                 "openFile",
                                 "openFolder",
                                 "openURL",
                                 "runShortcut"};
    int requiring = 0;
    for (const auto action : enumAllCases<GestureAction>()) {
        EXPECT_EQ(requiresAccessibility(action), !neutral.contains(enumRaw(action))) << enumRaw(action).toStdString();
        requiring += requiresAccessibility(action) ? 1 : 0;
    }
    EXPECT_EQ(requiring, 75);
    // The seven that follow runShortcut in the catalogue all need it.
    for (const auto action : {A::moveWindowToNextDisplay, A::centerWindow, A::translateSelection, A::openControlCenter,
                              A::openNotificationCenter, A::openAccessibilityKeyboard, A::openApplicationSwitcher}) {
        EXPECT_TRUE(requiresAccessibility(action)) << enumRaw(action).toStdString();
    }
}

// Groups of actions that carry a text; the members of one group share it.
using Groups = std::vector<std::vector<GestureAction>>;

void expectTextGroups(const Groups& groups, const auto& textOf, const char* what) {
    std::set<GestureAction> withText;
    std::set<QString> seen;
    for (const auto& group : groups) {
        const QString shared = textOf(group.front());
        EXPECT_FALSE(shared.isEmpty()) << what << " " << enumRaw(group.front()).toStdString();
        EXPECT_TRUE(seen.insert(shared).second) << what << " repeated outside its group: " << shared.toStdString();
        for (const auto action : group) {
            withText.insert(action);
            EXPECT_EQ(textOf(action), shared) << what << " " << enumRaw(action).toStdString();
        }
    }
    for (const auto action : enumAllCases<GestureAction>()) {
        if (!withText.contains(action)) {
            EXPECT_TRUE(textOf(action).isEmpty()) << what << " " << enumRaw(action).toStdString();
        }
    }
}

TEST(GestureActionTest, ExactlyTheListedActionsHaveKeywords) {
    const Groups groups = {
        {A::focusAddressBar},
        {A::screenshotWindowClipboard, A::screenshotClipboard, A::screenshotAreaClipboard},
        {A::copyFilePath},
        {A::copyPageLink, A::copyPageTitleAndLink},
        {A::clipboardPlainText},
        {A::missionControl},
        {A::openApplication},
        {A::reopenTab},
        {A::forceQuitApplications},
        {A::sleepComputer},
        {A::enableKeepAwake, A::disableKeepAwake, A::toggleKeepAwake},
        {A::lockScreen},
        {A::toggleMute},
        {A::switchToPreviousApplication},
        {A::windowLeftHalf, A::windowRightHalf},
        {A::maximizeWindow},
        {A::restoreWindow},
        {A::scrollToTop},
        {A::scrollToBottom},
        {A::mouseLeftClick},
        {A::mouseRightClick},
        {A::mouseDoubleClick},
        {A::mouseMiddleClick},
        {A::mouseScrollUp, A::mouseScrollDown, A::mouseScrollLeft, A::mouseScrollRight},
        {A::mouseHoldLeft, A::mouseReleaseLeft, A::mouseToggleDrag},
        {A::applicationExpose},
        {A::quickLook},
        {A::pasteMatchingStyle},
        {A::openFile, A::openFolder, A::openURL},
        {A::runShortcut},
        {A::moveWindowToNextDisplay},
        {A::openControlCenter},
        {A::openNotificationCenter},
        {A::openApplicationSwitcher},
    };
    expectTextGroups(
        groups, [](GestureAction a) { return searchKeywords(a); }, "keywords");

    const std::vector<std::pair<GestureAction, QString>> given = {
        {A::copyFilePath, "文件管理器 文件夹 完整路径 复制路径 位置"},
        {A::copyPageTitleAndLink, "复制网址 当前网址 URL 分享网页 链接 标题"},
        {A::forceQuitApplications, "强制退出应用 强制关闭 强退 结束任务 任务管理器 系统监视器"},
        {A::disableKeepAwake, "禁止锁屏 防止锁屏 不锁屏 防休眠 不熄屏 咖啡 保持唤醒 电脑控制"},
        {A::mouseReleaseLeft, "拖动 拖拽 选中文字 按住 放下 鼠标操作"},
        {A::mouseScrollLeft, "鼠标滚轮 滚动 鼠标操作"},
        {A::runShortcut, "快捷指令 自动化 Shortcuts"},
        {A::openApplicationSwitcher, "所有打开应用 查看应用 切换应用 应用列表 多任务"},
    };
    for (const auto& [action, text] : given) EXPECT_EQ(searchKeywords(action), text);
}

TEST(GestureActionTest, ExactlyTheListedActionsHaveHelpTexts) {
    const Groups groups = {
        {A::focusAddressBar},
        {A::screenshotWindowClipboard},
        {A::copyFilePath},
        {A::copyPageLink, A::copyPageTitleAndLink},
        {A::clipboardPlainText},
        {A::keyboardBrightnessUp, A::keyboardBrightnessDown},
        {A::brightnessUp, A::brightnessDown},
        {A::volumeUp, A::volumeDown},
        {A::playPause},
        {A::previousTrack, A::nextTrack},
        {A::seekBackward, A::seekForward},
        {A::scrubVideo},
        {A::missionControl},
        {A::previousTab, A::nextTab},
        {A::forceQuitApplications},
        {A::sleepComputer},
        {A::enableKeepAwake, A::disableKeepAwake, A::toggleKeepAwake},
        {A::lockScreen},
        {A::screenshotTools},
        {A::nextWindow, A::previousWindow},
        {A::windowLeftHalf, A::windowRightHalf, A::maximizeWindow},
        {A::restoreWindow},
        {A::scrollToTop, A::scrollToBottom},
        {A::mouseHoldLeft, A::mouseToggleDrag},
        {A::mouseReleaseLeft},
        {A::applicationExpose},
        {A::quickLook},
        {A::pasteMatchingStyle},
        {A::moveWindowToNextDisplay},
        {A::openControlCenter, A::openNotificationCenter},
        {A::openApplicationSwitcher},
        {A::mouseLeftClick, A::mouseRightClick, A::mouseDoubleClick, A::mouseMiddleClick, A::mouseScrollUp,
         A::mouseScrollDown, A::mouseScrollLeft, A::mouseScrollRight},
    };
    const auto helpText = [](GestureAction a) { return detail(a).value_or(QString()); };
    expectTextGroups(groups, helpText, "help text");
    EXPECT_EQ(detail(A::copy), std::nullopt);

    const std::vector<std::pair<GestureAction, QString>> given = {
        {A::copyFilePath, "先在文件管理器中选中文件或文件夹，复制完整路径。多选时可一次复制多个路径。"},
        {A::copyPageLink, "复制 Chrome / Firefox 当前网页的信息。不需要开启网页 JavaScript。"},
        {A::mouseLeftClick, "先把鼠标指针移到目标上，再做手势。按住的 Ctrl、Alt、Shift、Super 等按键也会保留。"},
        {A::mouseToggleDrag,
         "先把指针移到目标上，再做手势开始拖拽。移动指针后，用“松开鼠标左键”或再做一次切换手势放下。Esc、"
         "暂停控制或闲置 30 秒也会松开。"},
        {A::forceQuitApplications, "打开桌面自带的系统监视器，在其中选择并结束无响应的应用。"},
        {A::nextTab,
         "多指左右滑动达到幅度即可切换，无需等到抬手。每次滑动切换一个标签，抬起全部手指后可立即再次滑动。"
         "与复杂路径手势重叠时会等抬手判定。"},
        {A::restoreWindow, "恢复到本次由 Glidra 分屏或最大化之前的位置与大小。"},
        {A::openApplicationSwitcher,
         "切换应用，不是单个窗口。打开系统 Alt+Tab 切换器，可用左键手势点击应用，或方向键选择、回车切换、Esc "
         "取消。音量与亮度手势继续可用；其他动作会先关闭切换器。不会批量展开最小化窗口。"},
    };
    for (const auto& [action, text] : given) EXPECT_EQ(detail(action), text) << enumRaw(action).toStdString();
}

TEST(GestureActionTest, BlankSearchListsEverythingButNone) {
    for (const QString text : {"", " ", " \n\t "}) {
        const auto hits = actionsMatching(text);
        EXPECT_EQ(hits.size(), 104u);
        EXPECT_FALSE(matchesSearch(A::none, text));
    }
}

TEST(GestureActionTest, SearchLooksAtTitleKeywordsAndStoredName) {
    const std::vector<GestureAction> urlHits = {A::focusAddressBar, A::copyPageLink, A::copyPageTitleAndLink,
                                                A::openURL};
    // Case, surrounding blanks and full-width letters make no difference.
    for (const QString text : {"URL", "url", "  Url\n", "ＵＲＬ"}) {
        EXPECT_THAT(actionsMatching(text), UnorderedElementsAreArray(urlHits)) << text.toStdString();
    }

    // No title or keyword says "mouse"; the stored names do.
    EXPECT_THAT(actionsMatching(u"mouse"), UnorderedElementsAreArray(categoryActions(C::mouse)));

    // Accents in the search text are ignored against a plain stored name.
    EXPECT_THAT(actionsMatching(u"ÉXPOSÉ"), ElementsAre(A::applicationExpose));
    EXPECT_THAT(actionsMatching(u"spötlight"), ElementsAre(A::spotlight));

    EXPECT_THAT(actionsMatching(u"强退"), ElementsAre(A::forceQuitApplications));  // keywords only
    EXPECT_THAT(actionsMatching(u"表情"), ElementsAre(A::emojiPicker));            // title only
    EXPECT_THAT(actionsMatching(u"悬浮键盘"), ElementsAre(A::openAccessibilityKeyboard));
    EXPECT_THAT(actionsMatching(u"toggleAccessibilityKeyboard"), ElementsAre(A::openAccessibilityKeyboard));
    EXPECT_TRUE(actionsMatching(u"no such action").empty());
}

TEST(GestureActionTest, TheWordsLinuxUsersTypeFindTheirActions) {
    using testing::IsSupersetOf;
    const std::vector<std::pair<const char*, std::vector<GestureAction>>> searches = {
        {"工作区", {A::previousDesktop, A::nextDesktop, A::missionControl}},
        {"快速设置", {A::openControlCenter}},
        {"通知", {A::openNotificationCenter}},
        {"截图",
         {A::screenshot, A::screenshotArea, A::screenshotTools, A::screenshotClipboard, A::screenshotAreaClipboard,
          A::screenshotWindowClipboard}},
        {"触摸板", {A::mouseLeftClick, A::mouseRightClick, A::mouseScrollUp, A::mouseToggleDrag, A::startCleaningMode}},
        {"触控板", {A::mouseDoubleClick, A::mouseMiddleClick}},
        {"顶栏", {A::openControlCenter, A::openNotificationCenter}},
        {"挂起", {A::sleepComputer}},
        {"虚拟桌面", {A::previousDesktop, A::nextDesktop}},
        {"屏幕键盘", {A::openAccessibilityKeyboard}},
        {"Emoji", {A::emojiPicker}},
        {"最小化", {A::minimizeWindow, A::hideApplication, A::hideOtherApplications}},
        // The catalogue's own words still find what they found.
        {"控制中心", {A::openControlCenter}},
        {"小组件", {A::openNotificationCenter}},
    };
    for (const auto& [text, actions] : searches) {
        EXPECT_THAT(actionsMatching(QString::fromUtf8(text)), IsSupersetOf(actions)) << text;
    }
    // The words live beside the keywords, which stay as they were.
    EXPECT_EQ(searchKeywords(A::openControlCenter), QStringLiteral("控制中心 Wi-Fi 蓝牙 勿扰 专注模式"));
    EXPECT_TRUE(desktopSearchWords(A::copy).isEmpty());
    EXPECT_THAT(actionsMatching(u"快速设置"), ElementsAre(A::openControlCenter));
}

TEST(GestureActionTest, PaneOpenersOpenThePrivacyLinks) {
    sim::SimWorkspace workspace;
    openAutomationSettings(workspace);
    openAccessibilitySettings(workspace);
    ASSERT_EQ(workspace.openedUrls().size(), 2);
    EXPECT_EQ(workspace.openedUrls()[0].toString(),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation");
    EXPECT_EQ(workspace.openedUrls()[1].toString(),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");

    // A workspace that cannot open the link is not an error for the caller.
    workspace.setRefusesToOpen(true);
    openAccessibilitySettings(workspace);
    EXPECT_EQ(workspace.openedUrls().size(), 3);
}

}  // namespace
}  // namespace glidra
