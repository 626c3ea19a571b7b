#pragma once

#include "platform/KeyboardState.h"

#include <cstdint>

namespace glidra {

// The event flags as they are now, with Shift, Control, Option and Command
// taken from the physical keys, so only modifiers the user really holds reach
// a synthesised shortcut. Caps Lock, Fn and the other bits stay as the
// combined state reports them.
std::uint64_t heldModifierState(const KeyboardState& keyboard);

}  // namespace glidra
