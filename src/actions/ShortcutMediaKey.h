#pragma once

#include "common/EnumTable.h"
#include "platform/EventPoster.h"
#include "platform/InputEvent.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace glidra {

// A media key that a recorded shortcut may stand for instead of a key code.
enum class ShortcutMediaKey {
    volumeUp,
    volumeDown,
    mute,
    brightnessUp,
    brightnessDown,
    playPause,
    previousTrack,
    nextTrack,
    keyboardBrightnessUp,
    keyboardBrightnessDown,
};

template <>
struct EnumTable<ShortcutMediaKey> {
    struct Row {
        ShortcutMediaKey value;
        const char* raw;
        const char* title;
        std::int32_t keyType;  // the auxiliary control key type of the system-defined event
    };
    static constexpr Row cases[] = {
        {ShortcutMediaKey::volumeUp, "volumeUp", GLIDRA_TEXT("音量增加"), 0},
        {ShortcutMediaKey::volumeDown, "volumeDown", GLIDRA_TEXT("音量降低"), 1},
        {ShortcutMediaKey::mute, "mute", GLIDRA_TEXT("静音"), 7},
        {ShortcutMediaKey::brightnessUp, "brightnessUp", GLIDRA_TEXT("亮度增加"), 2},
        {ShortcutMediaKey::brightnessDown, "brightnessDown", GLIDRA_TEXT("亮度降低"), 3},
        {ShortcutMediaKey::playPause, "playPause", GLIDRA_TEXT("播放 / 暂停"), 16},
        {ShortcutMediaKey::previousTrack, "previousTrack", GLIDRA_TEXT("上一首"), 18},
        {ShortcutMediaKey::nextTrack, "nextTrack", GLIDRA_TEXT("下一首"), 17},
        {ShortcutMediaKey::keyboardBrightnessUp, "keyboardBrightnessUp", GLIDRA_TEXT("键盘背光调亮"), 21},
        {ShortcutMediaKey::keyboardBrightnessDown, "keyboardBrightnessDown", GLIDRA_TEXT("键盘背光调暗"), 22},
    };
};

inline QString title(ShortcutMediaKey key) { return enumTitle(key); }
inline std::int32_t keyType(ShortcutMediaKey key) { return enumRow(key).keyType; }

// The system-defined event (subtype 8) that sends a media key: the key type in
// the upper half of the first data word, 0xA00 for the press and 0xB00 for the
// release, -1 in the second.
InputEvent mediaKeyEvent(std::int32_t keyType, bool keyDown, std::uint64_t flags = 0);
inline InputEvent mediaKeyEvent(ShortcutMediaKey key, bool keyDown, std::uint64_t flags = 0) {
    return mediaKeyEvent(keyType(key), keyDown, flags);
}

// The press and the release of a media key, made by the poster: both or
// neither, so that a press is never posted without its release.
std::optional<std::pair<InputEvent, InputEvent>> makeMediaKeyEvents(EventPoster& poster, std::int32_t keyType,
                                                                    std::uint64_t flags = 0);

}  // namespace glidra
