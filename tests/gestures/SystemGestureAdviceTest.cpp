#include "gestures/SystemGestureAdvice.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>

#include <vector>

namespace glidra {
namespace {

using GK = GestureDescriptor::Kind;

GestureRule rule(GK kind, qint64 fingers, GestureAction action = GestureAction::missionControl,
                 std::uint64_t modifiers = 0) {
    GestureRule r;
    r.gesture = {kind, fingers, GestureDescriptor::Direction::right, 1};
    r.action = action;
    r.requiredModifiers = modifiers;
    return r;
}

QStringList ids(const std::vector<SystemGestureAdvice>& advice) {
    QStringList list;
    for (const auto& entry : advice) list << entry.id;
    return list;
}

constexpr auto gnome = SystemGestureDesktop::gnome;
constexpr auto plasma = SystemGestureDesktop::plasmaWayland;
constexpr auto quiet = SystemGestureDesktop::withoutGestures;
constexpr auto unknown = SystemGestureDesktop::unknown;

TEST(SystemGestureAdviceTest, AdviceForEachGesture) {
    struct Case {
        GestureRule rule;
        SystemGestureDesktop desktop;
        QStringList expected;
    };
    const Case cases[] = {
        {rule(GK::forcePress, 1), gnome, {"force-lookup"}},
        // A force press is neither a tap nor a click, so a dangerous action adds nothing.
        {rule(GK::forcePress, 1, GestureAction::closeWindow), quiet, {"force-lookup"}},
        {rule(GK::forcePress, 2), gnome, {}},
        // The driver's taps are every desktop's.
        {rule(GK::tap, 3), quiet, {"three-tap"}},
        {rule(GK::tap, 3, GestureAction::closeTab), plasma, {"three-tap"}},
        // No desktop here takes four-finger pinches.
        {rule(GK::pinchOut, 4), gnome, {}},
        {rule(GK::pinchIn, 4), plasma, {}},
        {rule(GK::pinchIn, 4), unknown, {}},
        // GNOME takes three-finger swipes, Plasma four-finger ones, an X11
        // session without gestures none.
        {rule(GK::swipe, 3), gnome, {"system-spaces"}},
        {rule(GK::holdSwipe, 3), gnome, {"system-spaces"}},
        {rule(GK::swipe, 4), gnome, {}},
        {rule(GK::swipe, 4), plasma, {"system-spaces"}},
        {rule(GK::tapSwipe, 4), plasma, {"system-spaces"}},
        {rule(GK::swipe, 3), plasma, {}},
        {rule(GK::swipe, 3), quiet, {}},
        {rule(GK::swipe, 4), quiet, {}},
        {rule(GK::swipe, 3), unknown, {"system-spaces"}},
        {rule(GK::tapSwipe, 4), unknown, {"system-spaces"}},
        {rule(GK::anchorSwipe, 3), gnome, {}},
        {rule(GK::swipe, 2), quiet, {"two-motion"}},
        {rule(GK::tapSwipe, 2), gnome, {"two-motion"}},
        {rule(GK::pinchIn, 2), plasma, {"two-motion"}},
        {rule(GK::rotateClockwise, 2), gnome, {"two-motion"}},
        {rule(GK::rotateCounterclockwise, 2), gnome, {"two-motion"}},
        {rule(GK::circle, 2), gnome, {}},
        {rule(GK::pinchIn, 3), gnome, {}},
        {rule(GK::swipe, 5), unknown, {}},
        {rule(GK::swipe, 1), gnome, {}},
        {rule(GK::click, 1), gnome, {"ordinary-click"}},
        {rule(GK::click, 3), quiet, {"ordinary-click"}},
        {rule(GK::tap, 1), gnome, {"ordinary-click"}},
        {rule(GK::tap, 2, GestureAction::closeTab), gnome, {"ordinary-click", "low-effort-danger"}},
        {rule(GK::tap, 2, GestureAction::closeTab, 0x100000), gnome, {"ordinary-click"}},
        {rule(GK::click, 1, GestureAction::customShortcut), plasma, {"ordinary-click", "low-effort-danger"}},
        {rule(GK::click, 3, GestureAction::customShortcut), gnome, {"ordinary-click"}},
        {rule(GK::longPress, 1, GestureAction::sleepComputer), gnome, {}},
        {rule(GK::tap, 1, GestureAction::copy), gnome, {"ordinary-click"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(SystemGestureAdvice::advice(c.rule, c.desktop)), c.expected)
            << c.rule.gesture.title().toStdString() << " on desktop " << int(c.desktop);
    }
}

TEST(SystemGestureAdviceTest, DangerousActions) {
    const GestureAction dangerous[] = {
        GestureAction::closeWindow,
        GestureAction::closeTab,
        GestureAction::cut,
        GestureAction::lockScreen,
        GestureAction::sleepComputer,
        GestureAction::toggleKeyboardLock,
        GestureAction::startCleaningMode,
        GestureAction::forceQuitApplications,
        GestureAction::mouseHoldLeft,
        GestureAction::mouseToggleDrag,
        GestureAction::runShortcut,
        GestureAction::customShortcut,
    };
    for (const GestureAction action : dangerous) {
        EXPECT_TRUE(ids(SystemGestureAdvice::advice(rule(GK::tap, 1, action), gnome)).contains("low-effort-danger"))
            << enumRaw(action).toStdString();
    }
    for (const GestureAction action : {GestureAction::none, GestureAction::copy, GestureAction::paste,
                                       GestureAction::mouseLeftClick, GestureAction::closeTab}) {
        const auto modifiers = action == GestureAction::closeTab ? 0x40000 : 0;
        EXPECT_FALSE(
            ids(SystemGestureAdvice::advice(rule(GK::tap, 1, action, modifiers), gnome)).contains("low-effort-danger"))
            << enumRaw(action).toStdString();
    }
}

TEST(SystemGestureAdviceTest, TextsNameTheRunningDesktop) {
    struct Text {
        GestureRule rule;
        SystemGestureDesktop desktop;
        const char* id;
        const char* risk;
        const char* resolution;
    };
    const Text texts[] = {
        {rule(GK::forcePress, 1), gnome, "force-lookup", "一指用力按下时容易把触控板按到底，同时产生一次系统点击。",
         "用力按住即可触发，不必按到底；若常常同时点击，可换用多指手势。"},
        {rule(GK::tap, 3), gnome, "three-tap",
         "开启轻触点击时，三指轻点会同时产生一次中键点击，可能在光标处粘贴选中的文字。",
         "检查设置 → 鼠标和触摸板中的轻触点击开关；按需要手动关闭，或改用四指手势。"},
        {rule(GK::tap, 3), plasma, "three-tap",
         "开启轻触点击时，三指轻点会同时产生一次中键点击，可能在光标处粘贴选中的文字。",
         "检查系统设置 → 输入设备 → 触摸板中的轻触点击设置；按需要手动调整，或改用四指手势。"},
        {rule(GK::tap, 3), quiet, "three-tap",
         "开启轻触点击时，三指轻点会同时产生一次中键点击，可能在光标处粘贴选中的文字。",
         "检查桌面的触控板设置中的轻触点击；按需要手动调整，或改用四指手势。"},
        {rule(GK::swipe, 2), gnome, "two-motion", "双指移动可能同时滚动页面、缩放或旋转内容。",
         "建议换用三指或四指手势；也可在设置 → 鼠标和触摸板中手动检查双指滚动，并在目标应用中练习确认。"},
        {rule(GK::swipe, 2), plasma, "two-motion", "双指移动可能同时滚动页面、缩放或旋转内容。",
         "建议换用三指或四指手势；也可在系统设置 → 输入设备 → 触摸板中手动检查滚动方式，并在目标应用中练习确认。"},
        {rule(GK::swipe, 2), unknown, "two-motion", "双指移动可能同时滚动页面、缩放或旋转内容。",
         "建议换用三指或四指手势；也可在桌面的触控板设置中手动检查滚动方式，并在目标应用中练习确认。"},
        {rule(GK::swipe, 3), gnome, "system-spaces",
         "三指滑动可能同时触发 GNOME 的手势：上下滑动打开活动概览和应用列表，左右滑动切换工作区。",
         "打开下方的“Glidra 运行时关闭 GNOME 三指滑动”（需要启用 Glidra 的 GNOME Shell 扩展），"
         "或为 Glidra 改用四指滑动。"},
        {rule(GK::swipe, 4), plasma, "system-spaces",
         "四指滑动可能同时触发 Plasma 的手势，例如打开概览或切换虚拟桌面。",
         "可在系统设置 → 工作区行为 → 桌面特效中关闭“概览”等特效；切换虚拟桌面的手势无法关闭，可为 Glidra "
         "改用三指滑动。"},
        {rule(GK::swipe, 4), unknown, "system-spaces", "三指或四指滑动可能同时触发桌面自带的触控板手势。",
         "检查桌面的手势设置中的对应方向和指头数量；手动调整系统手势或为 Glidra 换一个手势。"},
        {rule(GK::click, 1), quiet, "ordinary-click", "普通点按或按下可能同时产生系统点击，触及指针下方的按钮或链接。",
         "建议使用多指或长按手势，或限制到指定应用与区域；在安全的空白位置练习，确认没有额外点击。"},
        {rule(GK::tap, 2, GestureAction::closeTab), gnome, "low-effort-danger",
         "低门槛手势绑定“关闭标签页”可能因误触中断操作或影响内容。",
         "建议改成长按、多指手势，或增加修饰键，并先在安全的空白位置试一试；识别级别选“稳健”可减少移动误判。"},
    };
    for (const auto& text : texts) {
        const QString id = QString::fromLatin1(text.id);
        const auto advice = SystemGestureAdvice::advice(text.rule, text.desktop);
        const auto found =
            std::find_if(advice.begin(), advice.end(), [&](const auto& entry) { return entry.id == id; });
        ASSERT_NE(found, advice.end()) << text.id << " on desktop " << int(text.desktop);
        EXPECT_EQ(*found, (SystemGestureAdvice{id, QString::fromUtf8(text.risk), QString::fromUtf8(text.resolution)}))
            << text.id << " on desktop " << int(text.desktop);
    }
}

// No text sends the user to the other platform's settings or its products.
TEST(SystemGestureAdviceTest, NoTextNamesTheOtherPlatform) {
    const QStringList foreign = {"触控板 → 更多手势", "调度中心",       "Exposé",   "启动台",
                                 "Launchpad",         "查询与数据检测", "练习模式", "系统设置 → 触控板"};
    for (const SystemGestureDesktop desktop : {gnome, plasma, quiet, unknown}) {
        for (const GK kind : {GK::forcePress, GK::tap, GK::click, GK::swipe, GK::holdSwipe, GK::tapSwipe, GK::pinchIn,
                              GK::pinchOut, GK::rotateClockwise}) {
            for (qint64 fingers = 1; fingers <= 5; ++fingers) {
                for (const auto& entry :
                     SystemGestureAdvice::advice(rule(kind, fingers, GestureAction::closeWindow), desktop)) {
                    for (const QString& word : foreign) {
                        EXPECT_FALSE(entry.risk.contains(word) || entry.resolution.contains(word))
                            << entry.id.toStdString() << " names " << word.toStdString();
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace glidra
