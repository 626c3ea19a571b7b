#include "gestures/SystemGestureAdvice.h"

#include "common/Localized.h"

#include <algorithm>
#include <array>

namespace glidra {

namespace {

using Kind = GestureDescriptor::Kind;

SystemGestureAdvice entry(const char* id, const char* risk, const char* resolution) {
    return {QString::fromLatin1(id), localized(risk), localized(resolution)};
}

bool isAnyOf(Kind kind, std::initializer_list<Kind> kinds) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// Actions whose accidental run loses work or locks the user out.
constexpr std::array dangerousActions = {
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

}  // namespace

std::vector<SystemGestureAdvice> SystemGestureAdvice::advice(const GestureRule& rule) {
    const Kind kind = rule.gesture.kind;
    const qint64 fingers = rule.gesture.fingers;
    std::vector<SystemGestureAdvice> list;

    // The first four overlap system gestures of one finger count each; at
    // most one of them applies.
    if (kind == Kind::forcePress && fingers == 1) {
        list.push_back(
            entry("force-lookup", GLIDRA_TEXT("一指用力按下可能同时触发系统查询或数据检测。"),
                  GLIDRA_TEXT("前往系统设置 → 触控板 → 光标与点按，检查“查询与数据检测”和“用力点按与触感反馈”；"
                              "按需要手动调整，或换用多指手势。")));
    } else if (kind == Kind::tap && fingers == 3) {
        list.push_back(entry("three-tap", GLIDRA_TEXT("三指轻点可能与系统查询重叠；开启三指拖移时也可能影响识别。"),
                             GLIDRA_TEXT("检查系统设置 → 触控板 → 光标与点按的“查询与数据检测”；再检查辅助功能 → "
                                         "指针控制 → 触控板选项中的拖移方式，或改用四指手势。")));
    } else if (fingers == 4 && (kind == Kind::pinchOut || kind == Kind::pinchIn)) {
        if (kind == Kind::pinchOut) {
            list.push_back(entry("four-pinch-out",
                                 GLIDRA_TEXT("四指张开可能同时触发系统“显示桌面”，具体取决于手势设置。"),
                                 GLIDRA_TEXT("检查系统设置 → 触控板 → 更多手势中的“显示桌面”；按需要手动调整系统手势，"
                                             "或为 Glidra 换一个手势。")));
        } else {
            list.push_back(entry(
                "four-pinch-in",
                GLIDRA_TEXT("四指捏合可能同时触发系统 Launchpad（启动台），具体取决于系统版本与手势设置。"),
                GLIDRA_TEXT("检查系统设置 → 触控板 → 更多手势中的 Launchpad（启动台）选项；若存在并已开启，可手动调整，"
                            "或为 Glidra 换一个手势。")));
        }
    } else if (fingers == 2 && isAnyOf(kind, {Kind::swipe, Kind::holdSwipe, Kind::tapSwipe, Kind::pinchIn,
                                              Kind::pinchOut, Kind::rotateClockwise, Kind::rotateCounterclockwise})) {
        list.push_back(entry("two-motion", GLIDRA_TEXT("双指移动可能同时滚动页面、缩放或旋转内容。"),
                             GLIDRA_TEXT("建议换用三指或四指手势；也可在系统设置 → 触控板 → "
                                         "滚动缩放中手动检查相关手势，并在目标应用中练习确认。")));
    }

    if ((fingers == 3 || fingers == 4) && isAnyOf(kind, {Kind::swipe, Kind::holdSwipe, Kind::tapSwipe})) {
        list.push_back(entry("system-spaces",
                             GLIDRA_TEXT("三指或四指滑动可能同时切换桌面、打开调度中心或应用 Exposé。"),
                             GLIDRA_TEXT("检查系统设置 → 触控板 → 更多手势中的对应方向和指头数量；"
                                         "手动调整系统手势或为 Glidra 换一个手势。")));
    }

    if (kind == Kind::click || (kind == Kind::tap && fingers < 3)) {
        list.push_back(entry("ordinary-click",
                             GLIDRA_TEXT("普通点按或按下可能同时产生系统点击，触及指针下方的按钮或链接。"),
                             GLIDRA_TEXT("建议使用多指或长按手势，或限制到指定应用与区域；"
                                         "在安全的空白位置练习，确认没有额外点击。")));
    }

    const bool dangerous =
        std::find(dangerousActions.begin(), dangerousActions.end(), rule.action) != dangerousActions.end();
    if (dangerous && rule.requiredModifiers == 0 && fingers <= 2 && (kind == Kind::tap || kind == Kind::click)) {
        list.push_back(
            {QStringLiteral("low-effort-danger"),
             localized(GLIDRA_TEXT("低门槛手势绑定“%1”可能因误触中断操作或影响内容。")).arg(title(rule.action)),
             localized(GLIDRA_TEXT("建议改成长按、多指手势，或增加修饰键，并先在练习模式检查；"
                                   "识别级别选“稳健”可减少移动误判。"))});
    }
    return list;
}

}  // namespace glidra
