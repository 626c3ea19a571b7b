#pragma once

#include "common/EnumTable.h"

#include <QString>

namespace glidra {

// Why the browser's video could not be read or moved.
enum class BrowserVideoError { unsupportedBrowser, automation, javascript, noVideo, notSeekable, changed, failed };

template <>
struct EnumTable<BrowserVideoError> {
    struct Row {
        BrowserVideoError value;
        const char* raw;
        const char* title;  // the user text
    };
    using E = BrowserVideoError;
    static constexpr Row cases[] = {
        {E::unsupportedBrowser, "unsupportedBrowser", GLIDRA_TEXT("请在 Chrome、Chromium 或 Firefox 中播放视频")},
        {E::automation, "automation", GLIDRA_TEXT("请允许 Glidra 控制浏览器")},
        {E::javascript, "javascript", GLIDRA_TEXT("请在 Glidra 查看开启步骤，启用浏览器视频控制")},
        {E::noVideo, "noVideo", GLIDRA_TEXT("未找到可控制的视频")},
        {E::notSeekable, "notSeekable", GLIDRA_TEXT("此视频暂不支持调整进度")},
        {E::changed, "changed", GLIDRA_TEXT("视频已切换，已停止调节")},
        {E::failed, "failed", GLIDRA_TEXT("视频进度暂不可用")},
    };
};

// The user text of an error.
inline QString message(BrowserVideoError error) { return enumTitle(error); }

}  // namespace glidra
