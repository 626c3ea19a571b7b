#pragma once

#include "common/EnumTable.h"

#include <QString>

namespace glidra {

// The groups in which the action library shows the catalogue.
enum class GestureActionCategory {
    mouse,
    everyday,
    screenshots,
    applications,
    music,
    video,
    browsing,
    editing,
    custom,
};

template <>
struct EnumTable<GestureActionCategory> {
    struct Row {
        GestureActionCategory value;
        const char* raw;
        const char* title;
    };
    static constexpr Row cases[] = {
        {GestureActionCategory::mouse, "mouse", GLIDRA_TEXT("鼠标操作")},
        {GestureActionCategory::everyday, "everyday", GLIDRA_TEXT("电脑控制")},
        {GestureActionCategory::screenshots, "screenshots", GLIDRA_TEXT("截图与录屏")},
        {GestureActionCategory::applications, "applications", GLIDRA_TEXT("应用与窗口")},
        {GestureActionCategory::music, "music", GLIDRA_TEXT("听音乐")},
        {GestureActionCategory::video, "video", GLIDRA_TEXT("看视频")},
        {GestureActionCategory::browsing, "browsing", GLIDRA_TEXT("浏览网页")},
        {GestureActionCategory::editing, "editing", GLIDRA_TEXT("文字与编辑")},
        {GestureActionCategory::custom, "custom", GLIDRA_TEXT("其他")},
    };
};

inline QString title(GestureActionCategory category) { return enumTitle(category); }

}  // namespace glidra
