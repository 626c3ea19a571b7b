#include "gestures/SystemGestureAdvice.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <map>
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

TEST(SystemGestureAdviceTest, AdviceForEachGesture) {
    struct Case {
        GestureRule rule;
        QStringList expected;
    };
    const Case cases[] = {
        {rule(GK::forcePress, 1), {"force-lookup"}},
        // A force press is neither a tap nor a click, so a dangerous action adds nothing.
        {rule(GK::forcePress, 1, GestureAction::closeWindow), {"force-lookup"}},
        {rule(GK::forcePress, 2), {}},
        {rule(GK::tap, 3), {"three-tap"}},
        {rule(GK::tap, 3, GestureAction::closeTab), {"three-tap"}},
        {rule(GK::pinchOut, 4), {"four-pinch-out"}},
        {rule(GK::pinchIn, 4), {"four-pinch-in"}},
        {rule(GK::swipe, 4), {"system-spaces"}},
        {rule(GK::swipe, 3), {"system-spaces"}},
        {rule(GK::holdSwipe, 3), {"system-spaces"}},
        {rule(GK::tapSwipe, 4), {"system-spaces"}},
        {rule(GK::anchorSwipe, 3), {}},
        {rule(GK::swipe, 2), {"two-motion"}},
        {rule(GK::tapSwipe, 2), {"two-motion"}},
        {rule(GK::pinchIn, 2), {"two-motion"}},
        {rule(GK::rotateClockwise, 2), {"two-motion"}},
        {rule(GK::rotateCounterclockwise, 2), {"two-motion"}},
        {rule(GK::circle, 2), {}},
        {rule(GK::pinchIn, 3), {}},
        {rule(GK::swipe, 5), {}},
        {rule(GK::swipe, 1), {}},
        {rule(GK::click, 1), {"ordinary-click"}},
        {rule(GK::click, 3), {"ordinary-click"}},
        {rule(GK::tap, 1), {"ordinary-click"}},
        {rule(GK::tap, 2, GestureAction::closeTab), {"ordinary-click", "low-effort-danger"}},
        {rule(GK::tap, 2, GestureAction::closeTab, 0x100000), {"ordinary-click"}},
        {rule(GK::click, 1, GestureAction::customShortcut), {"ordinary-click", "low-effort-danger"}},
        {rule(GK::click, 3, GestureAction::customShortcut), {"ordinary-click"}},
        {rule(GK::longPress, 1, GestureAction::sleepComputer), {}},
        {rule(GK::tap, 1, GestureAction::copy), {"ordinary-click"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(SystemGestureAdvice::advice(c.rule)), c.expected) << c.rule.gesture.title().toStdString();
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
        EXPECT_TRUE(ids(SystemGestureAdvice::advice(rule(GK::tap, 1, action))).contains("low-effort-danger"))
            << enumRaw(action).toStdString();
    }
    for (const GestureAction action : {GestureAction::none, GestureAction::copy, GestureAction::paste,
                                       GestureAction::mouseLeftClick, GestureAction::closeTab}) {
        const auto modifiers = action == GestureAction::closeTab ? 0x40000 : 0;
        EXPECT_FALSE(
            ids(SystemGestureAdvice::advice(rule(GK::tap, 1, action, modifiers))).contains("low-effort-danger"))
            << enumRaw(action).toStdString();
    }
}

TEST(SystemGestureAdviceTest, Texts) {
    std::map<QString, SystemGestureAdvice> byID;
    for (const auto& r : {rule(GK::forcePress, 1), rule(GK::tap, 3), rule(GK::pinchOut, 4), rule(GK::pinchIn, 4),
                          rule(GK::swipe, 2), rule(GK::swipe, 3), rule(GK::tap, 2, GestureAction::closeTab)}) {
        for (const auto& entry : SystemGestureAdvice::advice(r)) byID[entry.id] = entry;
    }
    struct Text {
        const char* id;
        const char* risk;
        const char* resolution;
    };
    const Text texts[] = {
        {"force-lookup", "一指用力按下可能同时触发系统查询或数据检测。",
         "前往系统设置 → 触控板 → "
         "光标与点按，检查“查询与数据检测”和“用力点按与触感反馈”；按需要手动调整，或换用多指手势。"},
        {"three-tap", "三指轻点可能与系统查询重叠；开启三指拖移时也可能影响识别。",
         "检查系统设置 → 触控板 → 光标与点按的“查询与数据检测”；再检查辅助功能 → 指针控制 → "
         "触控板选项中的拖移方式，或改用四指手势。"},
        {"four-pinch-out", "四指张开可能同时触发系统“显示桌面”，具体取决于手势设置。",
         "检查系统设置 → 触控板 → 更多手势中的“显示桌面”；按需要手动调整系统手势，或为 Glidra 换一个手势。"},
        {"four-pinch-in", "四指捏合可能同时触发系统 Launchpad（启动台），具体取决于系统版本与手势设置。",
         "检查系统设置 → 触控板 → 更多手势中的 Launchpad（启动台）选项；若存在并已开启，可手动调整，或为 Glidra "
         "换一个手势。"},
        {"two-motion", "双指移动可能同时滚动页面、缩放或旋转内容。",
         "建议换用三指或四指手势；也可在系统设置 → 触控板 → 滚动缩放中手动检查相关手势，并在目标应用中练习确认。"},
        {"system-spaces", "三指或四指滑动可能同时切换桌面、打开调度中心或应用 Exposé。",
         "检查系统设置 → 触控板 → 更多手势中的对应方向和指头数量；手动调整系统手势或为 Glidra 换一个手势。"},
        {"ordinary-click", "普通点按或按下可能同时产生系统点击，触及指针下方的按钮或链接。",
         "建议使用多指或长按手势，或限制到指定应用与区域；在安全的空白位置练习，确认没有额外点击。"},
        {"low-effort-danger", "低门槛手势绑定“关闭标签页”可能因误触中断操作或影响内容。",
         "建议改成长按、多指手势，或增加修饰键，并先在练习模式检查；识别级别选“稳健”可减少移动误判。"},
    };
    ASSERT_EQ(byID.size(), std::size(texts));
    for (const auto& text : texts) {
        const QString id = QString::fromLatin1(text.id);
        ASSERT_TRUE(byID.contains(id)) << text.id;
        EXPECT_EQ(byID[id], (SystemGestureAdvice{id, QString::fromUtf8(text.risk), QString::fromUtf8(text.resolution)}))
            << text.id;
    }
}

}  // namespace
}  // namespace glidra
