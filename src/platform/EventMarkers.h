#pragma once

#include "platform/InputEvent.h"

#include <cstdint>

namespace glidra {

// Tags in the source user-data field of the events we synthesise, so that our
// own monitors and event taps can ignore them: the ASCII bytes read as one
// big-endian integer.
inline constexpr std::int64_t kShortcutEventMarker = 0x474C4B455953;                 // "GLKEYS"
inline constexpr std::int64_t kMouseEventMarker = 0x474C4D4F555345;                  // "GLMOUSE"
inline constexpr std::int64_t kApplicationSwitcherEventMarker = 0x474C434D44544142;  // "GLCMDTAB"

// Stamps an event we are about to post as ours: its marker (0 for none) and
// our process as its origin, which is what the monitors go by where a marker
// cannot travel.
inline void markOwnEvent(InputEvent& event, std::int64_t marker) {
    event.userData = marker;
    event.origin = EventOrigin::ownProcess;
}

}  // namespace glidra
