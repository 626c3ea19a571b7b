#pragma once

#include "common/EnumTable.h"

namespace glidra {

// Whether the program hears the trackpad, as the interface shows it.
enum class TrackpadConnectionState {
    paused,        // control switched off by the user
    idle,          // listening; no contact for 3 s or more
    active,        // listening and contacts arrive
    reconnecting,  // control on, not listening (failed start, sleep, wake, device change)
    disconnected,  // control on, no multitouch device present
};

template <>
struct EnumTable<TrackpadConnectionState> {
    struct Row {
        TrackpadConnectionState value;
        const char* raw;
        const char* title;
    };
    static constexpr Row cases[] = {
        {TrackpadConnectionState::paused, "paused", GLIDRA_TEXT("未连接")},
        {TrackpadConnectionState::idle, "idle", GLIDRA_TEXT("已连接")},
        {TrackpadConnectionState::active, "active", GLIDRA_TEXT("已连接")},
        {TrackpadConnectionState::reconnecting, "reconnecting", GLIDRA_TEXT("未连接")},
        {TrackpadConnectionState::disconnected, "disconnected", GLIDRA_TEXT("未连接")},
    };
};

inline QString title(TrackpadConnectionState state) { return enumTitle(state); }

}  // namespace glidra
