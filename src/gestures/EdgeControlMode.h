#pragma once

#include "actions/GestureAction.h"
#include "common/EnumTable.h"
#include "common/Localized.h"
#include "gestures/EdgeLocation.h"
#include "gestures/GestureBinding.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace glidra {

// The preset behaviours of one edge. Each preset but custom gives the edge's
// two triggers a pair of actions; custom leaves the two directions their own
// bindings.
enum class EdgeControlMode {
    brightness,
    keyboardBrightness,
    volume,
    video,
    music,
    tabs,
    application,
    disabled,
    custom
};

template <>
struct EnumTable<EdgeControlMode> {
    using Pair = std::array<GestureAction, 2>;
    struct Row {
        EdgeControlMode value;
        const char* raw;
        const char* title;
        std::optional<Pair> actions;  // lower direction, higher direction
    };
    using M = EdgeControlMode;
    using A = GestureAction;
    static constexpr Row cases[] = {
        {M::brightness, "brightness", GLIDRA_TEXT("亮度"), Pair{A::brightnessDown, A::brightnessUp}},
        {M::keyboardBrightness, "keyboardBrightness", GLIDRA_TEXT("键盘背光"),
         Pair{A::keyboardBrightnessDown, A::keyboardBrightnessUp}},
        {M::volume, "volume", GLIDRA_TEXT("音量"), Pair{A::volumeDown, A::volumeUp}},
        {M::video, "video", GLIDRA_TEXT("视频进度"), Pair{A::scrubVideo, A::scrubVideo}},
        {M::music, "music", GLIDRA_TEXT("切换歌曲"), Pair{A::previousTrack, A::nextTrack}},
        {M::tabs, "tabs", GLIDRA_TEXT("切换标签页"), Pair{A::previousTab, A::nextTab}},
        {M::application, "application", GLIDRA_TEXT("打开指定应用"), Pair{A::openApplication, A::openApplication}},
        {M::disabled, "disabled", GLIDRA_TEXT("关闭"), Pair{A::none, A::none}},
        {M::custom, "custom", GLIDRA_TEXT("分别设置两个方向…"), std::nullopt},
    };
};

QString title(EdgeControlMode mode);

// The actions the mode gives the edge's triggers, in the order of
// triggers(EdgeLocation); nothing for custom.
std::optional<std::array<GestureAction, 2>> actions(EdgeControlMode mode);

// The bindings with the edge's two triggers set to the mode's actions. A
// rewritten binding keeps its slide distance and application target but
// loses its shortcut and parameters, which belonged to the old action. Other
// triggers are untouched; custom returns the list as it is.
std::vector<GestureBinding> apply(EdgeControlMode mode, const std::vector<GestureBinding>& bindings, EdgeLocation edge);

// The preset that the actions bound to the edge's triggers amount to (the
// first binding of each trigger counts), custom when none fits. Two
// openApplication bindings are the application preset only when they open
// the same application, or both none; slide distances, shortcuts and
// parameters do not matter.
EdgeControlMode inferredEdgeControlMode(const std::vector<GestureBinding>& bindings, EdgeLocation edge);

}  // namespace glidra
