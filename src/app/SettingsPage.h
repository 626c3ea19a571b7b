#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"

#include <QString>

#include <optional>

namespace glidra {

// The pages of the settings window. The sidebar lists gestures, edges and
// general; practice is a page without a row.
enum class SettingsPage { gestures, edges, practice, general };

template <>
struct EnumTable<SettingsPage> {
    struct Row {
        SettingsPage value;
        const char* raw;
        const char* title;
        const char* subtitle;
        const char* symbol;
    };
    static constexpr Row cases[] = {
        {SettingsPage::gestures, "gestures", GLIDRA_TEXT("手势"), GLIDRA_TEXT("为习惯的手势，安排顺手的动作。"),
         "hand.draw"},
        {SettingsPage::edges, "edges", GLIDRA_TEXT("边缘控制"),
         GLIDRA_TEXT("在触控板边缘快速调节亮度、音量和更多操作。"), "rectangle.split.3x1"},
        {SettingsPage::practice, "practice", GLIDRA_TEXT("练习"), GLIDRA_TEXT("试一试手势，查看识别结果。"),
         "waveform.path"},
        {SettingsPage::general, "general", GLIDRA_TEXT("通用设置"), GLIDRA_TEXT("调整控制手感、启动方式与系统权限。"),
         "gearshape"},
    };
};

inline QString title(SettingsPage page) { return enumTitle(page); }
inline QString subtitle(SettingsPage page) { return localized(enumRow(page).subtitle); }
inline QString symbolName(SettingsPage page) { return QString::fromLatin1(enumRow(page).symbol); }

// The pages with a sidebar row, in their order.
inline constexpr SettingsPage sidebarPages[] = {SettingsPage::gestures, SettingsPage::edges, SettingsPage::general};

}  // namespace glidra
