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

std::vector<SystemGestureAdvice> SystemGestureAdvice::advice(const GestureRule& rule, SystemGestureDesktop desktop) {
    const Kind kind = rule.gesture.kind;
    const qint64 fingers = rule.gesture.fingers;
    const bool gnome = desktop == SystemGestureDesktop::gnome;
    const bool plasma = desktop == SystemGestureDesktop::plasmaWayland;
    std::vector<SystemGestureAdvice> list;

    // The first ones overlap what the touchpad driver does with one finger
    // count each; at most one of them applies. No desktop here takes a
    // four-finger pinch, so those gestures get no warning.
    if (kind == Kind::forcePress && fingers == 1) {
        list.push_back(entry("force-lookup", GLIDRA_TEXT("一指用力按下时容易把触控板按到底，同时产生一次系统点击。"),
                             GLIDRA_TEXT("用力按住即可触发，不必按到底；若常常同时点击，可换用多指手势。")));
    } else if (kind == Kind::tap && fingers == 3) {
        const char* resolution =
            gnome    ? GLIDRA_TEXT("检查设置 → 鼠标和触摸板中的轻触点击开关；按需要手动关闭，或改用四指手势。")
            : plasma ? GLIDRA_TEXT("检查系统设置 → 输入设备 → 触摸板中的轻触点击设置；按需要手动调整，或改用四指手势。")
                     : GLIDRA_TEXT("检查桌面的触控板设置中的轻触点击；按需要手动调整，或改用四指手势。");
        list.push_back(entry(
            "three-tap", GLIDRA_TEXT("开启轻触点击时，三指轻点会同时产生一次中键点击，可能在光标处粘贴选中的文字。"),
            resolution));
    } else if (fingers == 2 && isAnyOf(kind, {Kind::swipe, Kind::holdSwipe, Kind::tapSwipe, Kind::pinchIn,
                                              Kind::pinchOut, Kind::rotateClockwise, Kind::rotateCounterclockwise})) {
        const char* resolution =
            gnome ? GLIDRA_TEXT(
                        "建议换用三指或四指手势；也可在设置 → 鼠标和触摸板中手动检查双指滚动，"
                        "并在目标应用中练习确认。")
            : plasma ? GLIDRA_TEXT(
                           "建议换用三指或四指手势；也可在系统设置 → 输入设备 → 触摸板中手动检查滚动方式，"
                           "并在目标应用中练习确认。")
                     : GLIDRA_TEXT(
                           "建议换用三指或四指手势；也可在桌面的触控板设置中手动检查滚动方式，"
                           "并在目标应用中练习确认。");
        list.push_back(entry("two-motion", GLIDRA_TEXT("双指移动可能同时滚动页面、缩放或旋转内容。"), resolution));
    }

    if (isAnyOf(kind, {Kind::swipe, Kind::holdSwipe, Kind::tapSwipe})) {
        if (gnome && fingers == 3) {
            list.push_back(entry(
                "system-spaces",
                GLIDRA_TEXT("三指滑动可能同时触发 GNOME 的手势：上下滑动打开活动概览和应用列表，左右滑动切换工作区。"),
                GLIDRA_TEXT("打开下方的“Glidra 运行时关闭 GNOME 三指滑动”（需要启用 Glidra 的 GNOME Shell "
                            "扩展），或为 Glidra 改用四指滑动。")));
        } else if (plasma && fingers == 4) {
            list.push_back(entry("system-spaces",
                                 GLIDRA_TEXT("四指滑动可能同时触发 Plasma 的手势，例如打开概览或切换虚拟桌面。"),
                                 GLIDRA_TEXT("可在系统设置 → 工作区行为 → 桌面特效中关闭“概览”等特效；"
                                             "切换虚拟桌面的手势无法关闭，可为 Glidra 改用三指滑动。")));
        } else if (desktop == SystemGestureDesktop::unknown && (fingers == 3 || fingers == 4)) {
            list.push_back(entry("system-spaces", GLIDRA_TEXT("三指或四指滑动可能同时触发桌面自带的触控板手势。"),
                                 GLIDRA_TEXT("检查桌面的手势设置中的对应方向和指头数量；"
                                             "手动调整系统手势或为 Glidra 换一个手势。")));
        }
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
             localized(GLIDRA_TEXT("建议改成长按、多指手势，或增加修饰键，并先在安全的空白位置试一试；"
                                   "识别级别选“稳健”可减少移动误判。"))});
    }
    return list;
}

}  // namespace glidra
